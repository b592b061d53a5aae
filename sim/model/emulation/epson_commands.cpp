// The Epson customer-display commands: US (1F) commands, the Epson ESC commands and DLE.
#include "model/emulation/escpos.h"

#include "encoding/control_bytes.h"

#include <algorithm>
#include <cstdio>

namespace kd::sim {
namespace {

using Done = Expected<FixedCommand::Values>;

// The US commands that multi-set clones accept in CD5220 mode too.
bool hybridCommand(char command) {
    return std::string_view("\x01\x02\x03\x0A\x0D\x42\x40\x45").find(command) !=
           std::string_view::npos;
}

std::string timeText(TimeOfDay time) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", time.hours % 100, time.minutes % 100);
    return text;
}

std::string us(char command) {
    return {static_cast<char>(kUnitSeparator), command};
}

std::string esc(char command) {
    return {static_cast<char>(kEscape), command};
}

} // namespace

TimeOfDay EscPosInterpreter::timeCounter() const {
    const TimeOfDay now = m_context.clock();
    if (!m_counterSetTo)
        return now;
    return TimeOfDay::fromMinuteOfDay(m_counterSetTo->minuteOfDay() + now.minuteOfDay() -
                                      m_counterSetAt.minuteOfDay());
}

void EscPosInterpreter::showTime(TimeOfDay time) {
    const std::string text = timeText(time);
    screen().writeLine(1, std::u16string(Screen::kColumns - text.size(), u' ') +
                              std::u16string(text.begin(), text.end()));
}

CommandTable EscPosInterpreter::epsonCommands() {
    Screen &screen = this->screen();
    CommandTable table = {
        modeCommand(m_context, us(0x01), "US MD1", WriteMode::Overwrite),
        modeCommand(m_context, us(0x02), "US MD2", WriteMode::VerticalScroll),
        modeCommand(m_context, us(0x03), "US MD3", WriteMode::HorizontalScroll),
        cursorMove(m_context, us(0x0A), "US LF", Msg::CursorUp, &Screen::cursorUp),
        cursorMove(m_context, us(0x0D), "US CR", Msg::LineEnd, &Screen::lineEnd),
        cursorMove(m_context, us('B'), "US B", Msg::CursorBottomLeft, &Screen::bottomLeft),
        {us('@'), 0, "US @", Msg::SelfTest,
         [this](auto) {
             powerOn();
             return Done{};
         }},
        // n = 255 switches the display off; otherwise it blinks every n × 50 ms (0: steady).
        {us('E'), 1, "US E", Msg::Blink,
         [this, &screen](std::string_view p) {
             const int n = byteAt(p, 0);
             screen.setDisplayOn(n != 255);
             if (n == 255)
                 return Done{{m_context.say(Msg::DisplayOff)}};
             screen.setBlinkMs(n * 50);
             return Done{{n == 0 ? m_context.say(Msg::BlinkOff)
                                 : m_context.say(Msg::BlinkEvery, {number(n * 50)})}};
         }},
        cursorPlacement(us('$'), "US $"),
        switchCommand(m_context, us('C'), "US C", Msg::CursorShown, &Screen::setCursorVisible),
        brightnessCommand(us('X'), "US X"),
        switchCommand(m_context, us('r'), "US r", Msg::ReverseCharacters, &Screen::setReverse),
        {us('T'), 2, "US T", Msg::TimeCounterSet,
         [this](std::string_view p) {
             const TimeOfDay time{byteAt(p, 0), byteAt(p, 1)};
             if (time.hours > 23 || time.minutes > 59)
                 return Done::refused(
                     m_context.say(Msg::NoTimeOfDay, {number(time.hours), number(time.minutes)}));
             m_counterSetTo = time;
             m_counterSetAt = m_context.clock();
             showTime(time);
             return Done{{timeText(time)}};
         }},
        {us('U'), 0, "US U", Msg::TimeCounterShown,
         [this](auto) {
             const TimeOfDay time = timeCounter();
             showTime(time);
             return Done{{timeText(time)}};
         }},
        ignoredCommand(us('v'), 1, "US v", Msg::IgnoredNotShown),
        ignoredCommand(us('.'), 1, "US .", Msg::IgnoredNotShown),
        ignoredCommand(us(','), 1, "US ,", Msg::IgnoredNotShown),
        ignoredCommand(us(';'), 1, "US ;", Msg::IgnoredNotShown),
        ignoredCommand(us('#'), 2, "US #", Msg::IgnoredNotShown),
    };
    if (m_dialect == Emulation::Cd5220) {
        std::erase_if(table,
                      [](const FixedCommand &command) { return !hybridCommand(command.lead[1]); });
        return table;
    }
    table.push_back({esc('t'), 1, "ESC t", Msg::CodeTableIs, [this, &screen](std::string_view p) {
                         const int n = byteAt(p, 0);
                         const auto codeTable = epsonCodeTable(n);
                         if (!codeTable)
                             return Done::refused(m_context.say(
                                 Msg::NoCodeTable, {number(n), codeTableName(screen.codeTable())}));
                         screen.setCodeTable(*codeTable);
                         return Done{{codeTableName(*codeTable)}};
                     }});
    table.push_back({esc('R'), 1, "ESC R", Msg::NationalSetIs, [this, &screen](std::string_view p) {
                         const int n = byteAt(p, 0);
                         const auto set = epsonNationalSet(n);
                         if (!set)
                             return Done::refused(m_context.say(Msg::NoNationalSet, {number(n)}));
                         screen.setNationalSet(*set);
                         return Done{{nationalSetName(*set, m_context.language)}};
                     }});
    // Real-time requests want an answer the virtual display does not give.
    for (const char request : {'\x04', '\x05'})
        table.push_back({std::string{static_cast<char>(kDataLinkEscape), request}, 1, "DLE",
                         Msg::RealTimeIgnored, [](auto) { return Done{}; }});
    return table;
}

// US ( A / US ( E pL pH and pL + 256 pH bytes: settings of the display, not shown.
Parse EscPosInterpreter::epsonSettings(std::string_view pending) {
    if (m_dialect == Emulation::Cd5220 || byteAt(pending, 0) != kUnitSeparator ||
        pending.size() < 2 || pending[1] != '(')
        return Parse::notMine();
    if (pending.size() < 5)
        return Parse::incomplete();
    const std::size_t length =
        5 + static_cast<std::size_t>(byteAt(pending, 3)) + 256u * byteAt(pending, 4);
    if (pending.size() < length)
        return Parse::incomplete();
    return m_context.take(pending.substr(0, length), Msg::SettingIgnored,
                          {std::string(1, pending[2])});
}

} // namespace kd::sim
