#include "model/emulation/iee.h"

#include "encoding/control_bytes.h"

namespace kd::sim {
namespace {

using Done = Expected<FixedCommand::Values>;

constexpr int kLastColumn = Screen::kColumns - 1;
constexpr int kLastRow = Screen::kRows - 1;
// The default answer to ESC 05 I: the identification of an SLB325, 18 bytes with its CR.
constexpr char kIdentification[] = "D,2,IEE,35964,-03\r";
constexpr std::size_t kMessageLimit = 500;
constexpr std::uint8_t kVerticalTab = 0x0B;
constexpr std::uint8_t kHighBytePrefix = 0x19;
constexpr std::size_t kGlyphBytes = 5;

std::string esc(std::initializer_list<char> rest) {
    std::string bytes(1, static_cast<char>(kEscape));
    bytes.append(rest);
    return bytes;
}

} // namespace

IeeInterpreter::IeeInterpreter(Context &context) : Interpreter(context), m_commands(commands()) {}

// Normal entry (11), the cursor a visible flashing block, the backlight off.
PowerOn IeeInterpreter::powerOnState() const {
    return PowerOn{WriteMode::VerticalScroll, CodeTable::Pc437, true, CursorStyle::Block,
                   std::nullopt};
}

void IeeInterpreter::powerOn() {
    m_entry = Entry::Normal;
    m_backlight = false;
    m_wrapPending = false;
    m_messages = {};
    Interpreter::powerOn();
}

std::string IeeInterpreter::stateNote() const {
    return m_context.say(Msg::IeeEntryModeNote, {hexByte(static_cast<std::uint8_t>(m_entry)),
                                                 m_context.say(m_backlight ? Msg::On : Msg::Off)});
}

FixedCommand IeeInterpreter::entryCommand(Entry entry, Msg meaning) {
    const std::uint8_t code = static_cast<std::uint8_t>(entry);
    return {leadByte(code), 0, hexByte(code), Msg::IeeEntryMode,
            [this, entry, meaning, code](auto) {
                m_entry = entry;
                cancelWrap();
                // The screen's mode names the entry mode on the state line.
                screen().setMode(entry == Entry::Horizontal ? WriteMode::HorizontalScroll
                                 : entry == Entry::BottomLine || entry == Entry::Normal
                                     ? WriteMode::VerticalScroll
                                     : WriteMode::Overwrite);
                if (entry == Entry::BottomLine)
                    screen().bottomLeft();
                return Done{{hexByte(code), m_context.say(meaning)}};
            }};
}

CommandTable IeeInterpreter::commands() {
    Screen &screen = this->screen();
    Context &context = m_context;
    const auto flag = [&context](bool on) { return context.say(on ? Msg::On : Msg::Off); };
    return {
        entryCommand(Entry::BottomLine, Msg::IeeEntryBottomLine),
        entryCommand(Entry::Normal, Msg::IeeEntryNormal),
        entryCommand(Entry::OverwriteLast, Msg::IeeEntryOverwriteLast),
        entryCommand(Entry::Horizontal, Msg::IeeEntryHorizontal),
        entryCommand(Entry::WrapAround, Msg::IeeEntryWrapAround),
        {leadByte(0x08), 0, "08", Msg::CursorLeft,
         [this, &screen](auto) {
             cancelWrap();
             // At home the cursor stays; at the start of line 2 it goes to the end of line 1.
             if (screen.cursorColumn() > 0)
                 screen.setCursor(screen.cursorRow(), screen.cursorColumn() - 1);
             else if (screen.cursorRow() > 0)
                 screen.setCursor(screen.cursorRow() - 1, kLastColumn);
             return Done{};
         }},
        {leadByte(0x09), 0, "09", Msg::CursorRight,
         [this, &screen](auto) {
             cancelWrap();
             // From the lower right the cursor wraps home.
             if (screen.cursorColumn() < kLastColumn)
                 screen.setCursor(screen.cursorRow(), screen.cursorColumn() + 1);
             else if (screen.cursorRow() < kLastRow)
                 screen.setCursor(screen.cursorRow() + 1, 0);
             else
                 screen.home();
             return Done{};
         }},
        {leadByte(kLineFeed), 0, "0A", Msg::LineFeed,
         [this, &screen](auto) {
             cancelWrap();
             // On the bottom line the lines scroll up and the cursor stays where it is.
             if (screen.cursorRow() < kLastRow)
                 screen.setCursor(screen.cursorRow() + 1, screen.cursorColumn());
             else
                 screen.scrollUp();
             return Done{};
         }},
        {leadByte(kCarriageReturn), 0, "0D", Msg::LineStart,
         [this, &screen](auto) {
             cancelWrap();
             screen.carriageReturn();
             return Done{};
         }},
        {leadByte(kFormFeed), 0, "0C", Msg::IeeClearCursorStays,
         [this, &screen](auto) {
             const int row = screen.cursorRow();
             const int column = screen.cursorColumn();
             screen.clear();
             screen.setCursor(row, column);
             cancelWrap();
             return Done{};
         }},
        {leadByte(0x15), 0, "15", Msg::ClearDisplay,
         [this, &screen](auto) {
             screen.clear();
             if (m_entry == Entry::BottomLine)
                 screen.bottomLeft();
             cancelWrap();
             return Done{};
         }},
        {leadByte(0x16), 0, "16", Msg::CursorHome,
         [this, &screen](auto) {
             cancelWrap();
             screen.home();
             return Done{};
         }},
        {leadByte(0x14), 0, "14", Msg::Reset,
         [this](auto) {
             powerOn();
             return Done{};
         }},
        {esc({'@'}), 0, "ESC @", Msg::IeeSelfTestEnd,
         [this](auto) {
             powerOn();
             return Done{};
         }},
        {leadByte(0x17), 0, "17", Msg::IeeBacklight,
         [this, flag](auto) {
             m_backlight = true;
             return Done{{flag(true)}};
         }},
        {leadByte(0x18), 0, "18", Msg::IeeBacklight,
         [this, flag](auto) {
             m_backlight = false;
             return Done{{flag(false)}};
         }},
        {leadByte(0x0E), 0, "0E", Msg::CursorShown,
         [&screen, flag](auto) {
             screen.setCursorVisible(false);
             return Done{{flag(false)}};
         }},
        {leadByte(0x0F), 0, "0F", Msg::CursorShown,
         [&screen, flag](auto) {
             screen.setCursorVisible(true);
             return Done{{flag(true)}};
         }},
        {leadByte(0x06), 0, "06", Msg::IeeBlinkingCharacters,
         [&screen, flag](auto) {
             screen.setBlinkingText(true);
             return Done{{flag(true)}};
         }},
        {leadByte(0x07), 0, "07", Msg::IeeBlinkingCharacters,
         [&screen, flag](auto) {
             screen.setBlinkingText(false);
             return Done{{flag(false)}};
         }},
        // The SLB325 reading: 19 xx shows xx with bit 7 set, for hosts on a 7-bit line.
        {leadByte(kHighBytePrefix), 1, "19", Msg::IeeHighByte,
         [this](std::string_view p) {
             const auto byte = static_cast<std::uint8_t>(byteAt(p, 0) | 0x80);
             write(byte);
             return Done{{hexByte(byte)}};
         }},
        {leadByte(0x01), 0, "01", Msg::IeeUnanswered,
         [&context](auto) { return Done{{context.say(Msg::IeeCapacity)}}; }},
        {leadByte(0x02), 0, "02", Msg::IeeUnanswered,
         [&context](auto) { return Done{{context.say(Msg::IeeFirmware)}}; }},
        {esc({'?'}), 1, "ESC ?", Msg::UserCharacterDeleted,
         [&screen](std::string_view p) {
             screen.removeUserCharacter(byteAt(p, 0));
             return Done{{hexByte(byteAt(p, 0))}};
         }},
        {esc({0x05, 'I'}), 0, "ESC 05 I", Msg::WriteModeIs,
         [this](auto) {
             const std::optional<std::string> &chosen = m_context.options.identification;
             return Done{{m_context.say(chosen && chosen->empty() ? Msg::IeeNoIdentification
                                                                  : Msg::IeeIdentification)}};
         }},
    };
}

// A printable byte at the cursor; what follows column 20 depends on the entry mode.
void IeeInterpreter::write(std::uint8_t byte) {
    Screen &screen = this->screen();
    if (m_wrapPending) {
        m_wrapPending = false;
        if (screen.cursorRow() < kLastRow)
            screen.setCursor(screen.cursorRow() + 1, 0);
        else if (m_entry == Entry::WrapAround)
            screen.home();
        else {
            screen.scrollUp();
            screen.setCursor(kLastRow, 0);
        }
    }
    const int row = screen.cursorRow();
    const int column = screen.cursorColumn();
    const WriteMode mode = screen.mode();
    if (m_entry == Entry::Horizontal && row == kLastRow) {
        // The full bottom line moves left for each new character at its end.
        screen.putByte(byte);
        return;
    }
    // The screen's own wrap is eager; this display waits for the next character.
    screen.setMode(WriteMode::Overwrite);
    screen.putByte(byte);
    screen.setMode(mode);
    if (column == kLastColumn) {
        screen.setCursor(row, kLastColumn);
        m_wrapPending = m_entry != Entry::OverwriteLast;
    }
}

Parse IeeInterpreter::parse(std::string_view pending) {
    const std::uint8_t first = byteAt(pending, 0);
    if (printable(first)) {
        m_context.text(first);
        write(first);
        return Parse::done(1);
    }
    if (const Parse result = matchFixed(m_commands, pending, m_context);
        result.kind != Parse::NotMine) {
        // ESC 05 I is answered after its own log line.
        if (result.kind == Parse::Done && pending.size() >= 3 && first == kEscape &&
            byteAt(pending, 1) == 0x05) {
            const std::optional<std::string> &chosen = m_context.options.identification;
            if (!chosen)
                m_context.answer(kIdentification);
            else if (!chosen->empty())
                m_context.answer(*chosen);
        }
        return result;
    }
    if (first == kVerticalTab)
        return storedMessage(pending);
    if (first != kEscape)
        return refuse(pending.substr(0, 1), Msg::MeaninglessControlInSet,
                      {emulationTitle(Emulation::Iee)});
    if (pending.size() < 2)
        return Parse::incomplete();
    if (byteAt(pending, 1) == '&')
        return userCharacters(pending);
    // ESC and a letter is refused whole; a control byte after ESC is read afresh.
    const std::uint8_t second = byteAt(pending, 1);
    return refuse(pending.substr(0, second >= 0x20 && second < 0x7F ? 2 : 1),
                  Msg::UnknownCommandInSet, {emulationTitle(Emulation::Iee)});
}

// 0B nn, up to 500 bytes and 0D: a message kept in the display under 01..04.
Parse IeeInterpreter::storedMessage(std::string_view pending) {
    if (pending.size() < 2)
        return Parse::incomplete();
    const std::uint8_t slot = byteAt(pending, 1);
    if (slot < 1 || slot > m_messages.size())
        return refuse(pending.substr(0, 2), Msg::IeeNoMessageNumber, {hexByte(slot)});
    const std::size_t end = pending.find(static_cast<char>(kCarriageReturn), 2);
    if (end == std::string_view::npos) {
        if (pending.size() - 2 > kMessageLimit)
            return refuse(pending.substr(0, 2 + kMessageLimit), Msg::IeeMessageTooLong,
                          {number(static_cast<int>(kMessageLimit))});
        return Parse::incomplete();
    }
    if (end - 2 > kMessageLimit)
        return refuse(pending.substr(0, 2 + kMessageLimit), Msg::IeeMessageTooLong,
                      {number(static_cast<int>(kMessageLimit))});
    m_messages[slot - 1] = std::string(pending.substr(2, end - 2));
    return m_context.take(pending.substr(0, end + 1), Msg::IeeMessageStored,
                          {hexByte(slot), number(static_cast<int>(end - 2))});
}

// ESC & 01 M N and five column bytes for each of the N characters from M.
Parse IeeInterpreter::userCharacters(std::string_view pending) {
    if (pending.size() < 5)
        return Parse::incomplete();
    const std::uint8_t first = byteAt(pending, 3);
    const std::size_t count = byteAt(pending, 4);
    if (byteAt(pending, 2) != 0x01 || count == 0)
        return refuse(pending.substr(0, 5), Msg::UserCharactersBadParameters);
    if (first < 0x20)
        return refuse(pending.substr(0, 5), Msg::IeeUserCharactersFrom, {hexByte(first)});
    if (first + count - 1 > 0xFF)
        return refuse(pending.substr(0, 5), Msg::IeeUserCharactersRange,
                      {number(static_cast<int>(count)), hexByte(first)});
    const std::size_t length = 5 + count * kGlyphBytes;
    if (pending.size() < length)
        return Parse::incomplete();
    for (std::size_t i = 0; i < count; ++i) {
        Glyph glyph{};
        for (std::size_t column = 0; column < kGlyphBytes; ++column)
            glyph[column] = byteAt(pending, 5 + i * kGlyphBytes + column);
        screen().defineUserCharacter(static_cast<std::uint8_t>(first + i), glyph);
    }
    // The display has no command that selects them: defined characters show at once.
    screen().setUserCharactersSelected(true);
    return m_context.take(pending.substr(0, length), Msg::UserCharactersDefined,
                          {hexByte(first), hexByte(static_cast<std::uint8_t>(first + count - 1))});
}

} // namespace kd::sim
