#pragma once

#include "model/display_model.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QObject>
#include <QString>

#include <array>
#include <atomic>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QSocketNotifier;
class QTimer;

namespace kd::sim {

// What the display shows, copied out under the lock so that another thread may read it.
struct Snapshot {
    Screen screen;
    std::array<std::u16string, Screen::kRows> lines;
    std::array<std::u16string, Screen::kRows> runningText;
    int stepMs = 0;
    Emulation emulation = Emulation::Standard;
    std::string state;
};

// Log lines waiting for the window, and how much of the log was dropped to keep it bounded.
struct LogBatch {
    QStringList lines;
    qint64 droppedBytes = 0;
};

// The virtual display's inputs around its model: the Unix-domain socket that the stand-in USB
// library connects to (one client at a time) and a pseudo-terminal for serial software. Every
// command is logged with its time, source, hex bytes and meaning; the log waiting for the window
// is bounded by bytes, the oldest lines going first.
class SimDisplay : public QObject {
    Q_OBJECT

  public:
    // While it runs, the display enters its pseudo-terminal in the user's port map as this port
    // number (0: not at all), so that serial software reaches it by a number.
    explicit SimDisplay(int comPort = 1, Emulation emulation = Emulation::Standard,
                        QObject *parent = nullptr);
    ~SimDisplay() override;

    // Opens both inputs. Returns an empty text, or why an input could not be opened.
    Q_INVOKABLE QString start();
    // Another virtual display of the user already serves: this one serves nothing.
    bool anotherDisplayRunning() const { return m_anotherRunning; }
    // Before start: whether the display holds its pseudo-terminal's other end open between
    // clients (it does unless that fails).
    void setHoldSerialOpen(bool hold) { m_holdSerialOpen = hold; }
    // A USB client that has sent nothing this long after connecting is dropped, so that it
    // cannot keep the display from the next one.
    void setSilentClientTimeoutMs(int ms) { m_silentClientMs = ms; }
    // How often the pseudo-terminal woke the display up, for checking that it does not spin.
    qint64 serialWakeups() const { return m_serialWakeups.load(); }
    // The log lines since the last call, at most about 32 Ki characters of them.
    LogBatch takeLog();
    // Closes both inputs, as when the program ends.
    Q_INVOKABLE void stop();

    QString socketPath() const;
    QString serialPath() const;
    // The port number the pseudo-terminal is entered as, or 0.
    int enteredPort() const { return m_enteredPort; }
    Snapshot snapshot() const;
    // Bytes received from both inputs since the start.
    qint64 receivedBytes() const { return m_receivedBytes.load(); }

    // Feeds bytes as if they had arrived from the given source.
    void receive(const QString &source, const QByteArray &bytes);
    // Chooses the command set: the display goes to its power-on state.
    Q_INVOKABLE void setEmulation(kd::sim::Emulation emulation);
    // Writes every byte received from now on to the file; an empty text, or why it cannot.
    QString recordTo(const QString &path);
    // Makes a symbolic link at the path to the pseudo-terminal; an empty text, or why not.
    QString linkSerialTo(const QString &path);

  signals:
    void changed();

  private:
    QString startSocket();
    QString startSerial();
    QString enterPortMap();
    void acceptClient();
    void readSerial();
    void log(const QString &source, const QString &text);
    void appendLog(QString line);
    QString lockDisplay(const std::string &folder);
    void scheduleStep();

    mutable QMutex m_mutex;
    DisplayModel m_model;
    QLocalServer *m_server = nullptr;
    QLocalSocket *m_client = nullptr;
    int m_master = -1;
    int m_slave = -1;
    QSocketNotifier *m_serialNotifier = nullptr;
    QTimer *m_stepTimer = nullptr;
    QString m_socketPath;
    QString m_serialPath;
    QString m_serialLink;
    std::unique_ptr<QFile> m_record;
    QElapsedTimer m_recordClock;
    int m_comPort = 1;
    int m_enteredPort = 0;
    std::string m_portMapFolder;
    std::atomic<qint64> m_receivedBytes = 0;
    std::atomic<qint64> m_serialWakeups = 0;
    bool m_anotherRunning = false;
    bool m_holdSerialOpen = true;
    int m_silentClientMs = 5000;
    int m_lockFd = -1;
    QTimer *m_silentClientTimer = nullptr;
    mutable QMutex m_logMutex;
    QStringList m_pendingLog;
    qint64 m_pendingLogBytes = 0;
    qint64 m_droppedLogBytes = 0;
};

} // namespace kd::sim
