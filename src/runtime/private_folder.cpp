#include "runtime/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace kd {

std::optional<std::string> symbolicLinkTarget(const std::string &path) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
    if (length <= 0)
        return std::nullopt;
    return std::string(target, static_cast<std::size_t>(length));
}

std::string privateFolderRefusal(const std::string &folder) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0)
        return "Ordner " + folder + " fehlt: " + std::strerror(errno);
    if (S_ISLNK(info.st_mode))
        return "Ordner " + folder + " ist ein symbolischer Link";
    if (!S_ISDIR(info.st_mode))
        return folder + " ist kein Ordner";
    if (info.st_uid != ::getuid())
        return "Ordner " + folder + " gehört einem anderen Benutzer (UID " +
               std::to_string(info.st_uid) + ")";
    if ((info.st_mode & 07777) != 0700)
        return "Ordner " + folder + " hat die Rechte " + [&] {
            char mode[8];
            std::snprintf(mode, sizeof mode, "%04o", info.st_mode & 07777);
            return std::string(mode);
        }() + " statt 0700";
    return {};
}

namespace {

Folder checked(std::string folder, bool create) {
    if (create && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {{}, "Ordner " + folder + " lässt sich nicht anlegen: " + std::strerror(errno)};
    std::string refusal = privateFolderRefusal(folder);
    if (!refusal.empty())
        return {{}, std::move(refusal)};
    return {std::move(folder), {}};
}

} // namespace

Folder privateFolder(bool create) {
    if (const char *runtimeDir = std::getenv("XDG_RUNTIME_DIR"); runtimeDir && *runtimeDir) {
        if (runtimeDir[0] != '/')
            return {{},
                    std::string("XDG_RUNTIME_DIR \"") + runtimeDir + "\" ist kein absoluter Pfad"};
        Folder folder = checked(runtimeDir, false);
        if (!folder.error.empty())
            folder.error = "XDG_RUNTIME_DIR abgelehnt: " + folder.error;
        return folder;
    }
    return checked("/tmp/kundendisplay-" + std::to_string(::getuid()), create);
}

Folder privateSubfolder(const std::string &name, bool create) {
    Folder parent = privateFolder(create);
    if (!parent.error.empty())
        return parent;
    return checked(parent.path + '/' + name, create);
}

} // namespace kd
