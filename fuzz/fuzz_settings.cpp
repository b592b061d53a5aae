// The settings text parser: every text is either taken, and then survives a round trip, or refused
// with an invalid-property-value error that quotes it.
#include "core/error.h"
#include "display/serial_settings.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string text(reinterpret_cast<const char *>(data), size);
    try {
        const kd::LineSettings settings = kd::parseSettings(text);
        if (!(kd::parseSettings(kd::formatSettings(settings)) == settings))
            std::abort();
    } catch (const kd::RuntimeError &error) {
        if (error.error().number != kd::err::kInvalidPropertyValue ||
            error.error().description.find("Settings \"" + text + "\"") == std::string::npos)
            std::abort();
    }
    return 0;
}
