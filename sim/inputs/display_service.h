#pragma once

#include "encoding/line_settings.h"
#include "model/display_model.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <vector>

class QTimer;

namespace kd::sim {

// Where the inputs can be reached, and what went wrong with them, for the window's input list.
struct InputPlaces {
    QString socketPath;
    QString terminalPath;
    // The port number the pseudo-terminal is entered as in the user's port map, or 0.
    int enteredPort = 0;
    // The TCP listener's address as HOST:PORT (the port the system chose for port 0), or empty.
    QString tcpAddress;
    QString rfc2217Address;
    // The --serial-link path, or empty.
    QString terminalLink;
    // Why an input could not be opened or stopped working, one line each.
    QStringList problems;
};

// The display's serial line, as set on its switches, and the line of the sender whose bytes came
// last, where its input tells it (the pseudo-terminal, RFC 2217). On raw TCP and the USB socket the
// sender's line is unknown and a match is assumed.
struct LineState {
    LineSettings display;
    std::optional<LineSettings> sender;
    // Characters the display's receiver read with a low stop bit or a wrong parity bit since the
    // start; both are dropped.
    std::uint64_t framingErrors = 0;
    std::uint64_t parityErrors = 0;
    // Bytes the display answered that could not go back: an input without a way back (the USB
    // socket, a replay), or a sender that does not read them.
    std::uint64_t answersDropped = 0;

    bool mismatch() const { return sender && !(*sender == display); }
};

// What the display shows, copied out under the lock so that another thread may read it.
struct Snapshot {
    Screen screen;
    std::array<std::u16string, Screen::kRows> lines;
    std::array<std::u16string, Screen::kRows> runningText;
    int stepMs = 0;
    Emulation emulation = Emulation::Standard;
    std::string state;
    LineState line;
    // For `auto`: the set it locked on (Auto while undecided) and why; otherwise the set and "".
    Emulation detected = Emulation::Standard;
    std::string detection;
    InputPlaces inputs;
};

// One command as the log names it, for a reader that wants them one by one (--headless --log).
struct CommandEntry {
    QString source;
    std::string bytes;
    std::string meaning;
};
struct CommandBatch {
    std::vector<CommandEntry> commands;
    // Commands dropped because the reader fell behind.
    qint64 dropped = 0;
};

// Log lines waiting for the window, and how much of the log was dropped to keep it bounded.
struct LogBatch {
    QStringList lines;
    qint64 droppedBytes = 0;
};

// The one object that crosses between the inputs and the window: the display model with its log
// and the places of the inputs, behind a lock.
//
// Threads: every public member may be called from any thread; each takes the lock it needs. The
// object itself (and the timer that steps running texts) lives on the thread it was created on or
// moved to, the inputs thread in the program; its signals are emitted from the thread that changed
// something, so a receiver on another thread gets them queued. The window uses snapshot(),
// takeLog(), setEmulation() and raiseRequested() and nothing else of the inputs.
class DisplayService : public QObject {
    Q_OBJECT

  public:
    explicit DisplayService(Emulation emulation = Emulation::Standard, QObject *parent = nullptr);
    ~DisplayService() override;

    Snapshot snapshot() const;
    // The log lines since the last call, at most about 32 Ki characters of them.
    LogBatch takeLog();
    // Keeps every command for takeCommands() as well; off until asked, as only --log reads them.
    void keepCommands(bool keep);
    // The commands since the last call, at most the last 4096 of them.
    CommandBatch takeCommands();
    // Chooses the command set: the display goes to its power-on state.
    void setEmulation(Emulation emulation);
    // The language of the model's state line and log.
    void setLanguage(Language language);
    // The choices the manuals leave to the display (a BA63's wrap, an identification answer).
    void setOptions(const SetOptions &options);
    Language language() const;

    // The display's own line, as one would set its switches. Until it is set, the display has the
    // usual line of its command set, and follows the set when it changes.
    void setDisplayLine(const LineSettings &line);
    // The display's own line as it is now.
    LineSettings displayLine() const;
    // The line the sender on the given source uses, or nothing when the input cannot tell. Bytes
    // from a sender whose line differs from the display's are read as the display's receiver
    // would read them off the wire.
    void setSenderLine(const QString &source, const std::optional<LineSettings> &line);
    // "Sender 19200 8N1, Display 9600 8N1, 3 framing errors": the line as the state line names it.
    static QString describeLine(const LineState &line);
    // Which field of a line-settings text is wrong, and why, in the user's language.
    static QString describeLineFault(const LineSettingsFault &fault);

    // Feeds bytes as they arrived from the given source, and logs what they meant. Returns what
    // the display answers, in order, for the input to send back to the same sender; as the
    // sender's receiver reads it when the lines differ.
    QByteArray receive(const QString &source, const QByteArray &bytes);
    // An input could send back only part of the answers (or none): the rest is counted and the
    // log says why, so that a sender that never reads cannot hold the display up.
    void answersDropped(const QString &source, qint64 count, const QString &why);
    // The source's sender went away: a command it left half-sent is dropped and logged.
    void discardPartial(const QString &source);
    // A line in the log, for what happened to an input.
    void log(const QString &source, const QString &text);
    // Bytes received from every source since the start.
    qint64 receivedBytes() const { return m_receivedBytes.load(); }

    void setPlaces(const InputPlaces &places);
    InputPlaces places() const;
    // An input stopped working: the window's input list says why, and problemReported() tells
    // whoever else must hear it (the program writes it to standard error).
    void reportProblem(const QString &problem);

    // A second start of the display asked for its window: raiseRequested() brings it to the front.
    void requestRaise();

  signals:
    void changed();
    void problemReported(const QString &problem);
    void raiseRequested();

  private:
    void logEntries(const QString &source, const std::vector<LogEntry> &entries);
    // For --log's readers, bounded; with m_logMutex held.
    void keepCommand(CommandEntry command);
    void appendLog(QString line);
    // Starts, restarts or stops the step timer for the model's running texts; on the service's
    // own thread only.
    void scheduleStep();
    // scheduleStep() on the service's thread, whichever thread asks.
    void requestStep();
    void step();

    mutable QMutex m_mutex;
    DisplayModel m_model;
    LineState m_line;
    bool m_displayLineChosen = false;
    std::map<QString, LineSettings> m_senderLines;
    InputPlaces m_places;
    QTimer *m_stepTimer = nullptr;
    std::atomic<qint64> m_receivedBytes = 0;

    mutable QMutex m_logMutex;
    QStringList m_pendingLog;
    qint64 m_pendingLogBytes = 0;
    qint64 m_droppedLogBytes = 0;
    bool m_keepCommands = false;
    std::deque<CommandEntry> m_pendingCommands;
    qint64 m_droppedCommands = 0;
};

} // namespace kd::sim
