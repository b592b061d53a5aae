#include "inputs/sim_display.h"

#include "model/recording.h"
#include "runtime/port_map.h"
#include "inputs/serial_link_path.h"
#include "runtime/sim_socket_path.h"

#include <QDateTime>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kd::sim {
namespace {

// How the tool names the port map entry of the virtual display.
constexpr char kPortOwner[] = "virtuelles Kundendisplay";
const QString kUsbSource = QStringLiteral("USB");
const QString kSerialSource = QStringLiteral("Seriell");

} // namespace

SimDisplay::SimDisplay(int comPort, Emulation emulation, QObject *parent)
    : QObject(parent), m_model(emulation), m_comPort(comPort) {}

SimDisplay::~SimDisplay() {
    stop();
}

QString SimDisplay::start() {
    m_silentClientTimer = new QTimer(this);
    m_silentClientTimer->setSingleShot(true);
    connect(m_silentClientTimer, &QTimer::timeout, this, [this] {
        if (!m_client)
            return;
        log(kUsbSource, QStringLiteral("Client sendet nichts: getrennt"));
        m_client->abort();
    });
    m_stepTimer = new QTimer(this);
    connect(m_stepTimer, &QTimer::timeout, this, [this] {
        bool stepped = false;
        {
            QMutexLocker lock(&m_mutex);
            stepped = m_model.tick();
        }
        if (stepped)
            emit changed();
        scheduleStep();
    });
    scheduleStep();
    const QString socket = startSocket();
    if (m_anotherRunning)
        return socket; // the other display serves both inputs
    QStringList problems;
    for (const QString &problem : {socket, startSerial(), enterPortMap()}) {
        if (!problem.isEmpty())
            problems << problem;
    }
    return problems.join(QLatin1Char('\n'));
}

QString SimDisplay::startSocket() {
    const SocketPath path = resolveSocketPath(true);
    if (!path.error.empty())
        return QString::fromStdString(path.error);
    m_socketPath = QString::fromStdString(path.path);
    const std::string folder = path.path.substr(0, path.path.rfind('/'));
    if (const QString locked = lockDisplay(folder); !locked.isEmpty())
        return locked;

    // Only the display that holds the lock gets here: a socket file left by a display that is no
    // longer running is removed without a race against another one starting.
    QLocalServer::removeServer(m_socketPath);

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketPath))
        return QStringLiteral("Socket ") + m_socketPath +
               QStringLiteral(" lässt sich nicht öffnen: ") + m_server->errorString();
    connect(m_server, &QLocalServer::newConnection, this, &SimDisplay::acceptClient);
    return {};
}

// One display serves the user at a time: the one that holds the lock on kundendisplay-sim.lock in
// the private folder. The lock goes with the process, however it ends.
QString SimDisplay::lockDisplay(const std::string &folder) {
    const std::string lockPath = folder + "/kundendisplay-sim.lock";
    m_lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFd < 0)
        return QStringLiteral("Sperre %1 lässt sich nicht anlegen: %2")
            .arg(QString::fromStdString(lockPath), QString::fromLocal8Bit(std::strerror(errno)));
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
        m_anotherRunning = true;
        m_socketPath.clear();
        return QStringLiteral("Ein virtuelles Display läuft bereits (Sperre %1)")
            .arg(QString::fromStdString(lockPath));
    }
    return {};
}

QString SimDisplay::enterPortMap() {
    if (m_comPort == 0 || m_serialPath.isEmpty())
        return {};
    const Folder folder = portMapFolder(true);
    if (!folder.error.empty())
        return QStringLiteral("Portzuordnung nicht möglich: ") +
               QString::fromStdString(folder.error);
    const std::string refusal =
        enterPort(folder.path, m_comPort, m_serialPath.toStdString(), kPortOwner);
    if (!refusal.empty())
        return QString::fromStdString(refusal);
    m_portMapFolder = folder.path;
    m_enteredPort = m_comPort;
    return {};
}

QString SimDisplay::startSerial() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
        ::ptsname_r(m_master, name, sizeof name) != 0)
        return QStringLiteral("Pseudo-Terminal lässt sich nicht anlegen: ") +
               QString::fromLocal8Bit(std::strerror(errno));
    // Holding the other end open keeps the terminal alive between clients.
    m_slave = m_holdSerialOpen ? ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
    if (m_slave >= 0) {
        termios raw{};
        ::tcgetattr(m_slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_slave, TCSANOW, &raw);
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_serialPath = QString::fromLocal8Bit(name);
    m_serialNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_serialNotifier, &QSocketNotifier::activated, this, &SimDisplay::readSerial);
    return {};
}

