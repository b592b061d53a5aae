#include "sim_display.h"

#include "runtime/port_map.h"
#include "sim_socket_path.h"

#include <QDateTime>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <stdlib.h>
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

SimDisplay::SimDisplay(int comPort, QObject *parent) : QObject(parent), m_comPort(comPort) {}

SimDisplay::~SimDisplay() {
    stop();
}

QString SimDisplay::start() {
    m_stepTimer = new QTimer(this);
    connect(m_stepTimer, &QTimer::timeout, this, [this] {
        {
            QMutexLocker lock(&m_mutex);
            m_model.step();
        }
        emit changed();
    });
    scheduleStep();
    QStringList problems;
    for (const QString &problem : {startSocket(), startSerial(), enterPortMap()}) {
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

    // A socket file left by a display that is no longer running is removed; a running one is
    // not disturbed.
    QLocalSocket probe;
    probe.connectToServer(m_socketPath);
    if (probe.waitForConnected(200))
        return QStringLiteral("Ein virtuelles Display läuft bereits an ") + m_socketPath;
    QLocalServer::removeServer(m_socketPath);

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketPath))
        return QStringLiteral("Socket ") + m_socketPath +
               QStringLiteral(" lässt sich nicht öffnen: ") + m_server->errorString();
    connect(m_server, &QLocalServer::newConnection, this, &SimDisplay::acceptClient);
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
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
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
    for (int *fd : {&m_slave, &m_master}) {
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
        connect(socket, &QLocalSocket::readyRead, this,
                [this, socket] { receive(kUsbSource, socket->readAll()); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            if (m_client == socket)
                m_client = nullptr;
            log(kUsbSource, QStringLiteral("getrennt"));
            socket->deleteLater();
        });
        socket->write(&kWelcome, 1);
        socket->flush();
    }
}

void SimDisplay::readSerial() {
    char buffer[4096];
    const ssize_t count = ::read(m_master, buffer, sizeof buffer);
    if (count > 0)
        receive(kSerialSource, QByteArray(buffer, static_cast<qsizetype>(count)));
}

void SimDisplay::receive(const QString &source, const QByteArray &bytes) {
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    std::vector<std::string> notices;
    int stepMs = 0;
    {
        QMutexLocker lock(&m_mutex);
        m_model.feed(view);
        notices = m_model.takeNotices();
        stepMs = m_model.stepMs();
    }
    m_receivedBytes += bytes.size();
    log(source, QString::fromStdString(hexBytes(view)) + QStringLiteral("  |") +
                    QString::fromStdString(printableBytes(view)) + QStringLiteral("|"));
    for (const std::string &notice : notices)
        log(source, QString::fromStdString(notice));
    if (m_stepTimer && m_stepTimer->interval() != stepMs)
        scheduleStep();
    emit changed();
}

void SimDisplay::scheduleStep() {
    QMutexLocker lock(&m_mutex);
    m_stepTimer->start(m_model.stepMs());
}

void SimDisplay::log(const QString &source, const QString &text) {
    emit logged(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz")) +
                QStringLiteral("  ") + source.leftJustified(7) + QStringLiteral("  ") + text);
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
    for (int row = 0; row < DisplayModel::kRows; ++row) {
        snapshot.lines[static_cast<std::size_t>(row)] = m_model.line(row);
        snapshot.runningText[static_cast<std::size_t>(row)] = m_model.runningText(row);
    }
    snapshot.cursorRow = m_model.cursorRow();
    snapshot.cursorColumn = m_model.cursorColumn();
    snapshot.stepMs = m_model.stepMs();
    return snapshot;
}

} // namespace kd::sim
