// A display that answers: what a DSP-800 acknowledges and reads back goes to the sender that asked,
// on its own input, in order; where there is no way back, or the sender never reads, the answers
// are dropped and counted and the display goes on.
#include "inputs/display_service.h"
#include "inputs/inputs.h"
#include "support/sim_thread.h"

#include <QTest>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>

namespace kd {
namespace {

using namespace std::string_literals;

// DSP-800: the cursor to position 1, "Hi", then the view read back.
const std::string kAsk = "\x04\x01P1\x17Hi\x04\x01T\x17"s;
// The ACK of the cursor frame; the read-back is answered by SOH, the 40 codes of the view and ETB.
const std::string kAnswer = "\x06\x01Hi"s + std::string(38, ' ') + "\x17"s;

// Reads until the bytes expected have come or a second has passed without any.
std::string readAnswer(int fd, std::size_t expected) {
    std::string read;
    char buffer[256];
    pollfd ready{fd, POLLIN, 0};
    while (read.size() < expected && ::poll(&ready, 1, 1000) == 1) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count <= 0)
            break;
        read.append(buffer, static_cast<std::size_t>(count));
    }
    return read;
}

// The terminal at the DSP-800's usual 19200 baud, as a till program opens its serial port.
int openRaw(const QString &path) {
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios attributes{};
    if (fd >= 0 && ::tcgetattr(fd, &attributes) == 0) {
        ::cfmakeraw(&attributes);
        ::cfsetspeed(&attributes, B19200);
        ::tcsetattr(fd, TCSANOW, &attributes);
    }
    return fd;
}

