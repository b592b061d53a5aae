#include "model/emulation/adm787.h"

#include "encoding/control_bytes.h"
#include "model/emulation/shared_commands.h"

namespace kd::sim {
namespace {

using Done = Expected<FixedCommand::Values>;

} // namespace

Adm787Interpreter::Adm787Interpreter(Context &context)
    : Interpreter(context), m_commands(commands()) {}

PowerOn Adm787Interpreter::powerOnState() const {
    return PowerOn{WriteMode::Overwrite, CodeTable::Pc437, false, CursorStyle::Underline,
                   std::nullopt};
}

void Adm787Interpreter::powerOn() {
    m_blinking = {};
    Interpreter::powerOn();
}

CommandTable Adm787Interpreter::commands() {
    Screen &screen = this->screen();
    Context &context = m_context;
    const auto clearLine = [&screen](std::string lead, std::string name, Msg meaning, int row) {
        return FixedCommand{std::move(lead), 0, std::move(name), meaning, [&screen, row](auto) {
                                screen.clearLine(row);
                                return Done{{number(row + 1)}};
                            }};
    };
    // 11 n / 12 n: n is 31 (line 1) or 32 (line 2).
    const auto blinking = [this, &context](std::string lead, bool on) {
        return FixedCommand{
            lead, 1, hexBytes(lead), Msg::AdmLineBlinking,
            [this, &context, on](std::string_view p) {
                const std::uint8_t line = byteAt(p, 0);
                if (line != 0x31 && line != 0x32)
                    return Done::refused(context.say(Msg::AdmNoLine, {hexByte(line)}));
                const int row = line - 0x31;
                m_blinking[static_cast<std::size_t>(row)] = on;
                this->screen().setLineBlinking(row, on);
                return Done{{number(row + 1), context.say(on ? Msg::On : Msg::Off)}};
            }};
    };
    return {
        {leadByte(0x0C), 0, "0C", Msg::ClearDisplay,
         [&screen](auto) {
             screen.clear();
             return Done{};
         }},
        cursorMove(context, leadByte(kCarriageReturn), "CR", Msg::LineStart,
                   &Screen::carriageReturn),
        clearLine(leadByte(0x0E), "0E", Msg::AdmClearLine, 0),
        clearLine(leadByte(0x0F), "0F", Msg::AdmClearLine, 1),
        clearLine(leadByte(0x1E), "1E", Msg::AdmClearField, 0),
        clearLine(leadByte(0x1F), "1F", Msg::AdmClearField, 1),
        // 10 n, n = 31..37: a period n places from the right end of line 1; the cursor stays.
        {leadByte(0x10), 1, "10", Msg::AdmPeriod,
         [this, &screen, &context](std::string_view p) {
             const std::uint8_t n = byteAt(p, 0);
             if (n < 0x31 || n > 0x37)
                 return Done::refused(context.say(Msg::AdmPeriodRange, {hexByte(n)}));
             const int places = n - 0x30;
             const int row = screen.cursorRow();
             const int column = screen.cursorColumn();
             screen.setCursor(0, Screen::kColumns - places);
             screen.setBlinkingText(m_blinking[0]);
             screen.put(u'.');
             screen.setCursor(row, column);
             return Done{{number(places)}};
         }},
        blinking(leadByte(0x11), true),
        blinking(leadByte(0x12), false),
    };
}

Parse Adm787Interpreter::parse(std::string_view pending) {
    const std::uint8_t first = byteAt(pending, 0);
    if (printable(first)) {
        screen().setBlinkingText(m_blinking[static_cast<std::size_t>(screen().cursorRow())]);
        screen().putByte(first);
        m_context.text(first);
        return Parse::done(1);
    }
    if (const Parse result = matchFixed(m_commands, pending, m_context);
        result.kind != Parse::NotMine)
        return result;
    return refuse(pending.substr(0, 1), Msg::MeaninglessControlInSet,
                  {emulationTitle(Emulation::Adm787)});
}

} // namespace kd::sim
