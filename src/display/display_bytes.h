#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kd {

// The display bytes of the tool's texts, one Windows-1252 byte a character.

// The byte of one character; a character that Windows-1252 cannot hold raises an overflow error
// that names it.
std::uint8_t toWindows1252(char16_t character);

// The bytes of a whole text, or an overflow error for the first character that has no byte.
std::string toWindows1252(std::u16string_view text);

} // namespace kd