void SimDisplay::stop() {
    if (!m_serialLink.isEmpty()) {
        removeSerialLink(m_serialLink.toStdString(), m_serialPath.toStdString());
        m_serialLink.clear();
    }
    if (m_enteredPort != 0)
        leavePort(m_portMapFolder, m_enteredPort);
    m_enteredPort = 0;
    if (m_client) {
        m_client->abort();
        delete m_client;
        m_client = nullptr;
    }
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    delete m_serialNotifier;
    m_serialNotifier = nullptr;
    for (int *fd : {&m_slave, &m_master, &m_lockFd}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void SimDisplay::acceptClient() {
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        if (m_client) {
            log(kUsbSource, QStringLiteral("weitere Verbindung abgewiesen (ein Client zur Zeit)"));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_client = socket;
        log(kUsbSource, QStringLiteral("verbunden"));
        m_silentClientTimer->start(m_silentClientMs);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            m_silentClientTimer->stop();
            receive(kUsbSource, socket->readAll());
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            if (m_client == socket) {
                m_client = nullptr;
                m_silentClientTimer->stop();
                // What the client left half-sent must not swallow the next client's bytes.
                std::vector<LogEntry> entries;
                {
                    QMutexLocker lock(&m_mutex);
                    m_model.discardPartial();
                    entries = m_model.takeLog();
                }
                for (const LogEntry &entry : entries)
                    log(kUsbSource, QString::fromStdString(entry.bytes + "  " + entry.meaning));
            }
            log(kUsbSource, QStringLiteral("getrennt"));
            socket->deleteLater();
            emit changed();
        });
        socket->write(&kWelcome, 1);
        socket->flush();
    }
}

void SimDisplay::readSerial() {
    ++m_serialWakeups;
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    const ssize_t count = ::read(m_master, buffer.data(), static_cast<std::size_t>(buffer.size()));
    if (count > 0) {
        buffer.truncate(static_cast<qsizetype>(count));
        receive(kSerialSource, buffer);
        return;
    }
    if (count < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    // No program has the terminal's other end open (the display could not hold it open itself):
    // the master reports that at once on every wake-up. Rather than spin, the display looks again
    // a little later.
    m_serialNotifier->setEnabled(false);
    QTimer::singleShot(100, this, [this] {
        if (m_serialNotifier)
            m_serialNotifier->setEnabled(true);
    });
}

void SimDisplay::receive(const QString &source, const QByteArray &bytes) {
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (m_record) {
        m_record->write(QByteArray::fromStdString(
            recordLine({m_recordClock.elapsed(), source.toStdString(), std::string(view)})));
        m_record->flush();
    }
    std::vector<LogEntry> entries;
    {
        QMutexLocker lock(&m_mutex);
        m_model.feed(view);
        entries = m_model.takeLog();
    }
    m_receivedBytes += bytes.size();
    const QString prefix = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz")) +
                           QStringLiteral("  ") + source.leftJustified(7) + QStringLiteral("  ");
    for (const LogEntry &entry : entries)
        appendLog(prefix + QString::fromStdString(entry.bytes.empty()
                                                      ? entry.meaning
                                                      : entry.bytes + "  " + entry.meaning));
    scheduleStep();
    emit changed();
}

void SimDisplay::scheduleStep() {
    if (!m_stepTimer)
        return;
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

void SimDisplay::setEmulation(Emulation emulation) {
    {
        QMutexLocker lock(&m_mutex);
        m_model.setEmulation(emulation);
    }
    log(QStringLiteral("Display"), QStringLiteral("Befehlssatz %1, Grundzustand")
                                       .arg(QString::fromStdString(emulationTitle(emulation))));
    scheduleStep();
    emit changed();
}

QString SimDisplay::recordTo(const QString &path) {
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QStringLiteral("Aufzeichnung %1 lässt sich nicht schreiben: %2")
            .arg(path, file->errorString());
    file->write(QByteArray::fromStdString(std::string(kRecordingHeader) + "\n"));
    file->flush();
    m_record = std::move(file);
    m_recordClock.start();
    return {};
}

QString SimDisplay::linkSerialTo(const QString &path) {
    if (m_serialPath.isEmpty())
        return QStringLiteral("Kein Pseudo-Terminal für --serial-link %1").arg(path);
    const std::string refusal = makeSerialLink(path.toStdString(), m_serialPath.toStdString());
    if (!refusal.empty())
        return QString::fromStdString(refusal);
    m_serialLink = path;
    return {};
}

void SimDisplay::log(const QString &source, const QString &text) {
    appendLog(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz")) +
              QStringLiteral("  ") + source.leftJustified(7) + QStringLiteral("  ") + text);
    emit changed();
}

namespace {
// How much log may wait for the window, in UTF-16 code units.
constexpr qint64 kPendingLogLimit = 32 * 1024;
} // namespace

void SimDisplay::appendLog(QString line) {
    QMutexLocker lock(&m_logMutex);
    m_pendingLogBytes += line.size();
    m_pendingLog.push_back(std::move(line));
    while (m_pendingLogBytes > kPendingLogLimit && m_pendingLog.size() > 1) {
        m_pendingLogBytes -= m_pendingLog.front().size();
        m_droppedLogBytes += m_pendingLog.front().size();
        m_pendingLog.pop_front();
    }
}

LogBatch SimDisplay::takeLog() {
    QMutexLocker lock(&m_logMutex);
    LogBatch batch{std::move(m_pendingLog), m_droppedLogBytes};
    m_pendingLog.clear();
    m_pendingLogBytes = 0;
    m_droppedLogBytes = 0;
    return batch;
}

QString SimDisplay::socketPath() const {
    return m_socketPath;
}

QString SimDisplay::serialPath() const {
    return m_serialPath;
}

Snapshot SimDisplay::snapshot() const {
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
    return snapshot;
}

} // namespace kd::sim
