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

// The bytes that start the multi-byte commands of the customer displays' command sets.
inline constexpr std::uint8_t kEscape = 0x1B;
inline constexpr std::uint8_t kUnitSeparator = 0x1F;  // US: the Epson display commands
inline constexpr std::uint8_t kDataLinkEscape = 0x10; // DLE: Epson real-time commands

} // namespace kd
