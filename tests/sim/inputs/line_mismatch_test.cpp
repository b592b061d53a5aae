// A sender whose line differs from the display's, through the display's pseudo-terminal: the
// display shows what its receiver reads off the wire, and names the mismatch.
#include "inputs/display_service.h"
#include "support/sim_thread.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace kd {
namespace {

// The sender's end of the display's terminal, with a speed and stop bits as a till program sets
// them.
class Sender {
  public:
    explicit Sender(const QString &path)
        : m_fd(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {}
    ~Sender() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool setLine(speed_t speed, bool twoStopBits) {
        termios attributes{};
        if (::tcgetattr(m_fd, &attributes) != 0)
            return false;
        ::cfmakeraw(&attributes);
        ::cfsetspeed(&attributes, speed);
        attributes.c_cflag =
            twoStopBits ? attributes.c_cflag | CSTOPB : attributes.c_cflag & ~CSTOPB;
        return ::tcsetattr(m_fd, TCSADRAIN, &attributes) == 0;
    }
    bool send(const std::string &bytes) {
        return ::write(m_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    bool ok() const { return m_fd >= 0; }

  private:
    int m_fd;
};

// Waits until the display has taken the given number of bytes in all.
bool waitForBytes(test::SimThread &sim, qint64 total) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (sim.service().receivedBytes() < total) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        QThread::msleep(5);
    }
    return true;
}

std::string utf8(const std::u16string &text) {
    return QString::fromStdU16String(text).toStdString();
}

TEST(LineMismatch, TheDisplayShowsWhatItsReceiverReads) {
    // The display is at 9600 8N1, as it leaves the factory.
    const struct {
        const char *what;
        speed_t speed;
        bool twoStopBits;
        const char *line1; // as shown, UTF-8, trailing spaces cut
        const char *state; // part of the line's description
    } rows[] = {
        {"a match", B9600, false, "Hallo Zeile 1", "Sender 9600 8N1, Display 9600 8N1 (match)"},
        {"two stop bits into one", B9600, true, "Hallo Zeile 1", "Sender 9600 8N2"},
        // Each character lands inside one of the display's: fewer, wrong bytes with bit 7 set,
        // shown in the standard set's Windows-1252.
        {"twice the speed", B19200, false, "\u0153\u00AD\u00C8g\u00FF",
         "Sender 19200 8N1, Display 9600 8N1"},
        // Each character spans two of the display's: mostly 80 and F8, with framing errors.
        {"half the speed", B4800, false,
         "\u20AC\u02DC\u017E\u00E0\u017E\u00FE\u017E\u017E\u2020\u017E\u00E0\u017E\u02DC"
         "\u00E0\u00F8",
         "framing error"},
        {"a quarter of the speed", B2400, false,
         "\u20AC\u00F8\u00F8\u00F8\u20AC\u20AC\u00F8\u20AC\u20AC\u00F8\u00F8\u20AC\u20AC",
         "framing error"},
    };
    for (const auto &row : rows) {
        test::PrivateRuntimeDir runtime;
        test::SimThread sim;
        Sender sender(sim.terminalPath());
        ASSERT_TRUE(sender.ok()) << row.what;
        ASSERT_TRUE(sender.setLine(row.speed, row.twoStopBits)) << row.what;
        const std::string text = "Hallo Zeile 1";
        ASSERT_TRUE(sender.send(text)) << row.what;
        ASSERT_TRUE(waitForBytes(sim, static_cast<qint64>(text.size()))) << row.what;
        const sim::Snapshot shown = sim.service().snapshot();
        std::string line1 = utf8(shown.lines[0]);
        line1.erase(line1.find_last_not_of(' ') + 1);
        EXPECT_EQ(line1, row.line1) << row.what;
        const QString state = sim::DisplayService::describeLine(shown.line);
        EXPECT_TRUE(state.contains(QString::fromUtf8(row.state)))
            << row.what << ": " << state.toStdString();
    }
}

TEST(LineMismatch, ASenderThatChangesItsSpeedIsFollowed) {
    test::PrivateRuntimeDir runtime;
    test::SimThread sim;
    Sender sender(sim.terminalPath());
    ASSERT_TRUE(sender.setLine(B19200, false));
    ASSERT_TRUE(sender.send("Summe"));
    ASSERT_TRUE(waitForBytes(sim, 5));
    EXPECT_TRUE(sim.service().snapshot().line.mismatch());
    ASSERT_TRUE(sender.setLine(B9600, false));
    ASSERT_TRUE(sender.send("\x0C"
                            "11,50"));
    ASSERT_TRUE(sim.waitForLines(u"11,50" + std::u16string(15, u' '), std::u16string(20, u' ')));
    EXPECT_FALSE(sim.service().snapshot().line.mismatch());
}

// A BA63 runs 9600 8O1. A pseudo-terminal carries no parity, so a program on it that sets the
// BA63's line is taken to match on parity and data bits; its speed still counts.
TEST(LineMismatch, OnAPseudoTerminalOnlySpeedAndStopBitsCanDiffer) {
    test::PrivateRuntimeDir runtime;
    test::SimThread sim;
    sim.service().setEmulation(sim::Emulation::Ba63);
    Sender sender(sim.terminalPath());
    ASSERT_TRUE(sender.setLine(B9600, false));
    ASSERT_TRUE(sender.send("\x1B[2JHallo Welt"));
    ASSERT_TRUE(
        sim.waitForLines(u"Hallo Welt" + std::u16string(10, u' '), std::u16string(20, u' ')));
    const sim::LineState line = sim.service().snapshot().line;
    EXPECT_FALSE(line.mismatch()) << sim::DisplayService::describeLine(line).toStdString();
    EXPECT_EQ(line.parityErrors + line.framingErrors, 0u);

    ASSERT_TRUE(sender.setLine(B19200, false));
    ASSERT_TRUE(sender.send("x"));
    ASSERT_TRUE(waitForBytes(sim, 15));
    EXPECT_TRUE(sim::DisplayService::describeLine(sim.service().snapshot().line)
                    .contains(QStringLiteral("Sender 19200 8O1, Display 9600 8O1")));
}

} // namespace
} // namespace kd
