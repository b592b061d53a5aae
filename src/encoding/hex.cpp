#include "encoding/hex.h"

namespace kd {

std::string hexBytes(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (!text.empty())
            text += ' ';
        text += kDigits[value >> 4];
        text += kDigits[value & 0xF];
    }
    return text;
}

} // namespace kd
