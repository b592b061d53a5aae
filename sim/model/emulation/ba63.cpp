#include "model/emulation/ba63.h"

namespace kd::sim {

PowerOn Ba63Interpreter::powerOnState() const {
    return PowerOn{WriteMode::Overwrite, CodeTable::Pc437, false, CursorStyle::Underline};
}

// Not yet written: text only, every control byte unknown.
Parse Ba63Interpreter::parse(std::string_view pending) {
    const std::uint8_t byte = byteAt(pending, 0);
    if (!printable(byte))
        return Parse::notMine();
    m_context.text(byte);
    screen().putByte(byte);
    return Parse::done(1);
}

} // namespace kd::sim
