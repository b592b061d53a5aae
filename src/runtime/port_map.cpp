#include "runtime/port_map.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace kd {
namespace {

std::string entryPath(const std::string &folder, int portNumber) {
    return folder + "/COM" + std::to_string(portNumber);
}

struct Owner {
    long pid = 0;
    std::string name;
};

std::optional<Owner> readOwner(const std::string &entry) {
    std::ifstream file(entry + ".owner");
    Owner owner;
    if (!(file >> owner.pid))
        return std::nullopt;
    std::getline(file >> std::ws, owner.name);
    return owner;
}

bool alive(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
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
    PortMapEntry result{*target, {}};
    if (const std::optional<Owner> owner = readOwner(entry)) {
        if (!alive(owner->pid))
            return std::nullopt; // left behind by a program that has ended
        result.owner = owner->name;
    }
    return result;
}

std::string enterPort(const std::string &folder, int portNumber, const std::string &target,
                      const std::string &owner) {
    const std::string entry = entryPath(folder, portNumber);
    struct stat info {};
    if (::lstat(entry.c_str(), &info) == 0) {
        const std::optional<Owner> previous = readOwner(entry);
        if (!S_ISLNK(info.st_mode) || !previous || alive(previous->pid))
            return "Portzuordnung " + entry + " ist schon vergeben" +
                   (previous && alive(previous->pid)
                        ? " (" + previous->name + ", PID " + std::to_string(previous->pid) + ")"
                        : std::string());
        ::unlink(entry.c_str());
    }
    // The owner file first: a link without one would read as made by hand.
    const std::string ownerPath = entry + ".owner";
    {
        std::ofstream file(ownerPath, std::ios::trunc);
        file << ::getpid() << ' ' << owner << '\n';
        if (!file)
            return "Portzuordnung " + ownerPath + " lässt sich nicht schreiben";
    }
    if (::symlink(target.c_str(), entry.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(ownerPath.c_str());
        return "Portzuordnung " + entry + " lässt sich nicht anlegen: " + reason;
    }
    return {};
}

void leavePort(const std::string &folder, int portNumber) {
    const std::string entry = entryPath(folder, portNumber);
    const std::optional<Owner> owner = readOwner(entry);
    if (!owner || owner->pid != ::getpid())
        return;
    ::unlink(entry.c_str());
    ::unlink((entry + ".owner").c_str());
}

} // namespace kd
