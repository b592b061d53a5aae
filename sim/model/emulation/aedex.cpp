#include "model/emulation/aedex.h"

#include "encoding/control_bytes.h"
#include "model/emulation/attention_code.h"

#include <cstdio>

namespace kd::sim {
namespace {

// Data of one line command: up to 60 characters (the longest the manuals allow for a scroll).
constexpr std::size_t kMaxData = 60;
constexpr int kScrollIntervalMs = 300;
constexpr std::string_view kPowerOnAttention = "!#";

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
    return m_context.say(Msg::AttentionCode, {attentionText(m_attention)});
}

Parse AedexInterpreter::parse(std::string_view pending) {
    const AttentionLine line = findAttentionLine(pending, m_attention, kMaxData);
    switch (line.kind) {
    case AttentionLine::NotAttention:
        m_context.text(byteAt(pending, 0), false);
        return Parse::done(1);
    case AttentionLine::Incomplete: return Parse::incomplete();
    case AttentionLine::WithoutCr:
        return refuse(pending.substr(0, line.end), Msg::AedexWithoutCr, {std::to_string(kMaxData)});
    case AttentionLine::Complete: break;
    }
    return lineCommand(pending, line.end);
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
        return m_context.take(bytes, Msg::AedexNewAttention,
                              {attentionText(previous), attentionText(m_attention)});
    }
    case 'A':
        m_context.command(bytes, Msg::AedexReset);
        powerOn();
        return Parse::done(bytes.size());
    case '7': return m_context.take(bytes, Msg::AedexFilterIgnored);
    default:
        return refuse(bytes, Msg::UnknownCommand,
                      {"AEDEX " + attentionText(std::string_view(&command, 1))});
    }
}

} // namespace kd::sim
