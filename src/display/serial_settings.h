#pragma once

#include "encoding/line_settings.h"

#include <string>
#include <string_view>

namespace kd {

// Parses "baud,parity,data,stop": a standard baud rate, parity N/E/O/M/S in either case, 5 to 8
// data bits, stop bits 1, 1.5 or 2. Anything else raises an invalid-property-value error that
// names the bad field.
LineSettings parseSettings(std::string_view text);

// The settings in their canonical text form, e.g. "9600,N,8,1".
std::string formatSettings(const LineSettings &settings);

} // namespace kd
