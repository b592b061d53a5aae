#include "model/emulation/ba63.h"

#include "encoding/control_bytes.h"

#include <cctype>

namespace kd::sim {
namespace {

using Done = Expected<FixedCommand::Values>;

constexpr int kLastColumn = Screen::kColumns - 1;
constexpr int kLastRow = Screen::kRows - 1;
// The longest parameter text of an ESC [ sequence the set knows is "02;20"; a few more digits
// are allowed, and a longer run is no sequence of this display and is dropped, so that a lost
// final byte cannot swallow the text that follows.
constexpr std::size_t kLongestParameters = 8;

// ESC R 30..37: the tables for bytes 80..FF. 32 is taken to be PC852 (its name is Latin 2);
// 33 (Turkish), 36 (Greek) and 37 (Hebrew) have no table in this display.
struct Ba63Table {
    std::uint8_t code;
    const char *name;
    std::optional<CodeTable> table;
};
constexpr Ba63Table kTables[] = {
    {0x30, "PC437", CodeTable::Pc437}, {0x31, "PC850", CodeTable::Pc850},
    {0x32, "PC852", CodeTable::Pc852}, {0x33, "PC857", std::nullopt},
    {0x34, "PC858", CodeTable::Pc858}, {0x35, "PC866", CodeTable::Pc866},
    {0x36, "PC737", std::nullopt},     {0x37, "PC862", std::nullopt},
};

// A decimal parameter of ESC [: empty is absent, otherwise digits only (leading zeros allowed).
std::optional<int> parameterOf(std::string_view text) {
    int value = 0;
    for (char digit : text) {
        if (!std::isdigit(static_cast<unsigned char>(digit)))
            return std::nullopt;
        value = value * 10 + (digit - '0');
    }
    return value;
}

} // namespace

Ba63Interpreter::Ba63Interpreter(Context &context) : Interpreter(context), m_commands(commands()) {}

PowerOn Ba63Interpreter::powerOnState() const {
    // The units sold in Germany leave the factory with the German national set.
    return PowerOn{WriteMode::Overwrite, CodeTable::Pc437, false, CursorStyle::Underline,
                   NationalSet::Germany};
}

void Ba63Interpreter::powerOn() {
    m_wrapPending = false;
    Interpreter::powerOn();
}

CommandTable Ba63Interpreter::commands() {
    Screen &screen = this->screen();
    Context &context = m_context;
    const std::string escR{static_cast<char>(kEscape), 'R'};
    return {
        {leadByte(0x08), 0, "BS", Msg::CursorLeft,
         [this, &screen](auto) {
             m_wrapPending = false;
             if (screen.cursorColumn() == 0)
                 return Done::refused(m_context.say(Msg::Ba63BackspaceAtStart));
             screen.setCursor(screen.cursorRow(), screen.cursorColumn() - 1);
             return Done{};
         }},
        {leadByte(kLineFeed), 0, "LF", Msg::LineFeed,
         [this, &screen](auto) {
             m_wrapPending = false;
             if (screen.cursorRow() < kLastRow)
                 screen.setCursor(screen.cursorRow() + 1, screen.cursorColumn());
             else
                 screen.scrollUp();
             return Done{};
         }},
        {leadByte(kCarriageReturn), 0, "CR", Msg::LineStart,
         [this, &screen](auto) {
             m_wrapPending = false;
             screen.carriageReturn();
             return Done{};
         }},
        {escR, 1, "ESC R", Msg::WriteModeIs,
         [&screen, &context](std::string_view p) {
             const std::uint8_t n = byteAt(p, 0);
             if (const auto set = epsonNationalSet(n)) {
                 screen.setNationalSet(*set);
                 return Done{
                     {context.say(Msg::NationalSetIs, {nationalSetName(*set, context.language)})}};
             }
             for (const Ba63Table &entry : kTables) {
                 if (entry.code != n)
                     continue;
                 if (!entry.table)
                     return Done::refused(
                         context.say(Msg::Ba63NoTable,
                                     {hexByte(n), entry.name, codeTableName(screen.codeTable())}));
                 screen.setCodeTable(*entry.table);
                 return Done{{context.say(Msg::CodeTableIs, {codeTableName(*entry.table)})}};
             }
             return Done::refused(context.say(Msg::Ba63NoCountry, {hexByte(n)}));
         }},
    };
}

// A printable byte at the cursor. Column 20 keeps the cursor: with pending wrap the next
// printable byte first goes to the start of the next line (scrolling on the last), with clamp it
// overwrites column 20.
void Ba63Interpreter::write(std::uint8_t byte) {
    Screen &screen = this->screen();
    if (m_wrapPending) {
        m_wrapPending = false;
        if (screen.cursorRow() < kLastRow) {
            screen.setCursor(screen.cursorRow() + 1, 0);
        } else {
            screen.scrollUp();
            screen.setCursor(kLastRow, 0);
        }
    }
    const int row = screen.cursorRow();
    const int column = screen.cursorColumn();
    screen.putByte(byte);
    if (column == kLastColumn) {
        screen.setCursor(row, kLastColumn);
        m_wrapPending = m_context.options.pendingWrap;
    }
}

Parse Ba63Interpreter::parse(std::string_view pending) {
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
        // 0C and the other control bytes are no commands of this display: ignored.
        return refuse(pending.substr(0, 1), Msg::MeaninglessControlInSet,
                      {emulationTitle(Emulation::Ba63)});
    if (pending.size() < 2)
        return Parse::incomplete();
    const std::uint8_t second = byteAt(pending, 1);
    if (second == '[')
        return controlSequence(pending);
    // ESC and a byte 30..7E is a whole escape sequence on a VT100; a control byte or anything
    // else after ESC is read afresh, so that no text is lost.
    if (second >= 0x30 && second <= 0x7E)
        return refuse(pending.substr(0, 2), Msg::Ba63EscapeUnknown, {hexByte(second)});
    return refuse(pending.substr(0, 1), Msg::Ba63EscapeUnknown, {hexByte(second)});
}

// ESC [, parameters of digits and ';', and a final byte 40..7E.
Parse Ba63Interpreter::controlSequence(std::string_view pending) {
    std::size_t end = 2;
    while (end < pending.size() &&
           (std::isdigit(static_cast<unsigned char>(pending[end])) || pending[end] == ';'))
        ++end;
    if (end - 2 > kLongestParameters)
        return refuse(pending.substr(0, 2 + kLongestParameters + 1), Msg::EscBracketWithoutLetter);
    if (end == pending.size())
        return Parse::incomplete();
    const std::uint8_t final = byteAt(pending, end);
    if (final < 0x40 || final > 0x7E)
        return refuse(pending.substr(0, end), Msg::Ba63SequenceBroken, {hexByte(final)});
    const std::string parameters(pending.substr(2, end - 2));
    const std::string_view bytes = pending.substr(0, end + 1);
    const std::string shown =
        "ESC [ " + (parameters.empty() ? "" : parameters + " ") + static_cast<char>(final);
    switch (final) {
    case 'H': return position(bytes, parameters);
    case 'J':
        if (parameters != "2")
            return refuse(bytes, Msg::Ba63ParameterUnknown, {shown, parameters, "2"});
        {
            // The display clears every cell and leaves the cursor where it was.
            const int row = screen().cursorRow();
            const int column = screen().cursorColumn();
            screen().clear();
            screen().setCursor(row, column);
        }
        m_wrapPending = false;
        return m_context.take(bytes, Msg::Ba63Clear);
    case 'K':
        if (!parameters.empty() && parameters != "0")
            return refuse(bytes, Msg::Ba63ParameterUnknown, {shown, parameters, "0"});
        screen().clearToEndOfLine();
        m_wrapPending = false;
        return m_context.take(bytes, Msg::Ba63ClearToLineEnd, {shown});
    case 'c':
        if (!parameters.empty() && parameters != "0")
            return refuse(bytes, Msg::Ba63ParameterUnknown, {shown, parameters, "0"});
        return identification(bytes);
    default: return refuse(bytes, Msg::Ba63SequenceUnknown, {std::string(1, char(final))});
    }
}

// ESC [ Py ; Px H: line and column in decimal from 1; a 0 leaves that coordinate as it is, an
// absent one counts as 1 (ESC [ H is home).
Parse Ba63Interpreter::position(std::string_view bytes, const std::string &parameters) {
    const std::size_t semicolon = parameters.find(';');
    const std::string rowText = parameters.substr(0, semicolon);
    const std::string columnText =
        semicolon == std::string::npos ? std::string() : parameters.substr(semicolon + 1);
    if (columnText.find(';') != std::string::npos)
        return refuse(bytes, Msg::Ba63TooManyParameters, {"ESC [ " + parameters + " H"});
    const std::optional<int> row = rowText.empty() ? 1 : parameterOf(rowText);
    const std::optional<int> column = columnText.empty() ? 1 : parameterOf(columnText);
    const int line = *row == 0 ? screen().cursorRow() + 1 : *row;
    const int at = *column == 0 ? screen().cursorColumn() + 1 : *column;
    if (line > Screen::kRows || at > Screen::kColumns)
        return refuse(bytes, Msg::Ba63OutsideDisplay, {number(line), number(at)});
    screen().setCursor(line - 1, at - 1);
    m_wrapPending = false;
    return m_context.take(bytes, Msg::Ba63CursorAt, {number(line), number(at)});
}

// ESC [ 0 c: the answer is the one chosen in the options; by default none, as the format of the
// real display's answer is not documented.
Parse Ba63Interpreter::identification(std::string_view bytes) {
    const std::optional<std::string> &answer = m_context.options.identification;
    if (!answer || answer->empty())
        return m_context.take(bytes, Msg::Ba63NoIdentification);
    m_context.command(bytes, Msg::Ba63Identification);
    m_context.answer(*answer);
    return Parse::done(bytes.size());
}

} // namespace kd::sim
