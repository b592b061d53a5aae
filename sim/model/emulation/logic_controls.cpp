#include "model/emulation/logic_controls.h"

#include "encoding/control_bytes.h"
#include "model/emulation/shared_commands.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace kd::sim {
namespace {

using Done = Expected<FixedCommand::Values>;

constexpr std::size_t kMessageLimit = 45;
constexpr int kMessageIntervalMs = 300;

// 04 nn: the four levels the set knows, in percent; 0 for any other byte.
int brightnessOf(int n) {
    switch (n) {
    case 0xFF: return 100;
    case 0x60: return 60;
    case 0x40: return 40;
    case 0x20: return 20;
    default: return 0;
    }
}

} // namespace

PowerOn logicControlsPowerOn() {
    return PowerOn{WriteMode::VerticalScroll, CodeTable::Pc437, true, CursorStyle::Block,
                   std::nullopt};
}

LogicControlsInterpreter::LogicControlsInterpreter(Context &context)
    : Interpreter(context), m_commands(commands()) {}

void LogicControlsInterpreter::powerOn() {
    m_ibmMode = false;
    Interpreter::powerOn();
}

std::string LogicControlsInterpreter::stateNote() const {
    return m_ibmMode ? m_context.say(Msg::IbmMode) : std::string();
}

CommandTable LogicControlsInterpreter::commands() {
    Screen &screen = this->screen();
    Context &context = m_context;
    const auto reset = [this](auto) {
        powerOn();
        return Done{};
    };
    return {
        cursorMove(context, leadByte(0x08), "BS", Msg::Backspace, &Screen::backspace),
        cursorMove(context, leadByte(0x09), "HT", Msg::CursorRight, &Screen::cursorRight),
        cursorMove(context, leadByte(kLineFeed), "LF", Msg::LineFeed, &Screen::cursorDown),
        cursorMove(context, leadByte(kCarriageReturn), "CR", Msg::LineStart,
                   &Screen::carriageReturn),
        modeCommand(context, leadByte(0x11), "DC1", WriteMode::Overwrite),
        modeCommand(context, leadByte(0x12), "DC2", WriteMode::VerticalScroll),
        {leadByte(0x13), 0, "13", Msg::CursorShown,
         [&](auto) {
             screen.setCursorVisible(true);
             return Done{{context.say(Msg::On)}};
         }},
        {leadByte(0x14), 0, "14", Msg::CursorShown,
         [&](auto) {
             screen.setCursorVisible(false);
             return Done{{context.say(Msg::Off)}};
         }},
        {leadByte(0x1C), 0, "1C", Msg::FlashingText,
         [&](auto) {
             screen.setBlinkingText(true);
             return Done{{context.say(Msg::On)}};
         }},
        {leadByte(0x1D), 0, "1D", Msg::FlashingText,
         [&](auto) {
             screen.setBlinkingText(false);
             return Done{{context.say(Msg::Off)}};
         }},
        {leadByte(kUnitSeparator), 0, "1F", Msg::Reset, reset},
        {leadByte(0x0F), 0, "0F", Msg::SelfTest, reset},
        {leadByte(0x04), 1, "04", Msg::BrightnessIs,
         [&](std::string_view p) {
             const int percent = brightnessOf(byteAt(p, 0));
             if (percent == 0)
                 return Done::refused(
                     context.say(Msg::LogicControlsBrightness, {hexByte(byteAt(p, 0))}));
             screen.setBrightness(percent);
             return Done{{number(percent)}};
         }},
        // 10 nn: line 1 is 00..13h, line 2 14h..27h.
        {leadByte(kDataLinkEscape), 1, "10", Msg::CursorAt,
         [&](std::string_view p) {
             const int position = byteAt(p, 0);
             if (position > 0x27)
                 return Done::refused(context.say(Msg::PositionPast27, {hexByte(byteAt(p, 0))}));
             screen.setCursor(position / Screen::kColumns, position % Screen::kColumns);
             return Done{{number(position % Screen::kColumns + 1),
                          number(position / Screen::kColumns + 1)}};
         }},
        // 03 X and five column bytes redefine the character X.
        {leadByte(0x03), 6, "03", Msg::UserCharacterDefined,
         [&](std::string_view p) {
             Glyph glyph{};
             for (std::size_t i = 0; i < glyph.size(); ++i)
                 glyph[i] = byteAt(p, 1 + i);
             screen.defineUserCharacter(byteAt(p, 0), glyph);
             screen.setUserCharactersSelected(true);
             return Done{{hexByte(byteAt(p, 0))}};
         }},
        {leadByte(0x00), 1, "00", Msg::ModeIs,
         [this, &context](std::string_view p) {
             const int mode = byteAt(p, 0);
             if (mode > 1)
                 return Done::refused(context.say(Msg::NoMode, {hexByte(byteAt(p, 0))}));
             m_ibmMode = mode == 1;
             return Done{{context.say(m_ibmMode ? Msg::IbmMode : Msg::LogicControlsMode)}};
         },
         true},
        {leadByte(0x02), 1, "02", Msg::CodeTableIs,
         [this, &context, &screen](std::string_view p) {
             if (!m_ibmMode)
                 return Done::refused(context.say(Msg::OnlyInIbmMode));
             const auto table = ibmCodeTable(byteAt(p, 0));
             if (!table)
                 return Done::refused(context.say(
                     Msg::NoCodeTable, {hexByte(byteAt(p, 0)), codeTableName(screen.codeTable())}));
             screen.setCodeTable(*table);
             return Done{{codeTableName(*table)}};
         },
         true},
        {std::string{static_cast<char>(kEscape), '%'}, 1, "ESC %", Msg::CodeTableIs,
         [&](std::string_view p) {
             const auto table = logicControlsCodeTable(byteAt(p, 0));
             if (!table)
                 return Done::refused(context.say(
                     Msg::NoCodeTable, {number(byteAt(p, 0)), codeTableName(screen.codeTable())}));
             screen.setCodeTable(*table);
             return Done{{codeTableName(*table)}};
         }},
    };
}

