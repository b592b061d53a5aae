#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace kd::sim {

// --replay: plays a recording of --record into the display at its recorded pace.
//
// Threads: created, used and destroyed on the inputs thread.
class Replay : public QObject {
  public:
    using Deliver = std::function<void(const QString &source, const QByteArray &bytes)>;

    explicit Replay(Deliver deliver, QObject *parent = nullptr);

    // Starts playing the file; an empty text, or why it cannot.
    QString start(const QString &path);

  private:
    Deliver m_deliver;
};

} // namespace kd::sim
