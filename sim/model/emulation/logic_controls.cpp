#include "model/emulation/logic_controls.h"

namespace kd::sim {
namespace {

constexpr std::uint8_t kCr = 0x0D;
constexpr std::size_t kMessageLimit = 45;
constexpr int kMessageStepMs = 300;

std::string brightnessOf(int n) {
    switch (n) {
    case 0xFF: return "100";
    case 0x60: return "60";
    case 0x40: return "40";
    case 0x20: return "20";
    default: return {};
    }
}

} // namespace

PowerOn logicControlsPowerOn() {
    return PowerOn{WriteMode::VerticalScroll, CodeTable::Pc437, true, false, CursorStyle::Block};
}

void LogicControlsInterpreter::powerOn() {
    m_ibmMode = false;
    screen().powerOn(logicControlsPowerOn());
}

Step LogicControlsInterpreter::step(std::string_view pending) {
    Screen &screen = this->screen();
    const int first = byteAt(pending, 0);
    const auto one = pending.substr(0, 1);
    if (printable(static_cast<std::uint8_t>(first))) {
        if (!screen.putByte(static_cast<std::uint8_t>(first)))
            return refuse(one, "kein Zeichen in " + codeTableName(screen.codeTable()));
        m_context.text(static_cast<std::uint8_t>(first));
        return Step::done(1);
    }
    const auto needs = [&](std::size_t length) { return pending.size() < length; };
    // A running message stops at anything that moves the cursor or writes.
    if (first != 0x04 && first != 0x13 && first != 0x14)
        screen.stopMarquees();
    switch (first) {
    case 0x08:
        screen.cursorLeft(true);
        return m_context.take(one, "BS: Cursor links, Zeichen löschen");
    case 0x09: screen.cursorRight(); return m_context.take(one, "HT: Cursor rechts");
    case 0x0A: screen.cursorDown(); return m_context.take(one, "LF: Zeilenvorschub");
    case 0x0D:
        screen.carriageReturn();
        return m_context.take(one, "CR: Cursor an den Zeilenanfang");
    case 0x11:
        screen.setMode(WriteMode::Overwrite);
        return m_context.take(one, "DC1: normale Anzeige (Umbruch)");
    case 0x12:
        screen.setMode(WriteMode::VerticalScroll);
        return m_context.take(one, "DC2: vertikal rollen");
    case 0x13: screen.setCursorVisible(true); return m_context.take(one, "13: Cursor an");
    case 0x14: screen.setCursorVisible(false); return m_context.take(one, "14: Cursor aus");
    case 0x1C: screen.setBlinkingText(true); return m_context.take(one, "1C: blinkender Text an");
    case 0x1D: screen.setBlinkingText(false); return m_context.take(one, "1D: blinkender Text aus");
    case 0x1F:
        m_context.command(one, "1F: Reset");
        powerOn();
        return Step::done(1);
    case 0x0F:
        m_context.command(one, "0F: Selbsttest, dann Reset");
        powerOn();
        return Step::done(1);
    case 0x04: {
        if (needs(2))
            return Step::incomplete();
        const std::string percent = brightnessOf(byteAt(pending, 1));
        if (percent.empty())
            return refuse(pending.substr(0, 2),
                          "04 " + hexByte(pending[1]) + ": Helligkeit 20, 40, 60 oder FF");
        screen.setBrightness(std::stoi(percent));
        return m_context.take(pending.substr(0, 2),
                              "04 " + hexByte(pending[1]) + " → Helligkeit " + percent + " %");
    }
    case 0x10: {
        if (needs(2))
            return Step::incomplete();
        const int position = byteAt(pending, 1);
        if (position > 0x27)
            return refuse(pending.substr(0, 2),
                          "10 " + hexByte(pending[1]) + ": Position über 27 ignoriert");
        screen.setCursor(position / Screen::kColumns, position % Screen::kColumns);
        return m_context.take(pending.substr(0, 2),
                              "10 " + hexByte(pending[1]) + ": Cursor Zeile " +
                                  std::to_string(position / Screen::kColumns + 1) + ", Spalte " +
                                  std::to_string(position % Screen::kColumns + 1));
    }
    case 0x05: {
        std::size_t end = 1;
        while (end < pending.size() && byteAt(pending, end) >= 0x20)
            ++end;
        if (end == pending.size())
            return Step::incomplete();
        if (byteAt(pending, end) != kCr)
            return refuse(pending.substr(0, end), "05 ohne abschließendes CR");
        std::u16string text;
        for (std::size_t i = 1; i < end && text.size() < kMessageLimit; ++i)
            text.push_back(textGlyphOf(static_cast<std::uint8_t>(pending[i]), screen.codeTable(),
                                       screen.nationalSet()));
        screen.startMarquee(0, text + u' ', kMessageStepMs, false);
        return m_context.take(pending.substr(0, end + 1), "05: Laufschrift in Zeile 1");
    }
    case 0x03: {
        // 03 X and five column bytes: redefines the character X.
        if (needs(7))
            return Step::incomplete();
        Glyph glyph{};
        for (std::size_t i = 0; i < glyph.size(); ++i)
            glyph[i] = static_cast<std::uint8_t>(pending[2 + i]);
        screen.defineUserCharacter(static_cast<std::uint8_t>(pending[1]), glyph);
        screen.setUserCharactersSelected(true);
        return m_context.take(pending.substr(0, 7),
                              "03: eigenes Zeichen " + hexByte(pending[1]) + " definiert");
    }
    case 0x00: {
        if (needs(2))
            return Step::incomplete();
        const int mode = byteAt(pending, 1);
        if (mode > 1)
            return refuse(pending.substr(0, 2), "00 " + hexByte(pending[1]) + ": kein Modus");
        m_ibmMode = mode == 1;
        return m_context.take(pending.substr(0, 2),
                              mode == 1 ? "00 01: IBM-Modus" : "00 00: Logic-Controls-Modus");
    }
    case 0x02: {
        if (needs(2))
            return Step::incomplete();
        if (!m_ibmMode)
            return refuse(pending.substr(0, 2), "02 nn gilt nur im IBM-Modus (00 01)");
        const auto table = ibmCodeTable(byteAt(pending, 1));
        if (!table)
            return refuse(pending.substr(0, 2), "02 " + hexByte(pending[1]) +
                                                    ": keine solche Codeseite, bleibt " +
                                                    codeTableName(screen.codeTable()));
        screen.setCodeTable(*table);
        return m_context.take(pending.substr(0, 2),
                              "02 " + hexByte(pending[1]) + " → " + codeTableName(*table));
    }
    case 0x1B: return escape(pending);
    default:
        // Undefined bytes 00..1F are ignored, as the set defines it.
        return refuse(one, "Steuerbyte ohne Bedeutung im Befehlssatz Logic Controls");
    }
}

// ESC % n chooses the code page; the IBM mode's ESC [ commands clear and place the cursor.
Step LogicControlsInterpreter::escape(std::string_view pending) {
    Screen &screen = this->screen();
    if (pending.size() < 3)
        return Step::incomplete();
    if (pending[1] == '%') {
        const auto table = logicControlsCodeTable(byteAt(pending, 2));
        if (!table)
            return refuse(pending.substr(0, 3),
                          "ESC % " + hexByte(pending[2]) + ": keine solche Codeseite");
        screen.setCodeTable(*table);
        return m_context.take(pending.substr(0, 3), "ESC % " + std::to_string(byteAt(pending, 2)) +
                                                        " → " + codeTableName(*table));
    }
    if (pending[1] == '[' && m_ibmMode) {
        // ESC [ Py ; Px H, ESC [ 2 J, ESC [ 0 K: up to a letter.
        std::size_t end = 2;
        while (end < pending.size() && end < 10 &&
               (std::isdigit(static_cast<unsigned char>(pending[end])) || pending[end] == ';'))
            ++end;
        if (end == pending.size())
            return end >= 10 ? refuse(pending, "ESC [ ohne Befehlsbuchstaben") : Step::incomplete();
        const std::string parameters(pending.substr(2, end - 2));
        const auto bytes = pending.substr(0, end + 1);
        switch (pending[end]) {
        case 'J': screen.clear(); return m_context.take(bytes, "ESC [ 2 J: Display löschen");
        case 'K':
            screen.clearToEndOfLine();
            return m_context.take(bytes, "ESC [ 0 K: bis Zeilenende löschen");
        case 'H': {
            const std::size_t semicolon = parameters.find(';');
            const int row = semicolon == std::string::npos ? 1 : std::atoi(parameters.c_str());
            const int column =
                semicolon == std::string::npos ? 1 : std::atoi(parameters.c_str() + semicolon + 1);
            screen.setCursor(std::max(row, 1) - 1, std::max(column, 1) - 1);
            return m_context.take(bytes, "ESC [ H: Cursor Zeile " +
                                             std::to_string(std::max(row, 1)) + ", Spalte " +
                                             std::to_string(std::max(column, 1)));
        }
        default: return refuse(bytes, "ESC [ … " + std::string(1, pending[end]) + " unbekannt");
        }
    }
    return refuse(pending.substr(0, 2),
                  "ESC " + hexByte(pending[1]) + " unbekannt im Befehlssatz Logic Controls");
}

} // namespace kd::sim
