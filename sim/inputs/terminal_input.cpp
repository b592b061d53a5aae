#include "inputs/terminal_input.h"

#include "inputs/terminal_line.h"

#include <QCoreApplication>
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

// How long the display waits before it looks again at a terminal with no other end.
constexpr int kRetryMs = 100;

} // namespace

TerminalInput::TerminalInput(Deliver deliver, QObject *parent)
    : QObject(parent), m_deliver(std::move(deliver)), m_retryTimer(new QTimer(this)) {
    m_retryTimer->setSingleShot(true);
    m_retryTimer->setInterval(kRetryMs);
    connect(m_retryTimer, &QTimer::timeout, this, [this] { m_notifier->setEnabled(true); });
}

TerminalInput::~TerminalInput() {
    // The notifier must go before the descriptor it watches.
    if (m_notifier)
        m_notifier->setEnabled(false);
    for (int fd : {m_slave, m_master}) {
        if (fd >= 0)
            ::close(fd);
    }
}

QString TerminalInput::open(bool holdOpen, const LineSettings &line) {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
        ::ptsname_r(m_master, name, sizeof name) != 0)
        return QCoreApplication::translate("kd::sim::TerminalInput",
                                           "Pseudo-terminal cannot be created: ") +
               QString::fromLocal8Bit(std::strerror(errno));
    // Holding the other end open keeps the terminal alive between clients.
    m_slave = holdOpen ? ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
    // The master shares its terminal's attributes, whether or not the other end is open.
    setTerminalLine(m_master, line);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_path = QString::fromLocal8Bit(name);
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminalInput::readTerminal);
    return {};
}

std::optional<LineSettings> TerminalInput::senderLine() const {
    return terminalLine(m_master);
}

qint64 TerminalInput::answer(const QByteArray &bytes) {
    qint64 sent = 0;
    while (m_master >= 0 && sent < bytes.size()) {
        const ssize_t count = ::write(m_master, bytes.constData() + sent,
                                      static_cast<std::size_t>(bytes.size() - sent));
        if (count > 0)
            sent += count;
        else if (count < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    return sent;
}

void TerminalInput::readTerminal() {
    ++m_wakeups;
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    const ssize_t count = ::read(m_master, buffer.data(), static_cast<std::size_t>(buffer.size()));
    if (count > 0) {
        buffer.truncate(static_cast<qsizetype>(count));
        // The source names the input in the log, in the user's language.
        m_deliver(QCoreApplication::translate("kd::sim::TerminalInput", "Serial"), buffer);
        return;
    }
    if (count < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    // No program has the terminal's other end open (the display could not hold it open itself):
    // the master reports that at once on every wake-up. Rather than spin, the display looks again
    // a little later.
    m_notifier->setEnabled(false);
    m_retryTimer->start();
}

} // namespace kd::sim
