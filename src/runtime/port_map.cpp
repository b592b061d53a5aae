#include "runtime/port_map.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <map>
#include <mutex>

namespace kd {
namespace {

std::string entryPath(const std::string &folder, int portNumber) {
    return folder + "/COM" + std::to_string(portNumber);
}

struct Owner {
    long pid = 0;
    std::string name;
};

// The owner files this process has entered, each held open with its lock for as long as the
// entry stands. The lock goes with the process however it ends, so that an entry whose program has
// ended is told by its lock, not by a process id that another program may have taken since.
std::mutex g_heldMutex;
std::map<std::string, int> g_held;

// "<pid> <name>" as written by enterPort.
std::optional<Owner> parseOwner(const std::string &text) {
    Owner owner;
    const char *end = text.data() + text.size();
    const auto [space, error] = std::from_chars(text.data(), end, owner.pid);
    if (error != std::errc() || owner.pid <= 0 || space == end || *space != ' ')
        return std::nullopt;
    owner.name = std::string(space + 1, end);
    while (!owner.name.empty() && owner.name.back() == '\n')
        owner.name.pop_back();
    return owner;
}

// What a look at an owner file tells.
enum class OwnerState {
    None,       // no owner file: a link made by hand
    Held,       // its program runs and holds the lock
    LeftBehind, // nobody holds it: its program has ended
    Unusable,   // a link, not a plain file, or unreadable: never trusted, never written through
};

struct OwnerLook {
    OwnerState state = OwnerState::None;
    Owner owner;
    // Why the file is unusable.
    std::string reason;
};

OwnerLook lookAtOwner(const std::string &ownerPath) {
    const int fd = ::open(ownerPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return {};
        const int error = errno;
        return {OwnerState::Unusable,
                {},
                error == ELOOP ? std::string("ist ein symbolischer Link")
                               : std::string("lässt sich nicht lesen: ") + std::strerror(error)};
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return {OwnerState::Unusable, {}, "ist keine gewöhnliche Datei"};
    }
    // A shared lock is had only when nobody holds the owner's exclusive one.
    const bool unlocked = ::flock(fd, LOCK_SH | LOCK_NB) == 0;
    const int lockError = errno;
    char text[256];
    const ssize_t length = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (unlocked)
        return {OwnerState::LeftBehind, {}, {}};
    if (lockError != EWOULDBLOCK)
        return {OwnerState::Unusable, {}, std::string("Sperre: ") + std::strerror(lockError)};
    // The owner may be writing it still; its name is what the file says when it says one.
    const std::optional<Owner> owner =
        length > 0 ? parseOwner(std::string(text, static_cast<std::size_t>(length))) : std::nullopt;
    return {OwnerState::Held, owner.value_or(Owner{}), {}};
}

} // namespace

Folder portMapFolder(bool create) {
    return privateSubfolder(kPortMapFolderName, create);
}

std::optional<PortMapEntry> readPortMapEntry(const std::string &folder, int portNumber) {
    const std::string entry = entryPath(folder, portNumber);
    const std::optional<std::string> target = symbolicLinkTarget(entry);
    if (!target)
        return std::nullopt;
    const OwnerLook look = lookAtOwner(entry + ".owner");
    switch (look.state) {
    case OwnerState::None: return PortMapEntry{*target, {}};
    case OwnerState::Held:
        return PortMapEntry{*target,
                            look.owner.name.empty() ? std::string("Programm") : look.owner.name};
    case OwnerState::LeftBehind:
    case OwnerState::Unusable: break;
    }
    return std::nullopt;
}

std::string enterPort(const std::string &folder, int portNumber, const std::string &target,
                      const std::string &owner) {
    const std::string entry = entryPath(folder, portNumber);
    const std::string ownerPath = entry + ".owner";
    const OwnerLook look = lookAtOwner(ownerPath);
    if (look.state == OwnerState::Unusable)
        return "Portzuordnung " + ownerPath + " " + look.reason + "; sie wird nicht angetastet";
    if (look.state == OwnerState::Held)
        return "Portzuordnung " + entry + " ist schon vergeben (" + look.owner.name + ", PID " +
               std::to_string(look.owner.pid) + ")";
    struct stat info {};
    const bool entryExists = ::lstat(entry.c_str(), &info) == 0;
    if (entryExists && (!S_ISLNK(info.st_mode) || look.state == OwnerState::None))
        return "Portzuordnung " + entry + " ist schon vergeben";
    // Left behind by a program that has ended: its link and its owner file go.
    if (look.state == OwnerState::LeftBehind) {
        ::unlink(entry.c_str());
        ::unlink(ownerPath.c_str());
    }

    // The owner file first, new and never through a link: an entry without one would read as
    // made by hand.
    const int fd =
        ::open(ownerPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return "Portzuordnung " + ownerPath + " lässt sich nicht anlegen: " + std::strerror(errno);
    const std::string text = std::to_string(::getpid()) + ' ' + owner + '\n';
    // Blocking: a reader holds its shared lock only for the moment it looks.
    if (::flock(fd, LOCK_EX) != 0 ||
        ::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        const std::string reason = std::strerror(errno);
        ::unlink(ownerPath.c_str());
        ::close(fd);
        return "Portzuordnung " + ownerPath + " lässt sich nicht schreiben: " + reason;
    }
    if (::symlink(target.c_str(), entry.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(ownerPath.c_str());
        ::close(fd);
        return "Portzuordnung " + entry + " lässt sich nicht anlegen: " + reason;
    }
    const std::lock_guard lock(g_heldMutex);
    g_held[ownerPath] = fd;
    return {};
}

void leavePort(const std::string &folder, int portNumber) {
    const std::string entry = entryPath(folder, portNumber);
    const std::string ownerPath = entry + ".owner";
    int fd = -1;
    {
        const std::lock_guard lock(g_heldMutex);
        const auto held = g_held.find(ownerPath);
        if (held == g_held.end())
            return;
        fd = held->second;
        g_held.erase(held);
    }
    // Only while the file there is still the one this process holds.
    struct stat heldFile {};
    struct stat there {};
    if (::fstat(fd, &heldFile) == 0 && ::lstat(ownerPath.c_str(), &there) == 0 &&
        heldFile.st_dev == there.st_dev && heldFile.st_ino == there.st_ino) {
        ::unlink(entry.c_str());
        ::unlink(ownerPath.c_str());
    }
    ::close(fd);
}

} // namespace kd
