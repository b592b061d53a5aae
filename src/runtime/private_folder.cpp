#include "runtime/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>

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

// Whether the bytes are UTF-8 as Qt and the desktop read file names: no stray continuation bytes,
// no overlong forms, no surrogates, nothing past U+10FFFF.
bool validUtf8(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t length = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            ++at;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (at + length > text.size())
            return false;
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) ||
            (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        at += length;
    }
    return true;
}

Folder checked(std::string folder, bool create) {
    if (create && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {{}, "Ordner " + folder + " lässt sich nicht anlegen: " + std::strerror(errno)};
    std::string refusal = privateFolderRefusal(folder);
    if (!refusal.empty()) {
        struct stat info {};
        const bool absent = ::lstat(folder.c_str(), &info) != 0 && errno == ENOENT;
        return {{}, std::move(refusal), absent};
    }
    return {std::move(folder), {}};
}

} // namespace

Folder privateFolder(bool create) {
    if (const char *runtimeDir = std::getenv("XDG_RUNTIME_DIR"); runtimeDir && *runtimeDir) {
        if (runtimeDir[0] != '/')
            return {{},
                    std::string("XDG_RUNTIME_DIR \"") + runtimeDir + "\" ist kein absoluter Pfad"};
        // The virtual display listens through Qt, which holds paths as Unicode text: a name that
        // is not UTF-8 would come out as another folder than the one the stand-in library opens.
        if (!validUtf8(runtimeDir))
            return {{},
                    std::string("XDG_RUNTIME_DIR abgelehnt: der Pfad ") + runtimeDir +
                        " ist kein gültiges UTF-8"};
        Folder folder = checked(runtimeDir, false);
        if (!folder.error.empty())
            return {{}, "XDG_RUNTIME_DIR abgelehnt: " + folder.error}; // set, so meant to be there
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
