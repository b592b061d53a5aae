// The port-number conversion: a whole number within 16 bits, or a type-mismatch or overflow
// error that quotes the text.
#include "connection/connection_selection.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    try {
        const std::int16_t number = kd::toPortNumber(text);
        // A taken text is its number: the digits read back to the same value.
        if (std::to_string(number) != std::to_string(std::strtol(text.c_str(), nullptr, 10)))
            std::abort();
    } catch (const kd::RuntimeError &error) {
        const int number = error.error().number;
        if ((number != kd::err::kTypeMismatch && number != kd::err::kOverflow) ||
            error.error().description.find("\"" + text + "\"") == std::string::npos)
            std::abort();
    }
    return 0;
}
