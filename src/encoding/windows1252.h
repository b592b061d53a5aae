#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kd {

// Display text is held as UTF-16; on the wire every character is one Windows-1252 byte. Shared by
// the tool and the virtual display, so it knows nothing of either: no errors, no Qt.

// The byte of one character, or nothing when Windows-1252 has no byte for it.
std::optional<std::uint8_t> windows1252Byte(char16_t character);

// The character a byte stands for (every byte has one; the five unassigned bytes stand for the C1
// control of the same value).
char16_t fromWindows1252(std::uint8_t byte);

// "U+20AC": how a character is named in messages.
std::string characterCode(char16_t character);

} // namespace kd
