#include "model/emulation/aedex.h"

#include "encoding/control_bytes.h"

#include <algorithm>
#include <cstdio>

namespace kd::sim {
namespace {

// Data of one line command: up to 60 characters (the longest the manuals allow for a scroll).
constexpr std::size_t kMaxData = 60;
constexpr int kScrollIntervalMs = 300;
constexpr std::string_view kPowerOnAttention = "!#";

std::string shown(std::string_view code) {
    std::string text;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const std::uint8_t byte = byteAt(code, i);
        text += byte >= 0x20 ? std::string(1, code[i]) : "<" + hexByte(byte) + ">";
    }
    return "\"" + text + "\"";
}

} // namespace

void AedexInterpreter::powerOn() {
    m_attention = kPowerOnAttention;
    Interpreter::powerOn();
}

PowerOn AedexInterpreter::powerOnState() const {
    return PowerOn{WriteMode::Overwrite, CodeTable::Pc437, false, CursorStyle::Underline,
                   std::nullopt};
}

std::string AedexInterpreter::stateNote() const {
    return m_context.say(Msg::AttentionCode, {shown(m_attention)});
}

Parse AedexInterpreter::parse(std::string_view pending) {
    // Is this the attention code, or could it still become it?
    const std::size_t compare = std::min(pending.size(), m_attention.size());
    if (pending.substr(0, compare) != std::string_view(m_attention).substr(0, compare)) {
        m_context.text(byteAt(pending, 0), false);
        return Parse::done(1);
    }
    if (pending.size() <= m_attention.size())
        return Parse::incomplete();
    std::size_t end = m_attention.size();
    while (end < pending.size() && byteAt(pending, end) != kCarriageReturn &&
           end - m_attention.size() <= kMaxData + 1)
        ++end;
    if (end - m_attention.size() > kMaxData + 1)
        return refuse(pending.substr(0, end), Msg::AedexWithoutCr, {std::to_string(kMaxData)});
    if (end == pending.size())
        return Parse::incomplete();
    return lineCommand(pending, end);
}

Parse AedexInterpreter::lineCommand(std::string_view pending, std::size_t end) {
    Screen &screen = this->screen();
    const std::string_view bytes = pending.substr(0, end + 1);
    const std::size_t start = m_attention.size();
    if (end == start)
        return refuse(bytes, Msg::AttentionWithoutCommand);
    const char command = pending[start];
    std::u16string data;
    for (std::size_t i = start + 1; i < end; ++i)
        data.push_back(textGlyphOf(byteAt(pending, i), screen.codeTable(), screen.nationalSet()));
    const std::u16string firstLine = data.substr(0, Screen::kColumns);
    switch (command) {
    case '1':
        screen.writeLine(0, firstLine);
        return m_context.take(bytes, Msg::AedexLine, {"1", "1"});
    case '2':
        screen.writeLine(1, firstLine);
        return m_context.take(bytes, Msg::AedexLine, {"2", "2"});
    case '9':
        screen.writeLine(0, firstLine);
        screen.writeLine(1, data.size() > Screen::kColumns
                                ? data.substr(Screen::kColumns, Screen::kColumns)
                                : std::u16string());
        return m_context.take(bytes, Msg::AedexBothLines);
    case '4':
        screen.startMarquee(0, data + u' ', kScrollIntervalMs, false);
        return m_context.take(bytes, Msg::AedexScrollContinuous);
    case '6':
        screen.startMarquee(0, data, kScrollIntervalMs, true);
        return m_context.take(bytes, Msg::AedexScrollOnce);
    case '5': {
        // The given time, or the clock's.
        std::u16string time = data;
        if (time.empty()) {
            const TimeOfDay now = m_context.clock();
            char text[8];
            std::snprintf(text, sizeof text, "%02d:%02d", now.hours % 100, now.minutes % 100);
            time.assign(text, text + 5);
        }
        screen.writeLine(1, time);
        return m_context.take(bytes, Msg::AedexTime);
    }
    case '8': {
        if (end - start != 3)
            return refuse(bytes, Msg::AedexAttentionLength);
        const std::string previous = m_attention;
        m_attention = std::string(pending.substr(start + 1, 2));
        return m_context.take(bytes, Msg::AedexNewAttention, {shown(previous), shown(m_attention)});
    }
    case 'A':
        m_context.command(bytes, Msg::AedexReset);
        powerOn();
        return Parse::done(bytes.size());
    case '7': return m_context.take(bytes, Msg::AedexFilterIgnored);
    default:
        return refuse(bytes, Msg::UnknownCommand,
                      {"AEDEX " + shown(std::string_view(&command, 1))});
    }
}

} // namespace kd::sim
