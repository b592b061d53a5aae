// The stand-in USB library: the display is the virtual customer display, reached over its socket.
#include "cd722dusb.h"

#include "runtime/sim_socket_path.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace {

// An open or a write that the display cannot take within this time fails, so that a display that
// has stopped reading (or hangs) never blocks the tool.
constexpr int kDeliveryTimeoutMs = 2000;
// After a display has let an open wait out its bound, the opens that follow fail at once for this
// long, so that a scan of 20 numbers waits for it once, not 20 times.
constexpr auto kQuietAfterNoAnswer = std::chrono::seconds(5);

int g_socket = -1;

using Clock = std::chrono::steady_clock;

// The socket of the display that did not answer, by its file's identity, so that a display started
// anew (a new socket file) is tried at once.
struct Unanswered {
    dev_t device = 0;
    ino_t inode = 0;
    timespec changed{};
    Clock::time_point until{};

    bool isThe(const struct stat &file) const {
        return file.st_dev == device && file.st_ino == inode &&
               file.st_ctim.tv_sec == changed.tv_sec && file.st_ctim.tv_nsec == changed.tv_nsec;
    }
};
Unanswered g_unanswered;

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

int remainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits until the socket is ready for the events or the deadline has passed.
bool waitFor(int fd, short events, Clock::time_point deadline) {
    while (true) {
        pollfd ready{fd, events, 0};
        const int result = ::poll(&ready, 1, remainingMs(deadline));
        if (result > 0)
            return (ready.revents & events) != 0;
        if (result == 0 || errno != EINTR)
            return false;
    }
}

bool connectToDisplay() {
    const kd::sim::SocketPath socketPath = kd::sim::resolveSocketPath(false);
    if (!socketPath.error.empty())
        return false;
    struct stat socketFile {};
    if (::stat(socketPath.path.c_str(), &socketFile) != 0)
        return false; // no display listens
    const Clock::time_point start = Clock::now();
    if (g_unanswered.isThe(socketFile) && start < g_unanswered.until)
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.path.c_str(), sizeof address.sun_path - 1);
    const Clock::time_point deadline = start + std::chrono::milliseconds(kDeliveryTimeoutMs);
    // A display whose backlog is full (it does not accept) makes the connect wait; the wait is
    // bounded like everything else.
    bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    if (!connected && (errno == EAGAIN || errno == EINPROGRESS) && waitFor(fd, POLLOUT, deadline)) {
        int error = 0;
        socklen_t length = sizeof error;
        connected = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    }
    char byte = 0;
    if (!connected || !waitFor(fd, POLLIN, deadline) || ::recv(fd, &byte, 1, 0) != 1 ||
        byte != kd::sim::kWelcome) {
        ::close(fd);
        if (Clock::now() >= deadline)
            g_unanswered = {socketFile.st_dev, socketFile.st_ino, socketFile.st_ctim,
                            Clock::now() + kQuietAfterNoAnswer};
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
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kDeliveryTimeoutMs);
    int32_t sent = 0;
    while (sent < count) {
        const ssize_t n = ::send(g_socket, first + sent, static_cast<size_t>(count - sent),
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<int32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // The display does not take the bytes in time (it stopped reading, or hangs): the
        // connection is dropped, so that the next open starts clean.
        if (n < 0 && errno == EAGAIN && waitFor(g_socket, POLLOUT, deadline))
            continue;
        disconnect();
        return -1;
    }
    return count;
}

int16_t closecd722usb(void) {
    disconnect();
    return 0;
}
}
