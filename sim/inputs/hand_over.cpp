#include "inputs/hand_over.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

namespace kd::sim {
namespace {

const QByteArray kRaiseRequest = QByteArrayLiteral("raise\n");
const QByteArray kRaiseAnswer = QByteArrayLiteral("ok\n");
// How long a request may take to arrive, and how long a second start waits for the answer
// (the running display may be starting just now, not yet listening).
constexpr int kRequestMs = 2000;
constexpr int kAnswerMs = 5000;

QString socketIn(const QString &folder) {
    return folder + QLatin1Char('/') + QString::fromLatin1(kRaiseSocketName);
}

} // namespace

RaiseListener::RaiseListener(std::function<void()> raise, QObject *parent)
    : QObject(parent), m_raise(std::move(raise)), m_server(new QLocalServer(this)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &RaiseListener::acceptRequests);
}

RaiseListener::~RaiseListener() = default;

QString RaiseListener::listen(const QString &folder) {
    const QString path = socketIn(folder);
    QLocalServer::removeServer(path);
    if (!m_server->listen(path))
        return QCoreApplication::translate("kd::sim::RaiseListener",
                                           "Socket %1 cannot be opened: %2")
            .arg(path, m_server->errorString());
    return {};
}

void RaiseListener::acceptRequests() {
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        // A client that says nothing does not stay.
        QTimer::singleShot(kRequestMs, socket, [socket] { socket->abort(); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() < kRaiseRequest.size())
                return;
            if (socket->read(kRaiseRequest.size()) == kRaiseRequest) {
                m_raise();
                socket->write(kRaiseAnswer);
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}

QString askRunningDisplayToRaise(const QString &folder) {
    const QString path = socketIn(folder);
    const QDeadlineTimer deadline(kAnswerMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(path);
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return QCoreApplication::translate("kd::sim::RaiseListener", "%1 does not answer: %2")
                .arg(path, socket.errorString());
        // The running display may not listen yet.
        socket.abort();
        QThread::msleep(50);
    }
    socket.write(kRaiseRequest);
    while (socket.bytesAvailable() < kRaiseAnswer.size()) {
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return QCoreApplication::translate("kd::sim::RaiseListener", "%1 does not answer: %2")
                .arg(path, socket.errorString());
    }
    if (socket.read(kRaiseAnswer.size()) != kRaiseAnswer)
        return QCoreApplication::translate("kd::sim::RaiseListener",
                                           "%1 gives an answer that makes no sense")
            .arg(path);
    return {};
}

} // namespace kd::sim
