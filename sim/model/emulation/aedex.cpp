#include "model/emulation/aedex.h"

#include <ctime>

namespace kd::sim {
namespace {

constexpr std::uint8_t kCr = 0x0D;
// Data of one line command: up to 60 characters (the longest the manuals allow for a scroll).
constexpr std::size_t kMaxData = 60;
constexpr int kScrollStepMs = 300;

std::string shown(const std::string &code) {
    std::string text;
    for (char c : code)
        text += static_cast<unsigned char>(c) >= 0x20 ? std::string(1, c) : "<" + hexByte(c) + ">";
    return "\"" + text + "\"";
}

} // namespace

void AedexInterpreter::powerOn() {
    m_attention = "!#";
    screen().powerOn(
        PowerOn{WriteMode::Overwrite, CodeTable::Pc437, false, false, CursorStyle::Underline});
}

std::string AedexInterpreter::stateNote() const {
    return "Attention-Code " + shown(m_attention);
}

Step AedexInterpreter::step(std::string_view pending) {
    // Is this the attention code, or could it still become it?
    const std::size_t compare = std::min(pending.size(), m_attention.size());
    if (pending.substr(0, compare) != std::string_view(m_attention).substr(0, compare)) {
        m_context.text(static_cast<std::uint8_t>(pending[0]), false);
        return Step::done(1);
    }
    if (pending.size() <= m_attention.size())
        return Step::incomplete();
    std::size_t end = m_attention.size();
    while (end < pending.size() && static_cast<std::uint8_t>(pending[end]) != kCr &&
           end - m_attention.size() <= kMaxData + 1)
        ++end;
    if (end - m_attention.size() > kMaxData + 1)
        return refuse(pending.substr(0, end),
                      "AEDEX-Befehl ohne CR nach " + std::to_string(kMaxData) + " Zeichen");
    if (end == pending.size())
        return Step::incomplete();
    return lineCommand(pending, end);
}

Step AedexInterpreter::lineCommand(std::string_view pending, std::size_t end) {
    Screen &screen = this->screen();
    const std::string_view bytes = pending.substr(0, end + 1);
    const std::size_t start = m_attention.size();
    if (end == start)
        return refuse(bytes, "Attention-Code ohne Befehl");
    const char command = pending[start];
    std::u16string data;
    for (std::size_t i = start + 1; i < end; ++i) {
        const auto byte = static_cast<std::uint8_t>(pending[i]);
        data.push_back(textGlyphOf(byte, screen.codeTable(), screen.nationalSet()));
    }
    const auto firstLine = [&] { return data.substr(0, Screen::kColumns); };
    switch (command) {
    case '1':
        screen.writeLine(0, firstLine());
        return m_context.take(bytes, "AEDEX 1: Text in Zeile 1");
    case '2':
        screen.writeLine(1, firstLine());
        return m_context.take(bytes, "AEDEX 2: Text in Zeile 2");
    case '9':
        screen.writeLine(0, firstLine());
        screen.writeLine(1, data.size() > Screen::kColumns
                                ? data.substr(Screen::kColumns, Screen::kColumns)
                                : std::u16string());
        return m_context.take(bytes, "AEDEX 9: Text in beiden Zeilen");
    case '4':
        screen.startMarquee(0, data + u' ', kScrollStepMs, false);
        return m_context.take(bytes, "AEDEX 4: Lauftext in Zeile 1, fortlaufend");
    case '6':
        screen.startMarquee(0, data, kScrollStepMs, true);
        return m_context.take(bytes, "AEDEX 6: Lauftext in Zeile 1, einmal");
    case '5': {
        std::u16string time = data;
        if (time.empty()) {
            std::time_t now = std::time(nullptr);
            std::tm local{};
            ::localtime_r(&now, &local);
            char text[8];
            std::snprintf(text, sizeof text, "%02d:%02d", local.tm_hour, local.tm_min);
            time.assign(text, text + 5);
        }
        screen.writeLine(1, time);
        return m_context.take(bytes, "AEDEX 5: Uhrzeit in Zeile 2");
    }
    case '8': {
        if (end - start != 3)
            return refuse(bytes, "AEDEX 8 braucht genau zwei Zeichen");
        const std::string previous = m_attention;
        m_attention = std::string(pending.substr(start + 1, 2));
        return m_context.take(bytes, "AEDEX 8: Attention-Code " + shown(previous) + " → " +
                                         shown(m_attention));
    }
    case 'A':
        m_context.command(bytes, "AEDEX A: Reset");
        powerOn();
        return Step::done(bytes.size());
    case '7': return m_context.take(bytes, "AEDEX 7: Zeichenfilter, ignoriert");
    default:
        return refuse(bytes,
                      std::string("AEDEX-Befehl ") + shown(std::string(1, command)) + " unbekannt");
    }
}

} // namespace kd::sim
