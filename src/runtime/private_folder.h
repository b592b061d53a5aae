#pragma once

#include <optional>
#include <string>

namespace kd {

// A folder, or why none could be had.
struct Folder {
    std::string path;
    // Why the folder is refused or missing; empty on success.
    std::string error;
    // The folder is simply not there (nobody made one yet), as against refused.
    bool absent = false;
};

// Where a symbolic link points, as written in it; nothing when the path is no link.
std::optional<std::string> symbolicLinkTarget(const std::string &path);

// Why a folder may not hold the user's private files: it is missing, a link, not a folder, someone
// else's, or open to others (its mode is not 0700). An empty text when it may.
std::string privateFolderRefusal(const std::string &folder);

// The user's private folder for the virtual display's socket and the port map: $XDG_RUNTIME_DIR
// when that is set (it must be an absolute path to a folder of the user with mode 0700, or it is
// refused), otherwise /tmp/kundendisplay-<uid>, with the same checks. With create, the /tmp
// folder is made when missing.
Folder privateFolder(bool create);

// A folder of the given name inside the private folder, with the same checks; with create, it is
// made (mode 0700) when missing.
Folder privateSubfolder(const std::string &name, bool create);

} // namespace kd
