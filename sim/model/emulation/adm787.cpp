#include "model/emulation/adm787.h"

namespace kd::sim {

PowerOn Adm787Interpreter::powerOnState() const {
    return PowerOn{WriteMode::Overwrite, CodeTable::Pc437, false, CursorStyle::Underline};
}

// Not yet written: text only, every control byte unknown.
Parse Adm787Interpreter::parse(std::string_view pending) {
    const std::uint8_t byte = byteAt(pending, 0);
    if (!printable(byte))
        return Parse::notMine();
    m_context.text(byte);
    screen().putByte(byte);
    return Parse::done(1);
}

} // namespace kd::sim
