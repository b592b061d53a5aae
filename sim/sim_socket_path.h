#pragma once

#include <string>

namespace kd::sim {

// Where the virtual display listens and the stand-in USB library connects: a Unix-domain socket
// in a folder that only the user can reach. $XDG_RUNTIME_DIR/kundendisplay-sim.sock when that is
// set and absolute, otherwise /tmp/kundendisplay-<uid>/sim.sock in a folder of mode 0700 that the
// user owns.
// The virtual display greets an accepted client with this byte; a client it turns away is closed
// without it.
inline constexpr char kWelcome = 'K';

struct SocketPath {
    std::string path;
    // Why no safe path could be had; empty on success.
    std::string error;
};

// With createFolder, the /tmp folder is made when missing. An existing folder that is a link,
// belongs to someone else or is open to others is refused, never used.
SocketPath resolveSocketPath(bool createFolder);

} // namespace kd::sim
