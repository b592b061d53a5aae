#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

namespace kd::sim {

// --record: every arrival, from any input, with its time since the recording began, in the
// format that --print and --replay read back.
//
// Threads: used on the inputs thread, where the arrivals are delivered.
class Recorder {
  public:
    // Starts a recording in the file; an empty text, or why it cannot.
    QString open(const QString &path);
    bool isOpen() const { return m_file.isOpen(); }
    void write(const QString &source, const QByteArray &bytes);

  private:
    QFile m_file;
    QElapsedTimer m_clock;
};

} // namespace kd::sim
