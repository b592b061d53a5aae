#include "inputs/display_service.h"

#include "model/serial_line.h"

#include <QDateTime>
#include <QThread>
#include <QTimer>

namespace kd::sim {
namespace {

// How much log may wait for the window, in UTF-16 code units.
constexpr qint64 kPendingLogLimit = 32 * 1024;
// How many commands may wait for their reader.
constexpr std::size_t kPendingCommandLimit = 4096;

QString logPrefix(const QString &source) {
    return QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz")) +
           QStringLiteral("  ") + source.leftJustified(7) + QStringLiteral("  ");
}

} // namespace

DisplayService::DisplayService(Emulation emulation, QObject *parent)
    : QObject(parent), m_model(emulation), m_stepTimer(new QTimer(this)) {
    m_line.display = usualLine(emulation);
    connect(m_stepTimer, &QTimer::timeout, this, &DisplayService::step);
    scheduleStep();
}

DisplayService::~DisplayService() = default;

Snapshot DisplayService::snapshot() const {
    QMutexLocker lock(&m_mutex);
    Snapshot snapshot;
    snapshot.screen = m_model.screen();
    for (int row = 0; row < Screen::kRows; ++row) {
        snapshot.lines[static_cast<std::size_t>(row)] = m_model.line(row);
        snapshot.runningText[static_cast<std::size_t>(row)] = m_model.screen().marquee(row).text;
    }
    snapshot.stepMs = m_model.tickIntervalMs();
    snapshot.emulation = m_model.emulation();
    snapshot.state = m_model.stateLine();
    snapshot.line = m_line;
    snapshot.detected = m_model.detected();
    snapshot.detection = m_model.detection();
    snapshot.inputs = m_places;
    return snapshot;
}

void DisplayService::setEmulation(Emulation emulation) {
    Language language = Language::English;
    {
        QMutexLocker lock(&m_mutex);
        m_model.setEmulation(emulation);
        if (!m_displayLineChosen)
            m_line.display = usualLine(emulation);
        language = m_model.language();
    }
    log(QStringLiteral("Display"),
        tr("Command set %1, power-on state")
            .arg(QString::fromStdString(emulationTitle(emulation, language))));
    requestStep();
}

void DisplayService::setLanguage(Language language) {
    {
        QMutexLocker lock(&m_mutex);
        m_model.setLanguage(language);
    }
    emit changed();
}

Language DisplayService::language() const {
    QMutexLocker lock(&m_mutex);
    return m_model.language();
}

void DisplayService::setOptions(const SetOptions &options) {
    QMutexLocker lock(&m_mutex);
    m_model.setOptions(options);
}

LineSettings DisplayService::displayLine() const {
    QMutexLocker lock(&m_mutex);
    return m_line.display;
}

void DisplayService::setDisplayLine(const LineSettings &line) {
    LineState now;
    {
        QMutexLocker lock(&m_mutex);
        m_displayLineChosen = true;
        m_line.display = line;
        now = m_line;
    }
    log(QStringLiteral("Display"), tr("Line: %1").arg(describeLine(now)));
    emit changed();
}

void DisplayService::setSenderLine(const QString &source, const std::optional<LineSettings> &line) {
    LineState now;
    {
        QMutexLocker lock(&m_mutex);
        const auto known = m_senderLines.find(source);
        const bool same = line ? known != m_senderLines.end() && known->second == *line
                               : known == m_senderLines.end();
        if (same)
            return;
        if (line)
            m_senderLines[source] = *line;
        else
            m_senderLines.erase(source);
        m_line.sender = line;
        now = m_line;
    }
    log(source, tr("Line: %1").arg(describeLine(now)));
    emit changed();
}

QString DisplayService::describeLineFault(const LineSettingsFault &fault) {
    const QString text = QString::fromStdString(fault.text);
    switch (fault.field) {
    case LineSettingsFault::FieldCount:
        return tr("4 fields \"baud,parity,data,stop\" expected, %1 found").arg(text);
    case LineSettingsFault::BaudRate:
        return tr("baud rate \"%1\" is no standard baud rate").arg(text);
    case LineSettingsFault::Parity: return tr("parity \"%1\" is not N, E, O, M or S").arg(text);
    case LineSettingsFault::DataBits:
        return tr("data bits \"%1\" are not between 5 and 8").arg(text);
    case LineSettingsFault::StopBits: return tr("stop bits \"%1\" are not 1, 1.5 or 2").arg(text);
    }
    return text;
}

QString DisplayService::describeLine(const LineState &line) {
    const QString display = QString::fromStdString(shortLineSettings(line.display));
    if (!line.sender)
        return tr("Display %1, sender's line unknown (a match is assumed)").arg(display);
    QString text = tr("Sender %1, Display %2")
                       .arg(QString::fromStdString(shortLineSettings(*line.sender)), display);
    if (!line.mismatch())
        text += tr(" (match)");
    if (line.framingErrors > 0)
        text += tr(", %n framing error(s)", nullptr, static_cast<int>(line.framingErrors));
    if (line.parityErrors > 0)
        text += tr(", %n parity error(s)", nullptr, static_cast<int>(line.parityErrors));
    if (line.answersDropped > 0)
        text +=
            tr(", %n answer byte(s) not sent back", nullptr, static_cast<int>(line.answersDropped));
    return text;
}

QByteArray DisplayService::receive(const QString &source, const QByteArray &bytes) {
    std::vector<LogEntry> entries;
    QString lineNote;
    QString lineChange;
    std::string answers;
    {
        QMutexLocker lock(&m_mutex);
        std::string_view arrived(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        ReceivedBytes read;
        const auto sender = m_senderLines.find(source);
        m_line.sender =
            sender != m_senderLines.end() ? std::optional(sender->second) : std::nullopt;
        const bool mismatch = m_line.mismatch();
        const LineSettings display = m_line.display;
        if (mismatch) {
            // What a real display's receiver reads off the wire goes to the command set, not what
            // was sent.
            read = receiveOverLine(arrived, *m_line.sender, m_line.display);
            arrived = read.bytes;
            m_line.framingErrors += read.framingErrors;
            m_line.parityErrors += read.parityErrors;
            if (read.framingErrors + read.parityErrors > 0)
                lineNote = tr("%1 bytes sent, %2 read; %3")
                               .arg(bytes.size())
                               .arg(read.bytes.size())
                               .arg(describeLine(m_line));
        }
        m_model.feed(arrived);
        entries = m_model.takeLog();
        answers = m_model.takeAnswers();
        // The answers leave at the line the commands came in on; a sender at another line reads
        // them as its receiver does.
        if (mismatch && !answers.empty())
            answers = receiveOverLine(answers, display, *m_line.sender).bytes;
        if (const auto line = m_model.takeLineRequest()) {
            m_displayLineChosen = true;
            m_line.display = *line;
            lineChange = tr("The display's line is now %1").arg(describeLine(m_line));
        }
    }
    m_receivedBytes += bytes.size();
    if (!lineNote.isEmpty())
        log(source, lineNote);
    logEntries(source, entries);
    if (!lineChange.isEmpty())
        log(QStringLiteral("Display"), lineChange);
    requestStep();
    emit changed();
    return QByteArray::fromStdString(answers);
}

void DisplayService::answersDropped(const QString &source, qint64 count, const QString &why) {
    if (count <= 0)
        return;
    qint64 total = 0;
    {
        QMutexLocker lock(&m_mutex);
        m_line.answersDropped += static_cast<std::uint64_t>(count);
        total = static_cast<qint64>(m_line.answersDropped);
    }
    log(source,
        tr("%n answer byte(s) not sent back: %1 (%2 in all)", nullptr, static_cast<int>(count))
            .arg(why)
            .arg(total));
    emit changed();
}

void DisplayService::discardPartial(const QString &source) {
    std::vector<LogEntry> entries;
    {
        QMutexLocker lock(&m_mutex);
        m_model.discardPartial();
        entries = m_model.takeLog();
    }
    logEntries(source, entries);
    emit changed();
}

void DisplayService::logEntries(const QString &source, const std::vector<LogEntry> &entries) {
    if (entries.empty())
        return;
    {
        QMutexLocker lock(&m_logMutex);
        for (const LogEntry &entry : entries)
            keepCommand({source, entry.bytes, entry.meaning});
    }
    const QString prefix = logPrefix(source);
    for (const LogEntry &entry : entries)
        appendLog(prefix + QString::fromStdString(entry.bytes.empty()
                                                      ? entry.meaning
                                                      : entry.bytes + "  " + entry.meaning));
}

void DisplayService::log(const QString &source, const QString &text) {
    {
        // What happened to an input goes to --log's readers too, as a note without bytes.
        QMutexLocker lock(&m_logMutex);
        keepCommand({source, std::string(), text.toStdString()});
    }
    appendLog(logPrefix(source) + text);
    emit changed();
}

void DisplayService::setPlaces(const InputPlaces &places) {
    {
        QMutexLocker lock(&m_mutex);
        m_places = places;
    }
    emit changed();
}

InputPlaces DisplayService::places() const {
    QMutexLocker lock(&m_mutex);
    return m_places;
}

void DisplayService::reportProblem(const QString &problem) {
    {
        QMutexLocker lock(&m_mutex);
        m_places.problems << problem;
    }
    log(QStringLiteral("Display"), problem);
    emit problemReported(problem);
}

void DisplayService::requestRaise() {
    log(QStringLiteral("Display"), tr("another start of the display: window brought to the front"));
    emit raiseRequested();
}

void DisplayService::requestStep() {
    if (QThread::currentThread() == thread())
        scheduleStep();
    else
        QMetaObject::invokeMethod(this, &DisplayService::scheduleStep, Qt::QueuedConnection);
}

void DisplayService::scheduleStep() {
    int stepMs = 0;
    {
        QMutexLocker lock(&m_mutex);
        stepMs = m_model.tickIntervalMs();
    }
    if (stepMs == 0)
        m_stepTimer->stop();
    else if (!m_stepTimer->isActive() || m_stepTimer->interval() != stepMs)
        m_stepTimer->start(stepMs);
}

void DisplayService::step() {
    bool stepped = false;
    {
        QMutexLocker lock(&m_mutex);
        stepped = m_model.tick();
    }
    if (stepped)
        emit changed();
    scheduleStep();
}

void DisplayService::appendLog(QString line) {
    QMutexLocker lock(&m_logMutex);
    m_pendingLogBytes += line.size();
    m_pendingLog.push_back(std::move(line));
    while (m_pendingLogBytes > kPendingLogLimit && m_pendingLog.size() > 1) {
        m_pendingLogBytes -= m_pendingLog.front().size();
        m_droppedLogBytes += m_pendingLog.front().size();
        m_pendingLog.pop_front();
    }
}

void DisplayService::keepCommand(CommandEntry command) {
    if (!m_keepCommands)
        return;
    m_pendingCommands.push_back(std::move(command));
    while (m_pendingCommands.size() > kPendingCommandLimit) {
        m_pendingCommands.pop_front();
        ++m_droppedCommands;
    }
}

void DisplayService::keepCommands(bool keep) {
    QMutexLocker lock(&m_logMutex);
    m_keepCommands = keep;
}

CommandBatch DisplayService::takeCommands() {
    QMutexLocker lock(&m_logMutex);
    CommandBatch batch{{m_pendingCommands.begin(), m_pendingCommands.end()}, m_droppedCommands};
    m_pendingCommands.clear();
    m_droppedCommands = 0;
    return batch;
}

LogBatch DisplayService::takeLog() {
    QMutexLocker lock(&m_logMutex);
    LogBatch batch{std::move(m_pendingLog), m_droppedLogBytes};
    m_pendingLog.clear();
    m_pendingLogBytes = 0;
    m_droppedLogBytes = 0;
    return batch;
}

} // namespace kd::sim
