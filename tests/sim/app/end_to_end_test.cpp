// The tool's real window, the stand-in USB library from the tool's own library folder and the
// virtual display behind its real socket and pseudo-terminal.
#include "app/main_window.h"
#include "encoding/line_settings.h"
#include "support/rig.h"
#include "support/sim_thread.h"
#include "window/sim_window.h"
#include "window/vfd_line.h"

#include <QAccessible>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace kd {
namespace {

using Texts = std::vector<std::string>;

const std::u16string kBlank(20, u' ');
const std::u16string kItem = u"100 Rollringe  11,50";
const std::u16string kGreeting = u"  Willkommen bei Raumausstatter Zimbelwerk  ";

struct Screen {
    const char *button;
    std::u16string line1;
    std::u16string line2;
};

class EndToEnd : public ::testing::Test {
  protected:
    test::PrivateRuntimeDir runtimeDir;
    test::SimThread sim;
    // No device in the table: "Com" reaches the display through the entry it made in the user's
    // port map, as on a technician's machine with no setup.
    SerialPortLink serial{PortTable(20, test::missingDevice(0)),
                          [] { return portMapFolder(false); }};
    UsbDisplayLibrary usb{usbLibrarySearchDirs(nullptr, {}, toolLibraryDir(executableDir()))};
    test::RecordingMessageBox messages;
    MainWindow window{serial, usb, messages};

    QAbstractButton *button(const char *name) {
        return window.findChild<QAbstractButton *>(QString::fromLatin1(name));
    }

    // Clicks each button in turn and checks both lines after each click.
    void walk(const std::vector<Screen> &screens) {
        for (const Screen &screen : screens) {
            QTest::mouseClick(button(screen.button), Qt::LeftButton);
            const bool shown = sim.waitForLines(screen.line1, screen.line2);
            const sim::Snapshot snapshot = sim.service().snapshot();
            EXPECT_TRUE(shown) << screen.button << ": \""
                               << QString::fromStdU16String(snapshot.lines[0]).toStdString()
                               << "\" / \""
                               << QString::fromStdU16String(snapshot.lines[1]).toStdString()
                               << "\"";
        }
        EXPECT_EQ(messages.errors.size(), 0u);
    }
};

TEST_F(EndToEnd, UsbThroughTheStandInLibrary) {
    ASSERT_TRUE(sim.problems().isEmpty()) << sim.problems().toStdString();
    QTest::mouseClick(window.Option[0], Qt::LeftButton);
    ASSERT_EQ(messages.messages, Texts{});
    ASSERT_EQ(usb.loadedPath(), executableDir() + "/libcd722dusb.so");
    EXPECT_EQ(window.CommPort->text(), "1");

    walk({{"cmdSumme", u"Gesamt:             ", u"               11,50"},
          {"cmdClear", kBlank, kBlank}});

    QTest::mouseClick(window.cmdHello, Qt::LeftButton);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sim.service().snapshot().runningText[0] == kGreeting; }));
    const sim::Snapshot greeting = sim.service().snapshot();
    EXPECT_EQ(greeting.stepMs, 8 * 25); // the D frame: 8 units of 25 ms
    EXPECT_NE(kGreeting.find(greeting.lines[0].substr(0, 10)), std::u16string::npos);
    EXPECT_EQ(greeting.lines[1], kBlank);

    walk({{"cmdText", kItem, kBlank}, // the greeting set the clear-first flag
          {"cmdText", kItem, kItem},  // no clear: the second line gets it
          {"cmdSumme", u"Gesamt:             ", u"               11,50"},
          {"cmdGivenandback", u"Gegeben        20,00", u"Zurueck         8,50"},
          {"cmdText", kItem, kBlank}});
}

TEST_F(EndToEnd, SerialThroughTheDisplaysPseudoTerminal) {
    ASSERT_TRUE(sim.problems().isEmpty()) << sim.problems().toStdString();
    QTest::mouseClick(window.Option[1], Qt::LeftButton);
    ASSERT_EQ(messages.messages, Texts{});
    EXPECT_EQ(window.CommPort->text(), "1");
    EXPECT_TRUE(window.CommPort->toolTip().startsWith(
        sim.terminalPath() + QStringLiteral(" (virtuelles Kundendisplay)")));

    walk({{"cmdSumme", u"Gesamt:             ", u"               11,50"},
          {"cmdClear", kBlank, kBlank},
          {"cmdHello", u"Hallo Zeile 1       ", u"Hallo Zeile 2       "},
          {"cmdText", kItem, kBlank},
          {"cmdText", kItem, kBlank}, // over serial every text starts with a clear
          {"cmdGivenandback", u"Gegeben        20,00", u"Zurueck         8,50"},
          {"cmdText", kItem, kBlank}});
}

