// The client rules of a listening input over a TCP listener on 127.0.0.1, as a network input
// would use them: one client at a time, a silent one dropped, a half-sent command discarded.
#include "inputs/display_service.h"
#include "inputs/single_client.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kd::sim {
namespace {

int connectTo(quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Whether the greeting arrives within the time; the listener runs on this thread meanwhile.
bool greeted(int fd, int timeoutMs = 2000) {
    return QTest::qWaitFor(
        [&] {
            char byte = 0;
            return ::recv(fd, &byte, 1, MSG_DONTWAIT) == 1 && byte == 'G';
        },
        timeoutMs);
}

// A client the listener greets, once it has seen the one before go (until then a new client is
// still turned away); -1 when none is greeted within the time.
int connectGreeted(quint16 port) {
    int fd = -1;
    const bool ok = QTest::qWaitFor([&] {
        if (fd >= 0)
            ::close(fd);
        fd = connectTo(port);
        return greeted(fd, 200);
    });
    return ok ? fd : -1;
}

// Whether the listener closed the connection within the time.
bool closedByListener(int fd, int timeoutMs = 2000) {
    return QTest::qWaitFor(
        [&] {
            char byte = 0;
            return ::recv(fd, &byte, 1, MSG_DONTWAIT) == 0;
        },
        timeoutMs);
}

TEST(SingleClient, RulesHoldForATcpListener) {
    DisplayService service;
    SingleClient rules(
        service, QStringLiteral("TCP"), QByteArrayLiteral("G"),
        [&](const QString &source, const QByteArray &bytes) { service.receive(source, bytes); });
    rules.setSilentClientTimeoutMs(300);
    QTcpServer server;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket *socket = server.nextPendingConnection())
            rules.offer(socket);
    });
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));

    const int first = connectTo(server.serverPort());
    ASSERT_TRUE(greeted(first));
    const int second = connectTo(server.serverPort());
    EXPECT_TRUE(closedByListener(second)); // one client at a time, turned away without greeting
    ::close(second);

    ASSERT_EQ(::send(first, "\x02\x05L1abc", 7, MSG_NOSIGNAL), 7);
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.receivedBytes() == 7; }));
    ::close(first); // leaves mid-frame

    const int third = connectGreeted(server.serverPort());
    ASSERT_GE(third, 0);
    ASSERT_EQ(::send(third, "Hallo", 5, MSG_NOSIGNAL), 5);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return service.snapshot().lines[0] == u"Hallo               "; }));
    ::close(third);

    const int silent = connectGreeted(server.serverPort());
    ASSERT_GE(silent, 0);
    EXPECT_TRUE(closedByListener(silent, 3000)); // dropped after 300 ms of silence
    ::close(silent);
    const int next = connectGreeted(server.serverPort());
    EXPECT_GE(next, 0);
    ::close(next);
}

} // namespace
} // namespace kd::sim
