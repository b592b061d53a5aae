#include "inputs/terminal_line.h"

#include <termios.h>

#include <array>
#include <utility>

namespace kd::sim {
namespace {

constexpr std::array<std::pair<speed_t, int>, 18> kSpeeds = {{
    {B50, 50},
    {B75, 75},
    {B110, 110},
    {B134, 134},
    {B150, 150},
    {B200, 200},
    {B300, 300},
    {B600, 600},
    {B1200, 1200},
    {B1800, 1800},
    {B2400, 2400},
    {B4800, 4800},
    {B9600, 9600},
    {B19200, 19200},
    {B38400, 38400},
    {B57600, 57600},
    {B115200, 115200},
    {B230400, 230400},
}};

} // namespace

bool setTerminalLine(int fd, const LineSettings &line) {
    termios attributes{};
    if (::tcgetattr(fd, &attributes) != 0)
        return false;
    ::cfmakeraw(&attributes);
    for (const auto &[code, baud] : kSpeeds)
        if (baud == line.baudRate)
            ::cfsetspeed(&attributes, code);
    attributes.c_cflag &= ~CSTOPB;
    if (line.stopBits != StopBits::One)
        attributes.c_cflag |= CSTOPB;
    return ::tcsetattr(fd, TCSANOW, &attributes) == 0;
}

std::optional<LineSettings> terminalLine(int fd) {
    termios attributes{};
    if (::tcgetattr(fd, &attributes) != 0)
        return std::nullopt;
    const speed_t speed = ::cfgetospeed(&attributes);
    LineSettings line;
    line.baudRate = 0;
    for (const auto &[code, baud] : kSpeeds)
        if (code == speed)
            line.baudRate = baud;
    if (line.baudRate == 0)
        return std::nullopt;
    switch (attributes.c_cflag & CSIZE) {
    case CS5: line.dataBits = 5; break;
    case CS6: line.dataBits = 6; break;
    case CS7: line.dataBits = 7; break;
    default: line.dataBits = 8; break;
    }
    if (attributes.c_cflag & PARENB) {
        const bool odd = attributes.c_cflag & PARODD;
        if (attributes.c_cflag & CMSPAR)
            line.parity = odd ? Parity::Mark : Parity::Space;
        else
            line.parity = odd ? Parity::Odd : Parity::Even;
    }
    // Two stop bits with five data bits are one and a half on a real UART.
    if (attributes.c_cflag & CSTOPB)
        line.stopBits = line.dataBits == 5 ? StopBits::OneAndHalf : StopBits::Two;
    return line;
}

} // namespace kd::sim
