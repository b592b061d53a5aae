#pragma once

#include "inputs/single_client.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

class QTcpServer;

namespace kd::sim {

class DisplayService;

// A raw TCP listener for till programs that reach the display over the network, from a virtual
// machine's serial port in TCP mode, say: one client at a time by the same rules as the USB socket
// (see SingleClient), without a greeting, since the client expects a serial line's bytes only.
// What lies between the socket's bytes and the display is a filter (SingleClient::setFilter), so
// that a protocol over TCP (RFC 2217) reuses the listener.
//
// Threads: created, used and destroyed on the inputs thread.
class TcpInput : public QObject {
  public:
    // The source names the input in the log and to the display ("TCP", "RFC 2217").
    TcpInput(DisplayService &service, SingleClient::Deliver deliver,
             const QString &source = QStringLiteral("TCP"), QObject *parent = nullptr);
    ~TcpInput() override;

    void setSilentClientTimeoutMs(int ms) { m_rules->setSilentClientTimeoutMs(ms); }
    void setFilter(SingleClient::FilterFactory factory) { m_rules->setFilter(std::move(factory)); }
    // Sends the display's answer to the client (see SingleClient::answer); the bytes sent.
    qint64 answer(const QByteArray &bytes) { return m_rules->answer(bytes); }
    // Listens at the host (a name or an address) and port (0: one the system chooses); an empty
    // text, or which address could not be opened and the system's reason.
    QString listen(const QString &host, quint16 port);
    // HOST:PORT as the client reaches it, with the port actually listened on.
    QString address() const;

  private:
    void acceptClients();

    SingleClient *m_rules = nullptr;
    QTcpServer *m_server = nullptr;
};

} // namespace kd::sim
