#include "runtime/sim_socket_path.h"

#include "runtime/private_folder.h"

#include <sys/un.h>

namespace kd::sim {

SocketPath resolveSocketPath(bool createFolder) {
    const Folder folder = privateFolder(createFolder);
    if (!folder.error.empty())
        return {{}, folder.error};
    std::string path = folder.path + "/kundendisplay-sim.sock";
    if (path.size() >= sizeof(sockaddr_un{}.sun_path))
        return {{},
                "Socket-Pfad zu lang (" + std::to_string(path.size()) + " Zeichen, höchstens " +
                    std::to_string(sizeof(sockaddr_un{}.sun_path) - 1) + "): " + path};
    return {std::move(path), {}};
}

} // namespace kd::sim
