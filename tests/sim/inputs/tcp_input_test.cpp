// The TCP listener: the USB socket's client rules over the network, and a filter between a
// client's bytes and the display that answers the client, fresh for each one (as RFC 2217 needs).
#include "inputs/inputs.h"
#include "inputs/tcp_input.h"
#include "support/headless_sim.h"
#include "support/sim_thread.h"
#include "window/sim_window.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace kd {
namespace {

// What the display sent back up to a line end, waiting up to the time.
std::string replyLine(int fd, int timeoutMs = 3000) {
    std::string reply;
    pollfd ready{fd, POLLIN, 0};
    char byte = 0;
    while (reply.find('\n') == std::string::npos && ::poll(&ready, 1, timeoutMs) == 1 &&
           ::recv(fd, &byte, 1, 0) == 1)
        reply += byte;
    return reply;
}

bool closedByDisplay(int fd, int timeoutMs) {
    pollfd ready{fd, POLLIN, 0};
    char byte = 0;
    return ::poll(&ready, 1, timeoutMs) == 1 && ::recv(fd, &byte, 1, 0) == 0;
}

TEST(TcpInput, FilterAnswersEachClientWithStateOfItsOwnAndSilentClientsAreDropped) {
    test::PrivateRuntimeDir runtime;
    sim::InputsSettings settings;
    settings.comPort = 0;
    settings.usbSocket = false;
    settings.silentClientTimeoutMs = 300;
    test::SimThread sim(settings);
    QString refusal;
    sim.inputs().run([&](sim::Inputs &inputs) {
        refusal = inputs.listenTcp(QStringLiteral("127.0.0.1"), 0);
        if (!refusal.isEmpty())
            return;
        // Counts what its client sent, says so, and keeps '#' from the display.
        inputs.tcp()->setFilter([] {
            return
                [count = std::make_shared<int>(0)](const QByteArray &received, QByteArray &reply) {
                    *count += static_cast<int>(received.size());
                    reply = "gesehen " + QByteArray::number(*count) + "\n";
                    return QByteArray(received).replace('#', "");
                };
        });
    });
    ASSERT_EQ(refusal, QString());
    const QString address = sim.service().places().tcpAddress;
    ASSERT_TRUE(address.startsWith(QStringLiteral("127.0.0.1:"))) << address.toStdString();
    const int port = address.mid(address.lastIndexOf(QLatin1Char(':')) + 1).toInt();
    // The window's input list names the address, with the port the system chose.
    sim::SimWindow window(sim.service());
    window.refresh();
    const QLabel *inputs = window.findChild<QLabel *>(QStringLiteral("inputs"));
    ASSERT_NE(inputs, nullptr);
    EXPECT_TRUE(inputs->text().contains(QStringLiteral("TCP: ") + address))
        << inputs->text().toStdString();

    const int first = test::connectTcp(port);
    ASSERT_GE(first, 0);
    ASSERT_TRUE(test::sendAll(first, "\x0c"
                                     "Ab#c"));
    EXPECT_EQ(replyLine(first), "gesehen 5\n");
    EXPECT_TRUE(sim.waitForLines(u"Abc                 ", std::u16string(20, u' ')));
    ::close(first);

    const int second = test::connectTcp(port);
    ASSERT_GE(second, 0);
    ASSERT_TRUE(test::sendAll(second, "xy"));
    EXPECT_EQ(replyLine(second), "gesehen 2\n");
    EXPECT_TRUE(sim.waitForLines(u"Abcxy               ", std::u16string(20, u' ')));
    ::close(second);

    // A client that says nothing is dropped, so that it cannot keep the display from the next.
    const int silent = test::connectTcp(port);
    ASSERT_GE(silent, 0);
    EXPECT_TRUE(closedByDisplay(silent, 3000));
    ::close(silent);
    const int after = test::connectTcp(port);
    ASSERT_TRUE(test::sendAll(after, "z"));
    EXPECT_EQ(replyLine(after), "gesehen 1\n");
    ::close(after);
}

} // namespace
} // namespace kd
