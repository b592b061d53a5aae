#include "sim_socket_path.h"

#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kd::sim {
namespace {

SocketPath checked(std::string path) {
    if (path.size() >= sizeof(sockaddr_un{}.sun_path))
        return {{}, "Socket-Pfad zu lang: " + path};
    return {std::move(path), {}};
}

} // namespace

SocketPath resolveSocketPath(bool createFolder) {
    const char *runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    if (runtimeDir && runtimeDir[0] == '/')
        return checked(std::string(runtimeDir) + "/kundendisplay-sim.sock");

    const uid_t uid = ::getuid();
    const std::string folder = "/tmp/kundendisplay-" + std::to_string(uid);
    if (createFolder && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {{}, "Ordner " + folder + " lässt sich nicht anlegen: " + std::strerror(errno)};
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0)
        return {{}, "Ordner " + folder + " fehlt: " + std::strerror(errno)};
    if (!S_ISDIR(info.st_mode))
        return {{}, "Ordner " + folder + " ist kein Ordner (oder ein Link)"};
    if (info.st_uid != uid)
        return {{}, "Ordner " + folder + " gehört einem anderen Benutzer"};
    if ((info.st_mode & 077) != 0)
        return {{}, "Ordner " + folder + " ist für andere zugänglich (Rechte nicht 0700)"};
    return checked(folder + "/sim.sock");
}

} // namespace kd::sim
