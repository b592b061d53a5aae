#include "inputs/tcp_input.h"

#include <QCoreApplication>
#include <QHostInfo>
#include <QTcpServer>
#include <QTcpSocket>

namespace kd::sim {

TcpInput::TcpInput(DisplayService &service, SingleClient::Deliver deliver, const QString &source,
                   QObject *parent)
    : QObject(parent),
      m_rules(new SingleClient(service, source, QByteArray(), std::move(deliver), this)),
      m_server(new QTcpServer(this)) {
    connect(m_server, &QTcpServer::newConnection, this, &TcpInput::acceptClients);
}

// The rules, made first, go first and let their client go before the server that owns it.
TcpInput::~TcpInput() = default;

QString TcpInput::listen(const QString &host, quint16 port) {
    const QString place = QStringLiteral("%1:%2").arg(host).arg(port);
    QHostAddress address;
    if (!address.setAddress(host)) {
        // A name: its first IPv4 address, as most clients try that first, else its first.
        const QHostInfo info = QHostInfo::fromName(host);
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty())
            return QCoreApplication::translate("kd::sim::TcpInput", "host %1 not found: %2")
                .arg(host, info.error() != QHostInfo::NoError
                               ? info.errorString()
                               : QCoreApplication::translate("kd::sim::TcpInput", "no address"));
        address = info.addresses().first();
        for (const QHostAddress &candidate : info.addresses()) {
            if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
                address = candidate;
                break;
            }
        }
    }
    if (!m_server->listen(address, port))
        return QCoreApplication::translate("kd::sim::TcpInput", "%1 cannot be opened: %2")
            .arg(place, m_server->errorString());
    return {};
}

QString TcpInput::address() const {
    if (!m_server->isListening())
        return {};
    const QHostAddress host = m_server->serverAddress();
    const QString name = host.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(host.toString())
                             : host.toString();
    return QStringLiteral("%1:%2").arg(name).arg(m_server->serverPort());
}

void TcpInput::acceptClients() {
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        // Short commands go out at once rather than waiting to be gathered.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_rules->offer(socket);
    }
}

} // namespace kd::sim
