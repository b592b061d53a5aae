#include "inputs/recorder.h"

#include "model/recording.h"

#include <QCoreApplication>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kd::sim {
namespace {

QString reasonFor(int error) {
    if (error == EAGAIN)
        return QCoreApplication::translate(
            "kd::sim::Recorder",
            "the file takes nothing more without waiting (is nobody reading it?)");
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

Recorder::~Recorder() {
    close();
}

QString Recorder::open(const QString &path) {
    const auto refusal = [&](const QString &reason) {
        return QCoreApplication::translate("kd::sim::Recorder",
                                           "--record: recording %1 cannot be written: %2")
            .arg(path, reason);
    };
    // Opening never waits, not even for the reader of a pipe; writes never wait either.
    m_fd = ::open(path.toLocal8Bit().constData(),
                  O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (m_fd < 0) {
        return refusal(errno == ENXIO
                           ? QCoreApplication::translate(
                                 "kd::sim::Recorder", "nobody reads at the other end of the pipe")
                           : reasonFor(errno));
    }
    if (!writeAll(std::string(kRecordingHeader) + "\n")) {
        const QString reason = reasonFor(errno);
        close();
        return refusal(reason);
    }
    m_path = path;
    m_clock.start();
    return {};
}

QString Recorder::write(const QString &source, const QByteArray &bytes) {
    if (m_fd < 0)
        return {};
    const auto ended = [&](const QString &reason) {
        close();
        return QCoreApplication::translate("kd::sim::Recorder", "--record: recording %1 ended: %2")
            .arg(m_path, reason);
    };
    const qint64 atMs = m_clock.elapsed();
    if (atMs > kLatestArrivalMs)
        return ended(QCoreApplication::translate("kd::sim::Recorder",
                                                 "it lasts longer than a recording can hold"));
    // Long arrivals go as several lines of the same time, so that a reader needs no more than a
    // line's worth of memory.
    qsizetype at = 0;
    do {
        const qsizetype count =
            std::min<qsizetype>(bytes.size() - at, static_cast<qsizetype>(kMostBytesPerLine));
        if (!writeAll(
                recordLine({atMs, source.toStdString(),
                            std::string(bytes.constData() + at, static_cast<std::size_t>(count))})))
            return ended(reasonFor(errno));
        at += count;
    } while (at < bytes.size());
    return {};
}

bool Recorder::writeAll(const std::string &text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const ssize_t count = ::write(m_fd, text.data() + at, text.size() - at);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        at += static_cast<std::size_t>(count);
    }
    return true;
}

void Recorder::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace kd::sim
