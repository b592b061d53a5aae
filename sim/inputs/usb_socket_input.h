#pragma once

#include "inputs/single_client.h"

#include <QObject>
#include <QString>

class QLocalServer;

namespace kd::sim {

class DisplayService;

// USB: the Unix-domain socket in the user's private folder that the stand-in USB library connects
// to, one client at a time (see SingleClient).
//
// Threads: created, used and destroyed on the inputs thread. Only the display that holds the
// user's DisplayLock may open it, since opening removes a socket file left behind.
class UsbSocketInput : public QObject {
  public:
    UsbSocketInput(DisplayService &service, SingleClient::Deliver deliver,
                   QObject *parent = nullptr);
    ~UsbSocketInput() override;

    void setSilentClientTimeoutMs(int ms) { m_rules->setSilentClientTimeoutMs(ms); }
    // Listens at the path; an empty text, or which socket could not be opened and why.
    QString listen(const QString &path);
    QString path() const { return m_path; }

  private:
    void acceptClients();

    SingleClient *m_rules = nullptr;
    QLocalServer *m_server = nullptr;
    QString m_path;
};

} // namespace kd::sim
