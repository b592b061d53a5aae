#include "model/emulation/icd2002.h"

#include "encoding/control_bytes.h"

namespace kd::sim {
namespace {

using Done = Expected<FixedCommand::Values>;

constexpr int kLastColumn = Screen::kColumns - 1;
constexpr int kLastRow = Screen::kRows - 1;
constexpr int kRotationIntervalMs = 300;

std::string esc(char second) {
    return std::string{static_cast<char>(kEscape), second};
}

// 'U' the upper line, 'D' the lower one.
std::optional<int> lineOf(std::uint8_t letter) {
    if (letter == 'U')
        return 0;
    if (letter == 'D')
        return 1;
    return std::nullopt;
}

} // namespace

Icd2002Interpreter::Icd2002Interpreter(Context &context)
    : Interpreter(context), m_commands(commands()) {}

// Both lines in shift mode, the upper line current, the display enabled, no visible cursor.
PowerOn Icd2002Interpreter::powerOnState() const {
    return PowerOn{WriteMode::Overwrite, CodeTable::Pc437, false, CursorStyle::Underline,
                   std::nullopt};
}

void Icd2002Interpreter::powerOn() {
    m_modes = {LineMode::Shift, LineMode::Shift};
    m_line = 0;
    m_wrapPending = false;
    Interpreter::powerOn();
}

std::string Icd2002Interpreter::modeName(LineMode mode) const {
    switch (mode) {
    case LineMode::Shift: return m_context.say(Msg::IcdModeShift);
    case LineMode::Rotation: return m_context.say(Msg::IcdModeRotation);
    case LineMode::Blink: return m_context.say(Msg::IcdModeBlink);
    case LineMode::Clear: return m_context.say(Msg::IcdModeClear);
    case LineMode::Overwrite: return m_context.say(Msg::IcdModeOverwrite);
    case LineMode::Vertical: return m_context.say(Msg::IcdModeVertical);
    }
    return {};
}

std::string Icd2002Interpreter::stateNote() const {
    return m_context.say(Msg::IcdStateNote,
                         {modeName(m_modes[0]), modeName(m_modes[1]), number(m_line + 1)});
}

// A rotating line runs its 20 cells and a blank continuously.
void Icd2002Interpreter::rotate(int row) {
    std::u16string text = screen().line(row);
    text.push_back(u' ');
    screen().startMarquee(row, text, kRotationIntervalMs, false);
}

void Icd2002Interpreter::setLineMode(int row, LineMode mode) {
    Screen &screen = this->screen();
    const LineMode before = modeOf(row);
    if (before == LineMode::Rotation && mode != LineMode::Rotation) {
        screen.stopMarquees();
        // Stopping is for every line at once: the other one keeps rotating.
        if (modeOf(1 - row) == LineMode::Rotation)
            rotate(1 - row);
    }
    if (before == LineMode::Blink && mode != LineMode::Blink)
        screen.setLineBlinking(row, false);
    m_wrapPending = false;
    switch (mode) {
    case LineMode::Clear: {
        const int cursorRow = screen.cursorRow();
        const int cursorColumn = screen.cursorColumn();
        screen.clearLine(row);
        screen.setCursor(cursorRow, cursorColumn);
        modeOf(row) = LineMode::Shift;
        return;
    }
    case LineMode::Blink: screen.setLineBlinking(row, true); break;
    case LineMode::Rotation: rotate(row); break;
    case LineMode::Shift:
    case LineMode::Overwrite:
    case LineMode::Vertical: break;
    }
    modeOf(row) = mode;
}

FixedCommand Icd2002Interpreter::cursorCommand(std::uint8_t byte, Msg meaning,
                                               void (Icd2002Interpreter::*move)()) {
    return {leadByte(byte), 0, hexByte(byte), meaning, [this, move](auto) {
                if (modeOf(m_line) != LineMode::Overwrite)
                    return Done::refused(m_context.say(
                        Msg::IcdOnlyOverwrite, {number(m_line + 1), modeName(modeOf(m_line))}));
                (this->*move)();
                return Done{};
            }};
}

void Icd2002Interpreter::left() {
    if (screen().cursorColumn() > 0)
        screen().setCursor(m_line, screen().cursorColumn() - 1);
}

void Icd2002Interpreter::right() {
    if (screen().cursorColumn() < kLastColumn)
        screen().setCursor(m_line, screen().cursorColumn() + 1);
}

void Icd2002Interpreter::lineStart() {
    screen().setCursor(m_line, 0);
}

CommandTable Icd2002Interpreter::commands() {
    Screen &screen = this->screen();
    Context &context = m_context;
    const auto chooseLine = [this](int row) {
        return [this, row](auto) {
            m_line = row;
            m_wrapPending = false;
            this->screen().setCursor(row, 0);
            return Done{{number(row + 1)}};
        };
    };
    return {
        cursorCommand(0x08, Msg::CursorLeft, &Icd2002Interpreter::left),
        cursorCommand(0x09, Msg::CursorRight, &Icd2002Interpreter::right),
        cursorCommand(kCarriageReturn, Msg::LineStart, &Icd2002Interpreter::lineStart),
        {esc('@'), 0, "ESC @", Msg::Initialise,
         [this](auto) {
             powerOn();
             return Done{};
         }},
        {esc('U'), 0, "ESC U", Msg::IcdLineCurrent, chooseLine(0)},
        {esc('D'), 0, "ESC D", Msg::IcdLineCurrent, chooseLine(1)},
        {esc('A'), 1, "ESC A", Msg::IcdDisplayEnabled,
         [&screen, &context](std::string_view p) {
             const std::uint8_t z = byteAt(p, 0);
             if (z != 'D' && z != 'E')
                 return Done::refused(context.say(Msg::IcdNoDisplaySwitch, {hexByte(z)}));
             screen.setDisplayOn(z == 'E');
             return Done{{context.say(z == 'E' ? Msg::On : Msg::Off)}};
         }},
        // ESC C r c: the column is taken as a binary 1..20.
        {esc('C'), 2, "ESC C", Msg::IcdCursorAt,
         [this, &context](std::string_view p) {
             const std::optional<int> row = lineOf(byteAt(p, 0));
             if (!row)
                 return Done::refused(context.say(Msg::IcdNoLine, {hexByte(byteAt(p, 0))}));
             const int column = byteAt(p, 1);
             if (column < 1 || column > Screen::kColumns)
                 return Done::refused(context.say(Msg::IcdColumnOutside, {number(column)}));
             if (modeOf(*row) != LineMode::Overwrite)
                 return Done::refused(context.say(Msg::IcdOnlyOverwrite,
                                                  {number(*row + 1), modeName(modeOf(*row))}));
             m_line = *row;
             m_wrapPending = false;
             this->screen().setCursor(*row, column - 1);
             return Done{{number(*row + 1), number(column)}};
         }},
        {esc('E'), 2, "ESC E", Msg::IcdLineMode,
         [this, &context](std::string_view p) {
             const std::uint8_t which = byteAt(p, 0);
             const std::uint8_t z = byteAt(p, 1);
             if (which != 'X' && which != 'U' && which != 'D')
                 return Done::refused(context.say(Msg::IcdNoLineSelector, {hexByte(which)}));
             if (z < 0x30 || z > 0x35)
                 return Done::refused(context.say(Msg::IcdNoLineMode, {hexByte(z)}));
             const auto mode = static_cast<LineMode>(z);
             for (int row = 0; row < Screen::kRows; ++row) {
                 if (which == 'X' || lineOf(which) == row)
                     setLineMode(row, mode);
             }
             const std::string lines =
                 which == 'X' ? context.say(Msg::IcdBothLines)
                              : context.say(Msg::IcdLine, {number(*lineOf(which) + 1)});
             return Done{{lines, modeName(mode)}};
         }},
    };
}

// A printable byte on the current line, by that line's mode.
void Icd2002Interpreter::write(std::uint8_t byte) {
    Screen &screen = this->screen();
    switch (modeOf(m_line)) {
    case LineMode::Shift:
    case LineMode::Clear: screen.shiftInAtRight(m_line, byte); return;
    case LineMode::Blink:
        screen.shiftInAtRight(m_line, byte);
        screen.setLineBlinking(m_line, true);
        return;
    case LineMode::Rotation:
        screen.shiftInAtRight(m_line, byte);
        rotate(m_line);
        return;
    case LineMode::Overwrite: {
        // The cursor stops at column 20: further characters overwrite it.
        const int column = screen.cursorColumn();
        screen.putByte(byte);
        screen.setCursor(m_line, column == kLastColumn ? kLastColumn : column + 1);
        return;
    }
    case LineMode::Vertical: {
        if (m_wrapPending) {
            m_wrapPending = false;
            if (m_line < kLastRow)
                m_line = kLastRow;
            else
                screen.scrollUp();
            screen.setCursor(m_line, 0);
            // The line the text moved to writes by its own mode from here on.
            if (modeOf(m_line) != LineMode::Vertical) {
                write(byte);
                return;
            }
        }
        const int column = screen.cursorColumn();
        screen.putByte(byte);
        screen.setCursor(m_line, column == kLastColumn ? kLastColumn : column + 1);
        m_wrapPending = column == kLastColumn;
        return;
    }
    }
}

Parse Icd2002Interpreter::parse(std::string_view pending) {
    const std::uint8_t first = byteAt(pending, 0);
    if (printable(first)) {
        m_context.text(first);
        write(first);
        return Parse::done(1);
    }
    if (const Parse result = matchFixed(m_commands, pending, m_context);
        result.kind != Parse::NotMine)
        return result;
    if (first != kEscape)
        return refuse(pending.substr(0, 1), Msg::MeaninglessControlInSet,
                      {emulationTitle(Emulation::Icd2002)});
    if (pending.size() < 2)
        return Parse::incomplete();
    // ESC and a letter is refused whole; a control byte after ESC is read afresh.
    const std::uint8_t second = byteAt(pending, 1);
    return refuse(pending.substr(0, second >= 0x20 && second < 0x7F ? 2 : 1),
                  Msg::UnknownCommandInSet, {emulationTitle(Emulation::Icd2002)});
}

} // namespace kd::sim
