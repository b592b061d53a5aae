#pragma once

#include "encoding/line_settings.h"

#include <optional>

namespace kd::sim {

// The line settings a program set on a pseudo-terminal (speed, data bits, parity, stop bits), read
// from the terminal's other end, as a real display's wire would carry them. Nothing when the
// terminal's attributes cannot be read or its speed is not one a serial line has.
std::optional<LineSettings> terminalLine(int fd);

// Makes the terminal raw (no echo, no line editing, every byte as it is) with the line's speed and
// stop bits, so that a program that never sets a line finds the display's. Whether it could.
bool setTerminalLine(int fd, const LineSettings &line);

} // namespace kd::sim
