#include "inputs/replay.h"

#include <QCoreApplication>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kd::sim {
namespace {

// Arrivals delivered in one step at most, so that a recording that is due all at once still
// leaves the thread to the other inputs in between.
constexpr int kArrivalsPerStep = 256;

QString systemReason() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString kindOf(mode_t mode) {
    if (S_ISFIFO(mode))
        return QCoreApplication::translate("kd::sim::Replay", "a pipe");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QCoreApplication::translate("kd::sim::Replay", "a device");
    if (S_ISSOCK(mode))
        return QCoreApplication::translate("kd::sim::Replay", "a socket");
    if (S_ISDIR(mode))
        return QCoreApplication::translate("kd::sim::Replay", "a folder");
    return QCoreApplication::translate("kd::sim::Replay", "no file");
}

} // namespace

Replay::Replay(Deliver deliver, Report report, QObject *parent)
    : QObject(parent), m_deliver(std::move(deliver)), m_report(std::move(report)),
      m_timer(new QTimer(this)) {
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &Replay::play);
}

Replay::~Replay() {
    close();
}

QString Replay::start(const QString &path, Language language) {
    const auto refusal = [&](const QString &reason) {
        return QCoreApplication::translate("kd::sim::Replay",
                                           "--replay: recording %1 cannot be played: %2")
            .arg(path, reason);
    };
    // Opening never waits, not even for the writer of a pipe.
    m_fd = ::open(path.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0)
        return refusal(systemReason());
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) {
        const QString reason = systemReason();
        close();
        return refusal(reason);
    }
    if (!S_ISREG(info.st_mode)) {
        close();
        return refusal(
            QCoreApplication::translate("kd::sim::Replay", "it is not a regular file but %1")
                .arg(kindOf(info.st_mode)));
    }
    m_path = path;
    m_reader.emplace(
        [fd = m_fd](char *buffer, std::size_t size) {
            return static_cast<std::ptrdiff_t>(::read(fd, buffer, size));
        },
        language);
    m_next = m_reader->next();
    if (!m_next && !m_reader->error().empty()) {
        const QString reason = QString::fromStdString(m_reader->error());
        close();
        return refusal(reason);
    }
    m_clock.start();
    m_timer->start(0);
    return {};
}

void Replay::play() {
    for (int delivered = 0; m_next && delivered < kArrivalsPerStep; ++delivered) {
        if (m_next->atMs > m_clock.elapsed())
            break;
        m_deliver(QString::fromStdString(m_next->source), QByteArray::fromStdString(m_next->bytes));
        m_next = m_reader->next();
    }
    if (m_next) {
        m_timer->start(static_cast<int>(std::max<qint64>(0, m_next->atMs - m_clock.elapsed())));
        return;
    }
    if (!m_reader->error().empty())
        m_report(QCoreApplication::translate("kd::sim::Replay", "--replay: playing %1 stopped: %2")
                     .arg(m_path, QString::fromStdString(m_reader->error())));
    close();
}

void Replay::close() {
    m_timer->stop();
    m_reader.reset();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace kd::sim
