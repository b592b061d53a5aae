#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QIODevice;
class QTimer;

namespace kd::sim {

class DisplayService;

// The rules of a listening input, whatever its kind of socket (QLocalSocket for the USB socket,
// QTcpSocket for a network input): one client at a time, greeted with a byte so that it knows it
// was accepted, while another is turned away without it; a client that sends nothing for a while
// after connecting is dropped, so that it cannot keep the display from the next one; a command it
// left half-sent is dropped when it goes, so that it cannot swallow the next client's bytes.
//
// Threads: lives on the inputs thread with the server whose connections it is offered.
class SingleClient : public QObject {
  public:
    using Deliver = std::function<void(const QString &source, const QByteArray &bytes)>;

    SingleClient(DisplayService &service, QString source, QByteArray greeting, Deliver deliver,
                 QObject *parent = nullptr);
    ~SingleClient() override;

    // Between a client's bytes and the display: takes what the client sent, returns what the
    // display gets, and puts into reply what goes back to the client at once (a protocol's
    // answers, RFC 2217's say). Without one, every byte goes to the display and nothing back.
    using Filter = std::function<QByteArray(const QByteArray &received, QByteArray &reply)>;
    // Makes a fresh filter for each client, so that a protocol's state starts anew with it.
    using FilterFactory = std::function<Filter()>;

    void setSilentClientTimeoutMs(int ms) { m_silentClientMs = ms; }
    // Sends the display's answer to the client, as much of it as fits: at most 64 KiB of answers
    // wait for a client that does not read them. Returns the bytes sent (0 without a client).
    qint64 answer(const QByteArray &bytes);
    void setFilter(FilterFactory factory) { m_filterFactory = std::move(factory); }

    // A connection the server accepted: it becomes the client, or is turned away when one is
    // served. The rules take ownership of it either way.
    template <typename Socket> void offer(Socket *socket) {
        if (!admit(
                socket, [socket] { socket->abort(); }, socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        connect(socket, &Socket::disconnected, this, [this, socket] { clientLeft(socket); });
        welcome(socket);
        socket->flush();
    }

  private:
    bool admit(QIODevice *socket, std::function<void()> abort, qintptr descriptor);
    // The client has closed its end, though the display has not read that yet: what it sent last
    // is taken, and it goes.
    bool takeLeavingClient();
    void welcome(QIODevice *socket);
    void clientLeft(QIODevice *socket);

    DisplayService &m_service;
    QString m_source;
    QByteArray m_greeting;
    Deliver m_deliver;
    FilterFactory m_filterFactory;
    Filter m_filter;
    QPointer<QIODevice> m_client;
    std::function<void()> m_abortClient;
    qintptr m_clientDescriptor = -1;
    QTimer *m_silentClientTimer = nullptr;
    int m_silentClientMs = 5000;
};

} // namespace kd::sim
