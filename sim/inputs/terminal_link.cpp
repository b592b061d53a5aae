#include "inputs/terminal_link.h"

#include "runtime/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kd::sim {
namespace {

std::string linkTarget(const std::string &link) {
    return symbolicLinkTarget(link).value_or(std::string());
}

} // namespace

std::string makeTerminalLink(const std::string &link, const std::string &terminal) {
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

void removeTerminalLink(const std::string &link, const std::string &terminal) {
    if (linkTarget(link) == terminal)
        ::unlink(link.c_str());
}

} // namespace kd::sim
