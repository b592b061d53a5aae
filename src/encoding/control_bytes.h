#pragma once

#include <cstdint>

namespace kd {

// The control bytes of the display's basic command set, as the tool sends them and the virtual
// display reads them.
inline constexpr std::uint8_t kFormFeed = 0x0C;       // clear the display, cursor home
inline constexpr std::uint8_t kCarriageReturn = 0x0D; // cursor to the start of the line
inline constexpr std::uint8_t kLineFeed = 0x0A;       // cursor down a line

// A frame: STX ENQ <command> ... ETX.
inline constexpr std::uint8_t kStartOfText = 0x02;
inline constexpr std::uint8_t kEnquiry = 0x05;
inline constexpr std::uint8_t kEndOfText = 0x03;

} // namespace kd
