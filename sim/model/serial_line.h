#pragma once

#include "encoding/line_settings.h"
#include "model/emulation/interpreter.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kd::sim {

// What the display's receiver reads when a sender puts bytes on the wire with line settings that
// may differ from the display's own: the sender's bytes become the bit stream it sends (start bit,
// data bits least significant first, parity, stop bits, at its speed), and the display samples that
// stream at its speed and format, as a UART does. The same bytes always give the same result.
struct ReceivedBytes {
    // The bytes the display read without error, in order: what goes to its command set.
    std::string bytes;
    // Characters read with a low stop bit, and with a wrong parity bit; both are dropped.
    std::uint64_t framingErrors = 0;
    std::uint64_t parityErrors = 0;
};

// The line a display of the command set has when it leaves the factory.
LineSettings usualLine(Emulation emulation);

// One arrival: its bytes go out back to back, the line is idle before and after them.
ReceivedBytes receiveOverLine(std::string_view sent, const LineSettings &sender,
                              const LineSettings &display);

} // namespace kd::sim
