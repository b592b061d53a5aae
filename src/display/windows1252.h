#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kd {

// Display text is held as UTF-16; on the wire every character is one Windows-1252 byte.

// The byte of one character; a character that Windows-1252 cannot hold raises an overflow error.
std::uint8_t toWindows1252(char16_t character);

// The bytes of a whole text, or an overflow error for the first character that has no byte.
std::string toWindows1252(std::u16string_view text);

// The character a byte stands for (every byte has one).
char16_t fromWindows1252(std::uint8_t byte);

} // namespace kd
