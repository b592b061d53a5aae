#pragma once

#include "model/recording.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QTimer;

namespace kd::sim {

// --replay: plays a recording of --record into the display at its recorded pace. One timer steps
// along the recording, which is read as it plays, so that neither memory nor the time to start
// grows with its length; the inputs thread stays free for the other inputs between steps.
//
// Threads: created, used and destroyed on the inputs thread.
class Replay : public QObject {
  public:
    using Deliver = std::function<void(const QString &source, const QByteArray &bytes)>;
    // Something that went wrong while playing, for the window's input list.
    using Report = std::function<void(const QString &problem)>;

    Replay(Deliver deliver, Report report, QObject *parent = nullptr);
    ~Replay() override;

    // Starts playing the file; an empty text, or why it cannot. Only a regular file is played:
    // a pipe or a device might never end or keep the program waiting for another end.
    // A malformed line is worded in the language given, that of the messages around it.
    QString start(const QString &path, Language language);

  private:
    void play();
    void close();

    Deliver m_deliver;
    Report m_report;
    QString m_path;
    int m_fd = -1;
    std::optional<RecordingReader> m_reader;
    std::optional<Arrival> m_next;
    QTimer *m_timer = nullptr;
    QElapsedTimer m_clock;
};

} // namespace kd::sim
