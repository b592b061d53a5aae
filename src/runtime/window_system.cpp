#include "runtime/window_system.h"

#include <cstdlib>

namespace kd {
namespace {

bool set(const char *name) {
    const char *value = std::getenv(name);
    return value && *value;
}

} // namespace

std::string missingWindowSystem() {
    if (set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM"))
        return {};
    return "kein Bildschirm: DISPLAY ist nicht gesetzt (kein X-Server) und WAYLAND_DISPLAY auch "
           "nicht (kein Wayland). Das Programm braucht eine grafische Sitzung.";
}

} // namespace kd
