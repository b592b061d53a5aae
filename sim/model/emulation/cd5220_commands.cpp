// The CD5220 commands: ESC commands for modes, the cursor, line strings and the marquee.
#include "model/emulation/escpos.h"

#include "encoding/control_bytes.h"

namespace kd::sim {
namespace {

using Done = Expected<FixedCommand::Values>;

// One step of the CD5220 marquee: about once a second, as the real display scrolls.
constexpr int kMarqueeIntervalMs = 1000;

std::string esc(std::string_view command) {
    return static_cast<char>(kEscape) + std::string(command);
}

} // namespace

CommandTable EscPosInterpreter::cd5220Commands() {
    Screen &screen = this->screen();
    return {
        modeCommand(m_context, esc("\x11"), "ESC DC1", WriteMode::Overwrite),
        modeCommand(m_context, esc("\x12"), "ESC DC2", WriteMode::VerticalScroll),
        modeCommand(m_context, esc("\x13"), "ESC DC3", WriteMode::HorizontalScroll),
        cursorPlacement(esc("l"), "ESC l"),
        brightnessCommand(esc("*"), "ESC *"),
        switchCommand(m_context, esc("_"), "ESC _", Msg::CursorShown, &Screen::setCursorVisible),
        {esc("f"), 1, "ESC f", Msg::NationalSetIs,
         [this, &screen](std::string_view p) {
             const auto set = cd5220NationalSet(p[0]);
             if (!set)
                 return Done::refused(m_context.say(Msg::NoNationalSet, {hexByte(byteAt(p, 0))}));
             screen.setNationalSet(*set);
             return Done{{nationalSetName(*set, m_context.language)}};
         }},
        ignoredCommand(esc("c"), 1, "ESC c", Msg::FontIgnored),
        ignoredCommand(esc("s"), 1, "ESC s", Msg::FontIgnored),
        ignoredCommand(esc("d"), 1, "ESC d", Msg::FontIgnored),
        cursorMove(m_context, esc("[D"), "ESC [ D", Msg::CursorLeft, &Screen::cursorLeft),
        cursorMove(m_context, esc("[C"), "ESC [ C", Msg::CursorRight, &Screen::cursorRight),
        cursorMove(m_context, esc("[A"), "ESC [ A", Msg::CursorUp, &Screen::cursorUp),
        cursorMove(m_context, esc("[B"), "ESC [ B", Msg::CursorDown, &Screen::cursorDown),
        cursorMove(m_context, esc("[H"), "ESC [ H", Msg::CursorHome, &Screen::home),
        cursorMove(m_context, esc("[L"), "ESC [ L", Msg::LineStart, &Screen::carriageReturn),
        cursorMove(m_context, esc("[R"), "ESC [ R", Msg::LineEnd, &Screen::lineEnd),
        cursorMove(m_context, esc("[K"), "ESC [ K", Msg::CursorBottomLeft, &Screen::bottomLeft),
    };
}

// ESC Q A / B / D, the data and CR: a line string of at most 20 characters, or a marquee of at
// most 40. A control byte before the CR means the CR was lost: the command is dropped and the
// byte is read afresh. ESC [ with a letter the table does not know is dropped with the letter.
Parse EscPosInterpreter::cd5220Strings(std::string_view pending) {
    if (m_dialect == Emulation::Epson || byteAt(pending, 0) != kEscape || pending.size() < 2 ||
        (pending[1] != 'Q' && pending[1] != '['))
        return Parse::notMine();
    if (pending.size() < 3)
        return Parse::incomplete();
    const char which = pending[2];
    if (pending[1] == '[')
        return refuse(pending.substr(0, 3), Msg::UnknownCommand, {"ESC [ " + hexByte(which)});
    if (which != 'A' && which != 'B' && which != 'D')
        return refuse(pending.substr(0, 3), Msg::UnknownCommand, {"ESC Q " + hexByte(which)});
    const std::size_t limit = which == 'D' ? 2 * Screen::kColumns : Screen::kColumns;
    const std::string name = std::string("ESC Q ") + which;
    std::size_t end = 3;
    while (end < pending.size() && byteAt(pending, end) >= 0x20)
        ++end;
    if (end == pending.size())
        return Parse::incomplete();
    if (byteAt(pending, end) != kCarriageReturn)
        return refuse(pending.substr(0, end), Msg::WithoutClosingCr, {name});
    std::u16string text;
    for (std::size_t i = 3; i < end && text.size() < limit; ++i)
        text.push_back(
            textGlyphOf(byteAt(pending, i), screen().codeTable(), screen().nationalSet()));
    const std::size_t dropped = end - 3 - text.size();
    const std::string extra = dropped
                                  ? m_context.say(Msg::CharactersIgnored,
                                                  {std::to_string(dropped), std::to_string(limit)})
                                  : std::string();
    const std::string_view bytes = pending.substr(0, end + 1);
    if (which == 'D') {
        screen().startMarquee(0, text + u' ', kMarqueeIntervalMs, false, true);
        screen().home();
        return m_context.take(bytes, Msg::MarqueeOnLine1, {name, extra});
    }
    const int row = which == 'A' ? 0 : 1;
    screen().writeLine(row, text);
    return m_context.take(bytes, Msg::TextOnLine, {name, number(row + 1), extra});
}

} // namespace kd::sim
