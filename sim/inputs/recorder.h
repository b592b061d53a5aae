#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

namespace kd::sim {

// --record: every arrival, from any input, with its time since the recording began, in the
// format that --print and --replay read back. The file is written without ever waiting: a pipe
// nobody reads from is refused at the start, and a write that fails or would wait (a full disk, a
// reader that stopped reading) ends the recording with the reason.
//
// Threads: used on the inputs thread, where the arrivals are delivered.
class Recorder {
  public:
    Recorder() = default;
    ~Recorder();
    Recorder(const Recorder &) = delete;
    Recorder &operator=(const Recorder &) = delete;

    // Starts a recording in the file; an empty text, or why it cannot.
    QString open(const QString &path);
    bool isOpen() const { return m_fd >= 0; }
    // Writes the arrival. An empty text, or, once, why the recording ended here.
    QString write(const QString &source, const QByteArray &bytes);

  private:
    // Writes all of the text; false with errno set when the file takes it not at once.
    bool writeAll(const std::string &text);
    void close();

    int m_fd = -1;
    QString m_path;
    QElapsedTimer m_clock;
};

} // namespace kd::sim