// A display switched to another speed than the tool's Settings box: as with a real display, the
// scan finds the port (the tool reads nothing back), and the display shows what its receiver reads,
// naming the mismatch; with the display's speed in the box the total shows as it should.
TEST_F(EndToEnd, ScanAgainstADisplayAtAnotherSpeedSucceedsAndTheDisplayShowsRubbish) {
    ASSERT_TRUE(sim.problems().isEmpty()) << sim.problems().toStdString();
    sim.service().setDisplayLine(*parseLineSettings("19200,N,8,1").settings);
    QTest::mouseClick(window.Option[1], Qt::LeftButton);
    ASSERT_EQ(messages.messages, Texts{});
    EXPECT_EQ(window.CommPort->text(), "1");
    QTest::mouseClick(button("cmdSumme"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.service().receivedBytes() >= 31; }));
    const sim::Snapshot rubbish = sim.service().snapshot();
    EXPECT_NE(rubbish.lines[0], u"Gesamt:             ");
    EXPECT_EQ(sim::DisplayService::describeLine(rubbish.line).left(34),
              QStringLiteral("Sender 9600 8N1, Display 19200 8N1"));
    EXPECT_EQ(messages.errors.size(), 0u);

    // The box is applied when a port opens: the operator chooses USB, which closes the serial
    // port, and Com again.
    window.Settings->setText(QStringLiteral("19200,N,8,1"));
    QTest::mouseClick(window.Option[0], Qt::LeftButton);
    QTest::mouseClick(window.Option[1], Qt::LeftButton);
    ASSERT_EQ(messages.messages, Texts{});
    walk({{"cmdSumme", u"Gesamt:             ", u"               11,50"}});
    EXPECT_FALSE(sim.service().snapshot().line.mismatch());
}

TEST_F(EndToEnd, DisplayServesOneClientAtATime) {
    // Another program holds the virtual display.
    const int other = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = sim.socketPath().toStdString();
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::connect(other, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    pollfd welcome{other, POLLIN, 0};
    char byte = 0;
    ASSERT_EQ(::poll(&welcome, 1, 2000), 1);
    ASSERT_EQ(::recv(other, &byte, 1, 0), 1);
    EXPECT_EQ(byte, 'K');

    QTest::mouseClick(window.Option[0], Qt::LeftButton);
    EXPECT_EQ(messages.messages, Texts{"Kein USB-Anschluss gefunden"});

    ::close(other);
    EXPECT_TRUE(QTest::qWaitFor([&] { return usb.opencd722usb() == 1; }));
    QTest::mouseClick(window.Option[0], Qt::LeftButton);
    EXPECT_EQ(messages.messages.size(), 1u);
    walk({{"cmdSumme", u"Gesamt:             ", u"               11,50"}});
}

// A till program set to each command set writes to the fixed path of --serial-link; the window,
// read through the accessibility interface, shows what the real display would.
TEST(EndToEndCommandSets, TillProgramThroughTheTerminalLink) {
    test::PrivateRuntimeDir runtimeDir;
    test::SimThread sim;
    sim::SimWindow window(sim.service());
    window.show();
    const QString link = QString::fromStdString(runtimeDir.path() + "/pos-display");
    QString refusal;
    sim.inputs().run([&](sim::Inputs &inputs) { refusal = inputs.linkTerminalTo(link); });
    ASSERT_EQ(refusal, QString());

    const struct {
        sim::Emulation emulation;
        std::string bytes;
        QString line1;
        QString line2;
    } sessions[] = {
        {sim::Emulation::Epson,
         "\x1B@\x1Bt\x13Summe 11,50 \xD5\x1F$\x01\x02"
         "Danke",
         "Summe 11,50 €", "Danke"},
        {sim::Emulation::Cd5220, "\x1B@\x1BQAArtikel 1\r\x1BQBGesamt 2,50\r", "Artikel 1",
         "Gesamt 2,50"},
        {sim::Emulation::LogicControls,
         "\x1F\x11\x10\x14Zur\x81"
         "ck 8,50",
         "", "Zurück 8,50"},
        {sim::Emulation::Aedex, "Beleg\r!#1Hallo\r!#2Tsch\x81ss\r", "Hallo", "Tschüss"},
    };
    for (const auto &session : sessions) {
        sim.service().setEmulation(session.emulation);
        const int fd = ::open(link.toLocal8Bit().constData(), O_WRONLY | O_NOCTTY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, session.bytes.data(), session.bytes.size()),
                  static_cast<ssize_t>(session.bytes.size()));
        ::close(fd);
        const auto name = [&](int row) {
            return QAccessible::queryAccessibleInterface(window.line(row))->text(QAccessible::Name);
        };
        const bool shown = QTest::qWaitFor([&] {
            return name(0) == session.line1.leftJustified(20) &&
                   name(1) == session.line2.leftJustified(20);
        });
        EXPECT_TRUE(shown) << sim::emulationName(session.emulation) << ": \""
                           << name(0).toStdString() << "\" / \"" << name(1).toStdString() << "\"";
    }
    sim.stop();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link.toStdString())));
}

TEST(EndToEndWithoutDisplay, UsbFindsNoConnection) {
    test::PrivateRuntimeDir runtimeDir;
    SerialPortLink serial{PortTable{}};
    UsbDisplayLibrary usb{usbLibrarySearchDirs(nullptr, {}, toolLibraryDir(executableDir()))};
    test::RecordingMessageBox messages;
    MainWindow window{serial, usb, messages};
    QTest::mouseClick(window.Option[0], Qt::LeftButton);
    EXPECT_EQ(messages.messages, Texts{"Kein USB-Anschluss gefunden"});
    EXPECT_EQ(window.CommPort->text(), "20");
}

} // namespace
} // namespace kd
