#include "serial_link_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace kd::sim {
namespace {

std::string linkTarget(const std::string &link) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

} // namespace

std::string makeSerialLink(const std::string &link, const std::string &terminal) {
    struct stat info {};
    if (::lstat(link.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode))
            return "--serial-link: " + link + " ist schon vorhanden und kein Link";
        const std::string target = linkTarget(link);
        struct stat targetInfo {};
        const bool stale =
            target.rfind("/dev/pts/", 0) == 0 && ::stat(target.c_str(), &targetInfo) != 0;
        if (!stale)
            return "--serial-link: " + link + " führt schon nach " + target +
                   " und wird nicht ersetzt";
        ::unlink(link.c_str());
    }
    if (::symlink(terminal.c_str(), link.c_str()) != 0)
        return "--serial-link: " + link + " lässt sich nicht anlegen: " + std::strerror(errno);
    return {};
}

void removeSerialLink(const std::string &link, const std::string &terminal) {
    if (linkTarget(link) == terminal)
        ::unlink(link.c_str());
}

} // namespace kd::sim
