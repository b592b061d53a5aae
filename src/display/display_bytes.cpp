#include "display/display_bytes.h"

#include "core/error.h"
#include "encoding/windows1252.h"

namespace kd {

std::uint8_t toWindows1252(char16_t character) {
    if (const auto byte = windows1252Byte(character))
        return *byte;
    throwError(err::kOverflow,
          "Überlauf: das Zeichen " + characterCode(character) + " hat keinen Code in Windows-1252");
}

std::string toWindows1252(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (char16_t character : text)
        bytes.push_back(static_cast<char>(toWindows1252(character)));
    return bytes;
}

} // namespace kd
