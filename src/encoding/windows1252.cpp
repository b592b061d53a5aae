#include "encoding/windows1252.h"

#include <array>

namespace kd {
namespace {

// 0x80..0x9F. The five bytes Windows-1252 leaves unassigned map to the C1 control of the same
// value, as the system's own conversion does.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

std::optional<std::uint8_t> windows1252Byte(char16_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<std::uint8_t>(character);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == character)
            return static_cast<std::uint8_t>(0x80 + i);
    }
    return std::nullopt;
}

char16_t fromWindows1252(std::uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return kHighControls[byte - 0x80];
    return byte;
}

std::string characterCode(char16_t character) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string code = "U+";
    for (int shift = 12; shift >= 0; shift -= 4)
        code += kHex[(character >> shift) & 0xF];
    return code;
}

} // namespace kd