int connectTcp(const QString &address) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in place{};
    place.sin_family = AF_INET;
    place.sin_port = htons(static_cast<quint16>(address.section(QLatin1Char(':'), -1).toUInt()));
    ::inet_pton(AF_INET, "127.0.0.1", &place.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&place), sizeof place) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool sendAll(int fd, const std::string &bytes) {
    return ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

QString logText(sim::DisplayService &service) {
    return service.takeLog().lines.join(QLatin1Char('\n'));
}

TEST(Answers, GoBackInOrderOnTheInputTheCommandCameFrom) {
    test::PrivateRuntimeDir runtime;
    test::SimThread sim;
    sim.service().setEmulation(sim::Emulation::Dsp800);
    QString tcpAddress;
    QString rfc2217Address;
    sim.inputs().run([&](sim::Inputs &inputs) {
        inputs.listenTcp(QStringLiteral("127.0.0.1"), 0);
        inputs.listenRfc2217(QStringLiteral("127.0.0.1"), 0);
    });
    tcpAddress = sim.service().places().tcpAddress;
    rfc2217Address = sim.service().places().rfc2217Address;

    // The pseudo-terminal, as a till program opens its serial port.
    const int terminal = openRaw(sim.terminalPath());
    ASSERT_GE(terminal, 0);
    ASSERT_TRUE(sendAll(terminal, kAsk));
    EXPECT_EQ(readAnswer(terminal, kAnswer.size()), kAnswer);

    // Raw TCP: the same answer, and none of it on the terminal.
    const int tcp = connectTcp(tcpAddress);
    ASSERT_GE(tcp, 0);
    ASSERT_TRUE(sendAll(tcp, kAsk));
    EXPECT_EQ(readAnswer(tcp, kAnswer.size()), kAnswer);
    EXPECT_EQ(readAnswer(terminal, 1), "");

    // RFC 2217 is Telnet: a code FF read back goes as IAC IAC.
    const int telnet = connectTcp(rfc2217Address);
    ASSERT_GE(telnet, 0);
    ASSERT_TRUE(sendAll(telnet, "\x04\x01P1\x17\xff\xff\x04\x01T\x17"s));
    // The FF lands on the H the TCP client left; its i stays.
    const std::string escaped = "\x06\x01\xff\xffi"s + std::string(38, ' ') + "\x17"s;
    EXPECT_EQ(readAnswer(telnet, escaped.size()), escaped);

    const QString log = logText(sim.service());
    EXPECT_TRUE(log.contains(QStringLiteral("answer: 06"))) << log.toStdString();
    EXPECT_EQ(sim.service().snapshot().line.answersDropped, 0u);
    for (int fd : {terminal, tcp, telnet})
        ::close(fd);
}

TEST(Answers, ASenderThatNeverReadsCannotHoldTheDisplayUp) {
    test::PrivateRuntimeDir runtime;
    test::SimThread sim;
    sim.service().setEmulation(sim::Emulation::Dsp800);
    const int terminal = openRaw(sim.terminalPath());
    ASSERT_GE(terminal, 0);
    // 20,000 frames, each acknowledged, far more than a terminal's buffer holds; never read.
    std::string frames;
    for (int i = 0; i < 20000; ++i)
        frames += "\x04\x01P1\x17"s;
    frames += "Ende";
    for (std::size_t at = 0; at < frames.size();) {
        const ssize_t count = ::write(terminal, frames.data() + at, frames.size() - at);
        ASSERT_GT(count, 0);
        at += static_cast<std::size_t>(count);
    }
    EXPECT_TRUE(
        sim.waitForLines(u"Ende" + std::u16string(16, u' '), std::u16string(20, u' '), 10000));
    const sim::Snapshot shown = sim.service().snapshot();
    EXPECT_GT(shown.line.answersDropped, 0u);
    EXPECT_LT(shown.line.answersDropped, 20000u);
    EXPECT_TRUE(
        sim::DisplayService::describeLine(shown.line).contains(QStringLiteral("not sent back")));
    EXPECT_TRUE(logText(sim.service()).contains(QStringLiteral("does not read")));
    // What was sent back is the acknowledgements, as much as the terminal's buffers hold, and
    // nothing else; the kernel may lose a little more of it than the display counts.
    const std::string read = readAnswer(terminal, 1 << 20);
    EXPECT_EQ(read, std::string(read.size(), '\x06'));
    EXPECT_GT(read.size(), 1000u);
    EXPECT_LE(read.size() + shown.line.answersDropped, 20000u);
    ::close(terminal);
}

// Over TCP the kernel's buffers take a lot before the display's own does; a client that never
// reads gets at most 64 KiB more, and the rest is dropped and counted.
TEST(Answers, ATcpClientThatNeverReadsGetsABoundedBacklog) {
    test::PrivateRuntimeDir runtime;
    sim::InputsSettings settings;
    settings.usbSocket = false;
    settings.comPort = 0;
    test::SimThread sim(settings);
    sim.service().setEmulation(sim::Emulation::Dsp800);
    sim.inputs().run(
        [&](sim::Inputs &inputs) { inputs.listenTcp(QStringLiteral("127.0.0.1"), 0); });
    const int tcp = connectTcp(sim.service().places().tcpAddress);
    ASSERT_GE(tcp, 0);
    // Each read-back is answered with 42 bytes: 200,000 of them are 8.4 MB of answers.
    std::string frames;
    for (int i = 0; i < 200000; ++i)
        frames += "\x04\x01T\x17"s;
    frames += "Ende";
    ASSERT_TRUE(sendAll(tcp, frames));
    ASSERT_TRUE(
        sim.waitForLines(u"Ende" + std::u16string(16, u' '), std::u16string(20, u' '), 30000));
    // What did go out is the first answers, in order and untouched, as much as the kernel's
    // buffers and the display's 64 KiB hold; the rest is counted.
    const std::string read = readAnswer(tcp, 1 << 24);
    ASSERT_GE(read.size(), 42u);
    EXPECT_EQ(read.substr(0, 42), "\x01"s + std::string(40, ' ') + "\x17"s);
    EXPECT_LT(read.size(), 8400000u);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return read.size() + sim.service().snapshot().line.answersDropped == 200000u * 42;
    })) << read.size()
        << " read, " << sim.service().snapshot().line.answersDropped << " dropped";
    ::close(tcp);
}

TEST(Answers, TheUsbSocketHasNoWayBackAndSaysSo) {
    test::PrivateRuntimeDir runtime;
    test::SimThread sim;
    sim.service().setEmulation(sim::Emulation::Dsp800);
    const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, sim.socketPath().toLocal8Bit().constData(),
                 sizeof address.sun_path - 1);
    ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ASSERT_EQ(readAnswer(client, 1).size(), 1u); // the welcome
    ASSERT_TRUE(sendAll(client, kAsk));
    ASSERT_TRUE(sim.waitForLines(u"Hi" + std::u16string(18, u' '), std::u16string(20, u' ')));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.service().snapshot().line.answersDropped > 0; }));
    EXPECT_EQ(sim.service().snapshot().line.answersDropped, kAnswer.size());
    EXPECT_TRUE(logText(sim.service()).contains(QStringLiteral("no way back")));
    EXPECT_EQ(readAnswer(client, 1), "");
    ::close(client);
}

} // namespace
} // namespace kd
