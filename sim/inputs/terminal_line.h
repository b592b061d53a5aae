#pragma once

#include "encoding/line_settings.h"

#include <optional>

namespace kd::sim {

// The line settings a program set on a pseudo-terminal (speed, data bits, parity, stop bits), read
// from the terminal's other end, as a real display's wire would carry them. Nothing when the
// terminal's attributes cannot be read or its speed is not one a serial line has.
std::optional<LineSettings> terminalLine(int fd);

} // namespace kd::sim
