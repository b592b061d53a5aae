#pragma once

#include <string>

namespace kd::sim {

// The virtual display greets an accepted client with this byte; a client it turns away is closed
// without it.
inline constexpr char kWelcome = 'K';

struct SocketPath {
    std::string path;
    // Why no safe path could be had; empty on success.
    std::string error;
};

// Where the virtual display listens and the stand-in USB library connects: the Unix-domain socket
// kundendisplay-sim.sock in the user's private folder ($XDG_RUNTIME_DIR, or
// /tmp/kundendisplay-<uid>), which only the user can reach.
// With createFolder, the /tmp folder is made when missing. A folder that is a link, belongs to
// someone else or is open to others is refused, never used, and so is a path too long for a socket.
SocketPath resolveSocketPath(bool createFolder);

} // namespace kd::sim
