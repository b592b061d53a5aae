#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace kd::sim {

// One virtual display per user, visibly: a second start of the windowed display hands over to the
// one that runs. The display that holds the lock listens on the local socket
// kundendisplay-sim.raise in the private folder; a second start sends "raise" there, the running
// display brings its window to the front and answers "ok", and the second start ends.
inline constexpr char kRaiseSocketName[] = "kundendisplay-sim.raise";

// The running display's end. Threads: created, used and destroyed on the inputs thread.
class RaiseListener : public QObject {
  public:
    explicit RaiseListener(std::function<void()> raise, QObject *parent = nullptr);
    ~RaiseListener() override;

    // Listens in the folder; an empty text, or why not. Only the lock holder may, since it
    // removes a socket file left behind.
    QString listen(const QString &folder);

  private:
    void acceptRequests();

    std::function<void()> m_raise;
    QLocalServer *m_server = nullptr;
};

// The second start's end: asks the display that runs to bring its window to the front, waiting
// a few seconds at most for it to listen and answer. An empty text, or why it did not answer.
QString askRunningDisplayToRaise(const QString &folder);

} // namespace kd::sim
