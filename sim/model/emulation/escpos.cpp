// The ESC/POS interpreter and the commands its sets share: single-byte controls, ESC @ = % ? & W.
#include "model/emulation/escpos.h"

#include "encoding/control_bytes.h"

namespace kd::sim {
namespace {

using Values = FixedCommand::Values;
using Done = Expected<Values>;

int escPosBrightness(int level) {
    static constexpr int kPercent[] = {20, 40, 60, 100};
    return kPercent[level - 1];
}

// ESC = and the hex digits: 1 printer, 2 display, 3 both, as binary or as the digit.
std::optional<Peripheral> peripheralOf(int n) {
    if (n >= '1' && n <= '3')
        n -= '0';
    switch (n) {
    case 1: return Peripheral::Printer;
    case 2: return Peripheral::Display;
    case 3: return Peripheral::Both;
    default: return std::nullopt;
    }
}

} // namespace

PowerOn escPosPowerOn(Emulation dialect) {
    return PowerOn{WriteMode::Overwrite,
                   dialect == Emulation::Standard ? CodeTable::Windows1252 : CodeTable::Pc437,
                   false, CursorStyle::Underline, std::nullopt};
}

EscPosInterpreter::EscPosInterpreter(Context &context, Emulation dialect)
    : Interpreter(context), m_dialect(dialect), m_frames(context) {
    m_tables.push_back(sharedCommands());
    // CD5220 keeps the US commands multi-set clones accept in its mode.
    m_tables.push_back(epsonCommands());
    if (dialect != Emulation::Epson)
        m_tables.push_back(cd5220Commands());
}

void EscPosInterpreter::feed(std::string_view bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = at;
        if (idle() && screen().peripheral() != Peripheral::Printer) {
            while (end < bytes.size() && printable(byteAt(bytes, end)))
                ++end;
        }
        if (end == at) {
            Interpreter::feed(byteAt(bytes, at++));
            continue;
        }
        const std::string_view run = bytes.substr(at, end - at);
        screen().putBytes(run);
        m_context.textRun(run);
        at = end;
    }
}

PowerOn EscPosInterpreter::powerOnState() const {
    return escPosPowerOn(m_dialect);
}

void EscPosInterpreter::powerOn() {
    m_counterSetTo.reset();
    Interpreter::powerOn();
}

Parse EscPosInterpreter::parse(std::string_view pending) {
    if (screen().peripheral() == Peripheral::Printer)
        return toPrinter(pending);
    const auto first = byteAt(pending, 0);
    if (printable(first)) {
        screen().putByte(first);
        m_context.text(first);
        return Parse::done(1);
    }
    // A CD5220 marquee runs until the next command, which clears its line and homes the cursor.
    if (screen().marquee(0).endsOnCommand)
        screen().clearLine(0);
    for (const CommandTable &table : m_tables) {
        if (const Parse result = matchFixed(table, pending, m_context);
            result.kind != Parse::NotMine)
            return result;
    }
    for (const auto parser :
         {&EscPosInterpreter::userCharacters, &EscPosInterpreter::window,
          &EscPosInterpreter::epsonSettings, &EscPosInterpreter::cd5220Strings}) {
        if (const Parse result = (this->*parser)(pending); result.kind != Parse::NotMine)
            return result;
    }
    if (m_dialect == Emulation::Standard) {
        if (const Parse result = m_frames.parse(pending); result.kind != Parse::NotMine)
            return result;
    }
    // An unknown ESC or US command is dropped with its command byte, so that the byte is not
    // drawn as text.
    const std::string title = emulationTitle(m_dialect, m_context.language);
    if (first == kEscape || first == kUnitSeparator) {
        if (pending.size() < 2)
            return Parse::incomplete();
        return refuse(pending.substr(0, 2), Msg::UnknownCommandInSet, {title});
    }
    return refuse(pending.substr(0, 1), Msg::MeaninglessControlInSet, {title});
}

// While the printer alone is selected, everything but the selection itself is meant for it.
Parse EscPosInterpreter::toPrinter(std::string_view pending) {
    if (byteAt(pending, 0) == kEscape) {
        if (pending.size() < 2)
            return Parse::incomplete();
        if (pending[1] == '=')
            return matchFixed(m_tables.front(), pending, m_context);
    }
    m_context.text(byteAt(pending, 0), false);
    return Parse::done(1);
}

FixedCommand EscPosInterpreter::brightnessCommand(std::string lead, std::string name) {
    return {std::move(lead), 1, std::move(name), Msg::BrightnessIs, [this](std::string_view p) {
                const int level = byteAt(p, 0);
                if (level < 1 || level > 4)
                    return Done::refused(m_context.say(Msg::BrightnessLevels, {number(level)}));
                screen().setBrightness(escPosBrightness(level));
                return Done{{number(escPosBrightness(level))}};
            }};
}

// Column x and row y, binary, from 1.
FixedCommand EscPosInterpreter::cursorPlacement(std::string lead, std::string name) {
    return {
        std::move(lead), 2, std::move(name), Msg::CursorAt, [this](std::string_view p) {
            const int x = byteAt(p, 0);
            const int y = byteAt(p, 1);
            if (!screen().setCursor(y - 1, x - 1))
                return Done::refused(m_context.say(Msg::OutsideDisplay, {number(x), number(y)}));
            return Done{{number(x), number(y)}};
        }};
}

