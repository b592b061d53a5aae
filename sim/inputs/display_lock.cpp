#include "inputs/display_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kd::sim {
namespace {

int openLockFile(const std::string &path) {
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

} // namespace

DisplayLock::~DisplayLock() {
    if (m_fd >= 0)
        ::close(m_fd);
}

DisplayLock::Result DisplayLock::take(const std::string &folder) {
    const std::string path = folder + "/kundendisplay-sim.lock";
    const auto refuse = [&](const std::string &reason) {
        m_error = "Sperre " + path + " lässt sich nicht anlegen: " + reason;
        return Result::Refused;
    };
    const int fd = openLockFile(path);
    if (fd < 0)
        return refuse(std::strerror(errno));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        m_error = "Ein virtuelles Display läuft bereits (Sperre " + path + ")";
        return Result::HeldByAnother;
    }
    m_fd = fd;
    m_error.clear();
    return Result::Held;
}

} // namespace kd::sim
