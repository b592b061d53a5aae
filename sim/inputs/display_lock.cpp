#include "inputs/display_lock.h"

#include <QCoreApplication>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kd::sim {
namespace {

// Opens the lock file without following a link at its place (a link would let someone else choose
// which file the display creates or locks): an existing file as it is, a new one exclusively.
int openLockFile(const std::string &path) {
    constexpr int kFlags = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(path.c_str(), kFlags);
        if (fd >= 0 || errno != ENOENT)
            return fd;
        const int created = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0600);
        if (created >= 0 || errno != EEXIST)
            return created;
    }
    return -1;
}

std::string say(const char *text) {
    return QCoreApplication::translate("kd::sim::DisplayLock", text).toStdString();
}

} // namespace

DisplayLock::~DisplayLock() {
    if (m_fd >= 0)
        ::close(m_fd);
}

DisplayLock::Result DisplayLock::take(const std::string &folder) {
    const std::string path = folder + "/kundendisplay-sim.lock";
    const auto refuse = [&](const std::string &reason) {
        m_error =
            QCoreApplication::translate("kd::sim::DisplayLock", "Lock %1 cannot be created: %2")
                .arg(QString::fromStdString(path), QString::fromStdString(reason))
                .toStdString();
        return Result::Refused;
    };
    const int fd = openLockFile(path);
    if (fd < 0) {
        return refuse(errno == ELOOP
                          ? say(QT_TRANSLATE_NOOP("kd::sim::DisplayLock",
                                                  "it is a symbolic link and is not used"))
                          : std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::getuid()) {
        ::close(fd);
        return refuse(
            say(QT_TRANSLATE_NOOP("kd::sim::DisplayLock", "it is not a regular file of the user")));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        m_error = QCoreApplication::translate("kd::sim::DisplayLock",
                                              "A virtual display is already running (lock %1)")
                      .arg(QString::fromStdString(path))
                      .toStdString();
        return Result::HeldByAnother;
    }
    m_fd = fd;
    m_error.clear();
    return Result::Held;
}

} // namespace kd::sim