Parse LogicControlsInterpreter::parse(std::string_view pending) {
    const auto first = byteAt(pending, 0);
    if (printable(first)) {
        screen().putByte(first);
        m_context.text(first);
        return Parse::done(1);
    }
    // A running message stops at anything that moves the cursor or writes.
    if (first != 0x04 && first != 0x13 && first != 0x14)
        screen().stopMarquees();
    if (const Parse result = matchFixed(m_commands, pending, m_context);
        result.kind != Parse::NotMine)
        return result;
    if (first == 0x05)
        return message(pending);
    if (first == kEscape)
        return ibmEscape(pending);
    // Undefined bytes 00..1F are ignored, as the set defines it.
    return refuse(pending.substr(0, 1), Msg::MeaninglessControlInSet,
                  {emulationTitle(Emulation::LogicControls)});
}

// 05, up to 45 characters and CR: a message running across line 1.
Parse LogicControlsInterpreter::message(std::string_view pending) {
    std::size_t end = 1;
    while (end < pending.size() && byteAt(pending, end) >= 0x20)
        ++end;
    if (end == pending.size())
        return Parse::incomplete();
    if (byteAt(pending, end) != kCarriageReturn)
        return refuse(pending.substr(0, end), Msg::WithoutClosingCr, {"05"});
    std::u16string text;
    for (std::size_t i = 1; i < end && text.size() < kMessageLimit; ++i)
        text.push_back(
            textGlyphOf(byteAt(pending, i), screen().codeTable(), screen().nationalSet()));
    screen().startMarquee(0, text + u' ', kMessageIntervalMs, false);
    return m_context.take(pending.substr(0, end + 1), Msg::MarqueeOnLine1, {"05", ""});
}

// The IBM mode's ESC [ Py ; Px H, ESC [ 2 J and ESC [ 0 K: up to a letter.
Parse LogicControlsInterpreter::ibmEscape(std::string_view pending) {
    if (pending.size() < 3)
        return Parse::incomplete();
    if (pending[1] != '[' || !m_ibmMode)
        return refuse(pending.substr(0, 2), Msg::UnknownCommandInSet,
                      {emulationTitle(Emulation::LogicControls)});
    constexpr std::size_t kLongest = 10;
    std::size_t end = 2;
    while (end < pending.size() && end < kLongest &&
           (std::isdigit(static_cast<unsigned char>(pending[end])) || pending[end] == ';'))
        ++end;
    if (end == pending.size())
        return end >= kLongest ? refuse(pending, Msg::EscBracketWithoutLetter)
                               : Parse::incomplete();
    const std::string parameters(pending.substr(2, end - 2));
    const std::string_view bytes = pending.substr(0, end + 1);
    switch (pending[end]) {
    case 'J': screen().clear(); return m_context.take(bytes, Msg::IbmClear);
    case 'K': screen().clearToEndOfLine(); return m_context.take(bytes, Msg::IbmClearToLineEnd);
    case 'H': {
        const std::size_t semicolon = parameters.find(';');
        const int row = semicolon == std::string::npos ? 1 : std::atoi(parameters.c_str());
        const int column =
            semicolon == std::string::npos ? 1 : std::atoi(parameters.c_str() + semicolon + 1);
        screen().setCursor(std::max(row, 1) - 1, std::max(column, 1) - 1);
        return m_context.take(bytes, Msg::IbmCursorAt,
                              {number(std::max(column, 1)), number(std::max(row, 1))});
    }
    default: return refuse(bytes, Msg::UnknownCommand, {"ESC [ … " + std::string(1, pending[end])});
    }
}

} // namespace kd::sim
