#include "support/pseudo_terminal.h"

#include "encoding/hex.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>

namespace kd::test {

PseudoTerminal::PseudoTerminal() {
    char name[256] = {};
    struct termios raw {};
    cfmakeraw(&raw);
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    m_path = name;
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

PseudoTerminal::~PseudoTerminal() {
    closeMaster();
    if (m_slave >= 0)
        ::close(m_slave);
}

std::string PseudoTerminal::read(int waitMs) {
    std::string bytes;
    int wait = waitMs;
    while (m_master >= 0) {
        pollfd fd{m_master, POLLIN, 0};
        if (::poll(&fd, 1, wait) <= 0 || !(fd.revents & POLLIN))
            break;
        char buffer[4096];
        const ssize_t count = ::read(m_master, buffer, sizeof buffer);
        if (count <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(count));
        wait = 30;
    }
    return bytes;
}

std::string PseudoTerminal::readExactly(std::size_t count, int timeoutMs) {
    std::string bytes;
    while (m_master >= 0 && bytes.size() < count) {
        pollfd fd{m_master, POLLIN, 0};
        if (::poll(&fd, 1, timeoutMs) <= 0 || !(fd.revents & POLLIN))
            break;
        char buffer[4096];
        const ssize_t n = ::read(m_master, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (n <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

void PseudoTerminal::closeMaster() {
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

std::string hex(const std::string &bytes) {
    return hexBytes(bytes);
}

} // namespace kd::test
