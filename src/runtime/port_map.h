#pragma once

#include "runtime/private_folder.h"

#include <optional>
#include <string>

namespace kd {

// The user's port map: a private folder whose entries COM1 ... COM20 are symbolic links to serial
// devices. An entry takes precedence over the fixed port table for its number. A program that
// enters itself (the virtual display) also writes COM<n>.owner, "<pid> <name>", and holds a lock on
// it for as long as it runs, so that the tool can name it and can tell an entry whose program has
// ended: nobody holds its lock. A process id alone would not tell, as ids are used again.
inline constexpr char kPortMapFolderName[] = "kundendisplay-ports";

Folder portMapFolder(bool create);

struct PortMapEntry {
    // Where the link points, as written in it.
    std::string target;
    // The program that entered itself, or empty for a link made by hand.
    std::string owner;
};

// The entry for a port number, when the folder has one that is a link and not left behind by a
// program that has ended. An owner file that is a link or no plain file makes the entry count for
// nothing.
std::optional<PortMapEntry> readPortMapEntry(const std::string &folder, int portNumber);

// Enters target as the port number, for the program of the given name, and holds the owner file's
// lock until leavePort or the end of the process. Refuses, with the reason, to replace anything but
// an entry left behind by a program that has ended, and never writes through a link.
std::string enterPort(const std::string &folder, int portNumber, const std::string &target,
                      const std::string &owner);

// Removes the entry, if it is still this process's own, and lets go of its lock.
void leavePort(const std::string &folder, int portNumber);

} // namespace kd