CommandTable EscPosInterpreter::sharedCommands() {
    Screen &screen = this->screen();
    const auto is = [](std::uint8_t byte) { return std::string(1, static_cast<char>(byte)); };
    const auto esc = [](char command) { return std::string{static_cast<char>(kEscape), command}; };
    return {
        cursorMove(m_context, is(0x08), "BS", Msg::CursorLeft, &Screen::cursorLeft),
        cursorMove(m_context, is(0x09), "HT", Msg::CursorRight, &Screen::cursorRight),
        cursorMove(m_context, is(kLineFeed), "LF", Msg::CursorDown, &Screen::cursorDown),
        cursorMove(m_context, is(0x0B), "HOM", Msg::CursorHome, &Screen::home),
        cursorMove(m_context, is(kFormFeed), "CLR", Msg::ClearDisplay, &Screen::clear),
        cursorMove(m_context, is(kCarriageReturn), "CR", Msg::LineStart, &Screen::carriageReturn),
        {is(0x18), 0, "CAN", Msg::ClearCursorLine,
         [&screen](auto) {
             screen.clearLine(screen.cursorRow());
             return Done{};
         }},
        {esc('@'), 0, "ESC @", Msg::Initialise,
         [this](auto) {
             powerOn();
             return Done{};
         }},
        {esc('='), 1, "ESC =", Msg::PeripheralIs,
         [this, &screen](std::string_view p) {
             const auto peripheral = peripheralOf(byteAt(p, 0));
             if (!peripheral)
                 return Done::refused(m_context.say(Msg::NoPeripheral, {hexByte(byteAt(p, 0))}));
             screen.setPeripheral(*peripheral);
             return Done{{peripheralName(*peripheral, m_context.language)}};
         }},
        // Bit 0 of n selects (1) or cancels (0) the user-defined characters.
        {esc('%'), 1, "ESC %", Msg::UserCharacters,
         [this, &screen](std::string_view p) {
             const bool selected = (byteAt(p, 0) & 1) != 0;
             screen.setUserCharactersSelected(selected);
             return Done{{m_context.say(selected ? Msg::On : Msg::Off)}};
         }},
        {esc('?'), 1, "ESC ?", Msg::UserCharacterDeleted,
         [&screen](std::string_view p) {
             screen.removeUserCharacter(byteAt(p, 0));
             return Done{{hexByte(byteAt(p, 0))}};
         }},
    };
}

// ESC & 01 n m, then for each code from n to m: a (0..5) and a column bytes.
Parse EscPosInterpreter::userCharacters(std::string_view pending) {
    if (byteAt(pending, 0) != kEscape || pending.size() < 2 || pending[1] != '&')
        return Parse::notMine();
    if (pending.size() < 5)
        return Parse::incomplete();
    const std::uint8_t first = byteAt(pending, 3);
    const std::uint8_t last = byteAt(pending, 4);
    if (byteAt(pending, 2) != 1 || first < 0x20 || last < first)
        return refuse(pending.substr(0, 5), Msg::UserCharactersBadParameters);
    std::size_t at = 5;
    for (int code = first; code <= last; ++code) {
        if (pending.size() <= at)
            return Parse::incomplete();
        const std::size_t columns = static_cast<std::size_t>(byteAt(pending, at));
        if (columns > 5)
            return refuse(pending.substr(0, at + 1), Msg::UserCharacterTooWide);
        if (pending.size() < at + 1 + columns)
            return Parse::incomplete();
        at += 1 + columns;
    }
    at = 5;
    for (int code = first; code <= last; ++code) {
        const std::size_t columns = static_cast<std::size_t>(byteAt(pending, at));
        Glyph glyph{};
        for (std::size_t i = 0; i < columns; ++i)
            glyph[i] = byteAt(pending, at + 1 + i);
        screen().defineUserCharacter(static_cast<std::uint8_t>(code), glyph);
        at += 1 + columns;
    }
    return m_context.take(pending.substr(0, at), Msg::UserCharactersDefined,
                          {hexByte(first), hexByte(last)});
}

// ESC W: Epson's is ESC W n m and, when m sets the window, x1 y1 x2 y2; CD5220's is ESC W n x1
// x2 y. In `standard` the parameters decide.
Parse EscPosInterpreter::window(std::string_view pending) {
    if (byteAt(pending, 0) != kEscape || pending.size() < 2 || pending[1] != 'W')
        return Parse::notMine();
    if (pending.size() < 4)
        return Parse::incomplete();
    const int n = byteAt(pending, 2);
    const int m = byteAt(pending, 3);
    const bool epsonForm = n >= 1 && n <= 4 && (m == 0 || m == 1 || m == '0' || m == '1');
    if (m_dialect == Emulation::Epson || (m_dialect == Emulation::Standard && epsonForm)) {
        const std::size_t length = (m == 1 || m == '1') ? 8 : 4;
        if (pending.size() < length)
            return Parse::incomplete();
        return m_context.take(pending.substr(0, length),
                              length == 8 ? Msg::WindowSet : Msg::WindowCancelled, {number(n)});
    }
    if (pending.size() < 6)
        return Parse::incomplete();
    return m_context.take(pending.substr(0, 6), (n & 1) ? Msg::WindowSet : Msg::WindowCancelled,
                          {number(n)});
}

} // namespace kd::sim
