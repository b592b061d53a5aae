#include "inputs/usb_socket_input.h"

#include "runtime/sim_socket_path.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace kd::sim {
namespace {

const QString kUsbSource = QStringLiteral("USB");

// Why what stands at the path keeps the display from listening there, or an empty text when
// nothing does, or only a socket file left behind, which is removed.
QString blockedBy(const QString &path) {
    struct stat info {};
    if (::lstat(path.toLocal8Bit().constData(), &info) != 0)
        return errno == ENOENT ? QString() : QString::fromLocal8Bit(std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        return QCoreApplication::translate("kd::sim::UsbSocketInput",
                                           "a folder stands in its place");
    return {};
}

} // namespace

UsbSocketInput::UsbSocketInput(DisplayService &service, SingleClient::Deliver deliver,
                               QObject *parent)
    : QObject(parent), m_rules(new SingleClient(service, kUsbSource, QByteArray(1, kWelcome),
                                                std::move(deliver), this)),
      m_server(new QLocalServer(this)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &UsbSocketInput::acceptClients);
}

// The children go in the order they were made: the rules, which let their client go, before the
// server that owns it.
UsbSocketInput::~UsbSocketInput() = default;

QString UsbSocketInput::listen(const QString &path) {
    const auto refusal = [&](const QString &reason) {
        return QCoreApplication::translate("kd::sim::UsbSocketInput",
                                           "Socket %1 cannot be opened: %2")
            .arg(path, reason);
    };
    if (const QString reason = blockedBy(path); !reason.isEmpty())
        return refusal(reason);
    // Only the display that holds the lock gets here: a socket file left by a display that is no
    // longer running is removed without a race against another one starting.
    QLocalServer::removeServer(path);
    if (!m_server->listen(path))
        return refusal(m_server->errorString());
    m_path = path;
    return {};
}

void UsbSocketInput::acceptClients() {
    while (QLocalSocket *socket = m_server->nextPendingConnection())
        m_rules->offer(socket);
}

} // namespace kd::sim
