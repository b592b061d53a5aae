#include "model/emulation/utc_enhanced.h"

#include "encoding/control_bytes.h"
#include "model/emulation/attention_code.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace kd::sim {
namespace {

constexpr std::string_view kPowerOnAttention = "\x1B"
                                               "u";
// Data of one command: up to 60 characters; a longer one has lost its CR.
constexpr std::size_t kMaxData = 60;
constexpr std::size_t kMarqueeLimit = 45;
constexpr int kScrollIntervalMs = 300;
constexpr std::uint8_t kEscD = 0x64;
constexpr std::uint8_t kRecordSeparator = 0x1E;
constexpr std::uint8_t kShiftIn = 0x0F;

bool digits(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

} // namespace

UtcEnhancedInterpreter::UtcEnhancedInterpreter(Context &context)
    : Interpreter(context), m_standard(context), m_attention(kPowerOnAttention) {}

PowerOn UtcEnhancedInterpreter::powerOnState() const {
    return PowerOn{WriteMode::Overwrite, CodeTable::Pc437, false, CursorStyle::Underline,
                   std::nullopt};
}

void UtcEnhancedInterpreter::powerOn() {
    m_direct = false;
    m_attention = kPowerOnAttention;
    m_standard.powerOn();
    Interpreter::powerOn();
}

std::string UtcEnhancedInterpreter::stateNote() const {
    std::string note = m_context.say(
        Msg::UtcModeNote, {m_context.say(m_direct ? Msg::UtcDirect : Msg::UtcPassThrough),
                           attentionText(m_attention)});
    if (const std::string standard = m_standard.stateNote(); m_direct && !standard.empty())
        note += ", " + standard;
    return note;
}

void UtcEnhancedInterpreter::discardPending() {
    Interpreter::discardPending();
    m_standard.discardPending();
}

Parse UtcEnhancedInterpreter::parse(std::string_view pending) {
    if (m_direct)
        return direct(pending);
    const AttentionLine line = findAttentionLine(pending, m_attention, kMaxData);
    switch (line.kind) {
    case AttentionLine::NotAttention: break;
    case AttentionLine::Incomplete: return Parse::incomplete();
    case AttentionLine::WithoutCr:
        return refuse(pending.substr(0, line.end), Msg::UtcWithoutCr, {number(kMaxData)});
    case AttentionLine::Complete: return lineCommand(pending, line.end);
    }
    if (byteAt(pending, 0) == kEscape)
        return escape(pending);
    m_context.text(byteAt(pending, 0), false);
    return Parse::done(1);
}

// In pass-through mode: ESC RS and ESC 0F CR go to direct mode; any other ESC passes on.
Parse UtcEnhancedInterpreter::escape(std::string_view pending) {
    if (pending.size() < 2)
        return Parse::incomplete();
    const std::uint8_t second = byteAt(pending, 1);
    if (second == kRecordSeparator) {
        toDirect(pending.substr(0, 2));
        return Parse::done(2);
    }
    if (second == kEscD)
        return m_context.take(pending.substr(0, 2), Msg::UtcToPassThrough);
    if (second == kShiftIn) {
        if (pending.size() < 3)
            return Parse::incomplete();
        if (byteAt(pending, 2) != kCarriageReturn)
            return refuse(pending.substr(0, 2), Msg::WithoutClosingCr, {"ESC 0F"});
        toDirect(pending.substr(0, 3));
        return Parse::done(3);
    }
    m_context.text(byteAt(pending, 0), false);
    return Parse::done(1);
}

void UtcEnhancedInterpreter::toDirect(std::string_view bytes) {
    m_context.command(bytes, Msg::UtcToDirect, {bytes.size() == 2 ? "ESC RS" : "ESC 0F CR"});
    m_direct = true;
    // The screen keeps what it shows and takes the direct mode's write mode and cursor.
    screen().adoptSettings(m_standard.powerOnState());
}

// In direct mode the Logic Controls set reads every byte, except an ESC d that starts no command
// of its own: that returns to pass-through.
Parse UtcEnhancedInterpreter::direct(std::string_view pending) {
    if (!m_standard.idle() || byteAt(pending, 0) != kEscape) {
        m_standard.feed(byteAt(pending, 0));
        return Parse::done(1);
    }
    if (pending.size() < 2)
        return Parse::incomplete();
    if (byteAt(pending, 1) != kEscD) {
        m_standard.feed(byteAt(pending, 0));
        return Parse::done(1);
    }
    m_context.command(pending.substr(0, 2), Msg::UtcToPassThrough);
    m_direct = false;
    screen().stopMarquees();
    screen().adoptSettings(powerOnState());
    return Parse::done(2);
}

std::string UtcEnhancedInterpreter::commandName(char letter) const {
    const std::string code =
        m_attention == kPowerOnAttention ? "ESC u" : attentionText(m_attention);
    return code + " " + std::string(1, letter);
}

Parse UtcEnhancedInterpreter::lineCommand(std::string_view pending, std::size_t end) {
    Screen &screen = this->screen();
    const std::string_view bytes = pending.substr(0, end + 1);
    const std::size_t start = m_attention.size();
    if (end == start)
        return refuse(bytes, Msg::AttentionWithoutCommand);
    const char letter = pending[start];
    const std::string name = commandName(letter);
    const std::string_view raw = pending.substr(start + 1, end - start - 1);
    std::u16string data;
    for (std::size_t i = 0; i < raw.size(); ++i)
        data.push_back(textGlyphOf(byteAt(raw, i), screen.codeTable(), screen.nationalSet()));
    // What a command with room for `limit` characters leaves out, for the log.
    const auto ignored = [&](std::size_t limit) {
        return data.size() > limit ? m_context.say(Msg::CharactersIgnored,
                                                   {number(static_cast<int>(data.size() - limit)),
                                                    number(static_cast<int>(limit))})
                                   : std::string();
    };
    constexpr std::size_t kColumns = Screen::kColumns;
    switch (letter) {
    case 'A':
    case 'B': {
        const int row = letter == 'A' ? 0 : 1;
        screen.writeLine(row, data.substr(0, kColumns));
        return m_context.take(bytes, Msg::TextOnLine, {name, number(row + 1), ignored(kColumns)});
    }
    case 'I':
        screen.writeLine(0, data.substr(0, kColumns));
        screen.writeLine(1, data.size() > kColumns ? data.substr(kColumns, kColumns)
                                                   : std::u16string());
        return m_context.take(bytes, Msg::UtcBothLines, {name, ignored(2 * kColumns)});
    case 'D':
        screen.startMarquee(0, data.substr(0, kMarqueeLimit) + u' ', kScrollIntervalMs, false);
        return m_context.take(bytes, Msg::MarqueeOnLine1, {name, ignored(kMarqueeLimit)});
    case 'F':
        screen.startMarquee(0, data.substr(0, kMarqueeLimit), kScrollIntervalMs, true);
        return m_context.take(bytes, Msg::UtcMarqueeOnce, {name, ignored(kMarqueeLimit)});
    case 'E': {
        std::string time(raw);
        if (time.empty()) {
            const TimeOfDay now = m_context.clock();
            char text[8];
            std::snprintf(text, sizeof text, "%02d:%02d", now.hours % 100, now.minutes % 100);
            time = text;
        } else if (time.size() != 5 || time[2] != ':' || !digits(time.substr(0, 2)) ||
                   !digits(time.substr(3, 2)) || std::stoi(time.substr(0, 2)) > 23 ||
                   std::stoi(time.substr(3, 2)) > 59) {
            return refuse(bytes, Msg::UtcNoTime, {name, attentionText(raw)});
        }
        screen.writeLine(1, std::u16string(time.begin(), time.end()));
        return m_context.take(bytes, Msg::UtcTime, {name, time});
    }
    case 'H': {
        if (raw.size() != 2 || raw.find('\0') != std::string_view::npos)
            return refuse(bytes, Msg::UtcAttentionBytes, {name});
        const std::string previous = m_attention;
        m_attention = std::string(raw);
        return m_context.take(bytes, Msg::UtcNewAttention,
                              {name, attentionText(previous), attentionText(m_attention)});
    }
    default: return refuse(bytes, Msg::UnknownCommand, {name});
    }
}

} // namespace kd::sim
