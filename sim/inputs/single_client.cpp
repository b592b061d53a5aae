#include "inputs/single_client.h"

#include "inputs/display_service.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QTimer>

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>

namespace kd::sim {

SingleClient::SingleClient(DisplayService &service, QString source, QByteArray greeting,
                           Deliver deliver, QObject *parent)
    : QObject(parent), m_service(service), m_source(std::move(source)),
      m_greeting(std::move(greeting)), m_deliver(std::move(deliver)),
      m_silentClientTimer(new QTimer(this)) {
    m_silentClientTimer->setSingleShot(true);
    connect(m_silentClientTimer, &QTimer::timeout, this, [this] {
        if (!m_client)
            return;
        m_service.log(m_source, QCoreApplication::translate("kd::sim::SingleClient",
                                                            "client sends nothing: disconnected"));
        m_abortClient();
    });
}

SingleClient::~SingleClient() {
    if (m_client) {
        // The client goes with its server (its parent); its disconnected() must not reach rules
        // that are gone.
        m_client->disconnect(this);
        m_abortClient();
    }
}

bool SingleClient::takeLeavingClient() {
    pollfd state{static_cast<int>(m_clientDescriptor), POLLRDHUP, 0};
    if (::poll(&state, 1, 0) != 1 || !(state.revents & (POLLRDHUP | POLLHUP)))
        return false;
    QIODevice *gone = m_client;
    const std::function<void()> abortGone = m_abortClient;
    gone->disconnect(this);
    QByteArray rest = gone->readAll();
    char buffer[4096];
    for (ssize_t count; (count = ::recv(static_cast<int>(m_clientDescriptor), buffer, sizeof buffer,
                                        MSG_DONTWAIT)) > 0;)
        rest.append(buffer, count);
    if (m_filter) {
        QByteArray unanswered;
        rest = m_filter(rest, unanswered);
    }
    if (!rest.isEmpty())
        m_deliver(m_source, rest);
    clientLeft(gone);
    abortGone();
    return true;
}

bool SingleClient::admit(QIODevice *socket, std::function<void()> abort, qintptr descriptor) {
    // A client that connects again at once is not turned away because the display has not yet
    // read that the one before it has gone.
    if (m_client)
        takeLeavingClient();
    if (m_client) {
        m_service.log(m_source, QCoreApplication::translate(
                                    "kd::sim::SingleClient",
                                    "another connection refused (one client at a time)"));
        return false;
    }
    m_client = socket;
    m_abortClient = std::move(abort);
    m_clientDescriptor = descriptor;
    m_service.log(m_source, QCoreApplication::translate("kd::sim::SingleClient", "connected"));
    m_silentClientTimer->start(m_silentClientMs);
    return true;
}

void SingleClient::welcome(QIODevice *socket) {
    m_filter = m_filterFactory ? m_filterFactory() : Filter();
    connect(socket, &QIODevice::readyRead, this, [this, socket] {
        m_silentClientTimer->stop();
        QByteArray bytes = socket->readAll();
        if (m_filter) {
            QByteArray reply;
            bytes = m_filter(bytes, reply);
            if (!reply.isEmpty())
                socket->write(reply);
        }
        if (!bytes.isEmpty())
            m_deliver(m_source, bytes);
    });
    if (!m_greeting.isEmpty())
        socket->write(m_greeting);
}

qint64 SingleClient::answer(const QByteArray &bytes) {
    // A client that does not read its answers must not make the display keep them for ever: at
    // most this much waits for it; what does not fit is not sent.
    constexpr qint64 kMostWaiting = 64 * 1024;
    if (!m_client)
        return 0;
    const qint64 room = std::min<qint64>(kMostWaiting - m_client->bytesToWrite(), bytes.size());
    if (room <= 0)
        return 0;
    return std::max<qint64>(m_client->write(bytes.constData(), room), 0);
}

void SingleClient::clientLeft(QIODevice *socket) {
    if (m_client == socket) {
        m_client = nullptr;
        m_abortClient = {};
        m_clientDescriptor = -1;
        m_silentClientTimer->stop();
        m_service.discardPartial(m_source);
    }
    m_service.log(m_source, QCoreApplication::translate("kd::sim::SingleClient", "disconnected"));
    socket->deleteLater();
}

} // namespace kd::sim
