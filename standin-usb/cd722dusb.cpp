// The stand-in USB library: the display is the virtual customer display, reached over its socket.
#include "cd722dusb.h"

#include "sim_socket_path.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr int kWelcomeTimeoutMs = 1000;

int g_socket = -1;

void disconnect() {
    if (g_socket >= 0)
        ::close(g_socket);
    g_socket = -1;
}

// Whether the connection still has a display at its other end.
bool alive() {
    if (g_socket < 0)
        return false;
    pollfd fd{g_socket, POLLIN, 0};
    if (::poll(&fd, 1, 0) == 0)
        return true;
    char byte;
    return (fd.revents & (POLLHUP | POLLERR)) == 0 &&
           ::recv(g_socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT) > 0;
}

bool connectToDisplay() {
    const kd::sim::SocketPath socketPath = kd::sim::resolveSocketPath(false);
    if (!socketPath.error.empty())
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.path.c_str(), sizeof address.sun_path - 1);
    pollfd welcome{fd, POLLIN, 0};
    char byte = 0;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
        ::poll(&welcome, 1, kWelcomeTimeoutMs) <= 0 || ::recv(fd, &byte, 1, 0) != 1 ||
        byte != kd::sim::kWelcome) {
        ::close(fd);
        return false;
    }
    g_socket = fd;
    return true;
}

} // namespace

extern "C" {

uint8_t opencd722usb(void) {
    if (alive())
        return 1;
    disconnect();
    return connectToDisplay() ? 1 : 0;
}

int32_t writecd722usb(const uint8_t *first, int32_t count) {
    if (g_socket < 0 || count < 0 || (count > 0 && first == nullptr))
        return -1;
    int32_t sent = 0;
    while (sent < count) {
        const ssize_t n =
            ::send(g_socket, first + sent, static_cast<size_t>(count - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            disconnect();
            return -1;
        }
        sent += static_cast<int32_t>(n);
    }
    return count;
}

int16_t closecd722usb(void) {
    disconnect();
    return 0;
}
}
