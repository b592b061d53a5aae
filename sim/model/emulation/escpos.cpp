#include "model/emulation/escpos.h"

namespace kd::sim {
namespace {

constexpr std::uint8_t kEsc = 0x1B;

std::string peripheralName(int n) {
    switch (n) {
    case 1: return "Drucker";
    case 2: return "Display";
    default: return "Drucker und Display";
    }
}

} // namespace

PowerOn escPosPowerOn(Emulation dialect) {
    return PowerOn{WriteMode::Overwrite,
                   dialect == Emulation::Standard ? CodeTable::Windows1252 : CodeTable::Pc437,
                   false, false, CursorStyle::Underline};
}

int escPosBrightness(int level) {
    static constexpr int kPercent[] = {20, 40, 60, 100};
    return kPercent[level - 1];
}

EscPosInterpreter::EscPosInterpreter(Context &context, Emulation dialect)
    : Interpreter(context), m_dialect(dialect) {}

void EscPosInterpreter::feed(std::string_view bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = at;
        if (idle() && screen().peripheral() != Peripheral::Printer) {
            while (end < bytes.size() && printable(static_cast<std::uint8_t>(bytes[end])))
                ++end;
        }
        if (end == at) {
            Interpreter::feed(static_cast<std::uint8_t>(bytes[at++]));
            continue;
        }
        const std::size_t run = end - at;
        const std::size_t written = screen().putBytes(bytes.substr(at, run));
        m_context.textRun(bytes.substr(at, written));
        at += written;
        if (written < run) // a byte without a character takes the way that refuses it
            Interpreter::feed(static_cast<std::uint8_t>(bytes[at++]));
    }
}

void EscPosInterpreter::powerOn() {
    screen().powerOn(escPosPowerOn(m_dialect));
}

Step EscPosInterpreter::step(std::string_view pending) {
    if (screen().peripheral() == Peripheral::Printer)
        return toPrinter(pending);
    const auto first = static_cast<std::uint8_t>(pending[0]);
    if (printable(first)) {
        if (!screen().putByte(first))
            return refuse(pending.substr(0, 1),
                          "kein Zeichen in " + codeTableName(screen().codeTable()));
        m_context.text(first);
        return Step::done(1);
    }
    // A CD5220 marquee runs until the next command, which clears its line and homes the cursor.
    if (screen().marquee(0).endsOnCommand)
        screen().clearLine(0);
    for (const auto &table : {&EscPosInterpreter::shared, &EscPosInterpreter::control}) {
        const Step result = (this->*table)(pending);
        if (result.kind != Step::NotMine)
            return result;
    }
    if (const Step result = epsonCommand(pending, m_context, m_dialect);
        result.kind != Step::NotMine)
        return result;
    if (const Step result = cd5220Command(pending, m_context, m_dialect);
        result.kind != Step::NotMine)
        return result;
    if (m_dialect == Emulation::Standard) {
        if (const Step result = toolFrame(pending, m_context); result.kind != Step::NotMine)
            return result;
    }
    // An unknown ESC or US command is dropped with its command byte, so that the byte is not
    // drawn as text.
    if (first == kEsc || first == 0x1F) {
        if (pending.size() < 2)
            return Step::incomplete();
        return refuse(pending.substr(0, 2),
                      m_context.logging()
                          ? "unbekannter Befehl im Befehlssatz " + emulationTitle(m_dialect)
                          : std::string());
    }
    return refuse(pending.substr(0, 1),
                  m_context.logging()
                      ? "Steuerbyte ohne Bedeutung im Befehlssatz " + emulationTitle(m_dialect)
                      : std::string());
}

// While the printer alone is selected, everything but the selection itself is meant for it.
Step EscPosInterpreter::toPrinter(std::string_view pending) {
    if (static_cast<std::uint8_t>(pending[0]) == kEsc) {
        if (pending.size() < 2)
            return Step::incomplete();
        if (pending[1] == '=')
            return shared(pending);
    }
    m_context.text(static_cast<std::uint8_t>(pending[0]), false);
    return Step::done(1);
}

Step EscPosInterpreter::control(std::string_view pending) {
    const auto byte = static_cast<std::uint8_t>(pending[0]);
    const std::string_view bytes = pending.substr(0, 1);
    switch (byte) {
    case 0x08:
        m_context.command(bytes, "BS: Cursor links");
        screen().cursorLeft(false);
        break;
    case 0x09:
        m_context.command(bytes, "HT: Cursor rechts");
        screen().cursorRight();
        break;
    case 0x0A:
        m_context.command(bytes, "LF: Cursor eine Zeile tiefer");
        screen().cursorDown();
        break;
    case 0x0B:
        m_context.command(bytes, "HOM: Cursor oben links");
        screen().home();
        break;
    case 0x0C:
        m_context.command(bytes, "CLR: Display löschen");
        screen().clear();
        break;
    case 0x0D:
        m_context.command(bytes, "CR: Cursor an den Zeilenanfang");
        screen().carriageReturn();
        break;
    case 0x18:
        m_context.command(bytes, "CAN: Zeile des Cursors löschen");
        screen().clearLine(screen().cursorRow());
        break;
    default: return Step::notMine();
    }
    return Step::done(1);
}

// The ESC commands both sets have.
Step EscPosInterpreter::shared(std::string_view pending) {
    if (static_cast<std::uint8_t>(pending[0]) != kEsc)
        return Step::notMine();
    if (pending.size() < 2)
        return Step::incomplete();
    const char command = pending[1];
    switch (command) {
    case '@':
        m_context.command(pending.substr(0, 2), "ESC @: Initialisieren");
        powerOn();
        return Step::done(2);
    case '=': {
        if (pending.size() < 3)
            return Step::incomplete();
        int n = static_cast<std::uint8_t>(pending[2]);
        if (n >= '1' && n <= '3')
            n -= '0';
        if (n < 1 || n > 3)
            return refuse(pending.substr(0, 3), "ESC = " + hexByte(pending[2]) +
                                                    ": kein Gerät (1 Drucker, 2 Display, 3 beide)");
        m_context.command(pending.substr(0, 3),
                          "ESC = " + std::to_string(n) + " → " + peripheralName(n));
        screen().setPeripheral(n == 1   ? Peripheral::Printer
                               : n == 2 ? Peripheral::Display
                                        : Peripheral::Both);
        return Step::done(3);
    }
    case '%': {
        if (pending.size() < 3)
            return Step::incomplete();
        const bool selected = (pending[2] & 1) != 0;
        m_context.command(pending.substr(0, 3),
                          std::string("ESC % → eigene Zeichen ") + (selected ? "an" : "aus"));
        screen().setUserCharactersSelected(selected);
        return Step::done(3);
    }
    case '?': {
        if (pending.size() < 3)
            return Step::incomplete();
        m_context.command(pending.substr(0, 3),
                          "ESC ? " + hexByte(pending[2]) + ": eigenes Zeichen gelöscht");
        screen().removeUserCharacter(static_cast<std::uint8_t>(pending[2]));
        return Step::done(3);
    }
    case '&': {
        // ESC & 01 n m, then for each code from n to m: a (0..5) and a column bytes.
        if (pending.size() < 5)
            return Step::incomplete();
        const auto first = static_cast<std::uint8_t>(pending[3]);
        const auto last = static_cast<std::uint8_t>(pending[4]);
        if (pending[2] != 1 || first < 0x20 || last < first)
            return refuse(pending.substr(0, 5), "ESC & mit ungültigen Parametern");
        std::size_t at = 5;
        for (int code = first; code <= last; ++code) {
            if (pending.size() <= at)
                return Step::incomplete();
            const auto columns = static_cast<std::uint8_t>(pending[at]);
            if (columns > 5)
                return refuse(pending.substr(0, at + 1), "ESC &: mehr als 5 Spalten");
            if (pending.size() < at + 1 + columns)
                return Step::incomplete();
            at += 1 + columns;
        }
        at = 5;
        for (int code = first; code <= last; ++code) {
            const auto columns = static_cast<std::uint8_t>(pending[at]);
            Glyph glyph{};
            for (std::size_t i = 0; i < columns; ++i)
                glyph[i] = static_cast<std::uint8_t>(pending[at + 1 + i]);
            screen().defineUserCharacter(static_cast<std::uint8_t>(code), glyph);
            at += 1 + columns;
        }
        m_context.command(pending.substr(0, at), "ESC &: eigene Zeichen " + hexByte(first) +
                                                     " bis " + hexByte(last) + " definiert");
        return Step::done(at);
    }
    case 'W': return windowCommand(pending, m_context, m_dialect);
    default: return Step::notMine();
    }
}

Step windowCommand(std::string_view pending, Context &context, Emulation dialect) {
    if (pending.size() < 4)
        return Step::incomplete();
    const int n = static_cast<std::uint8_t>(pending[2]);
    const int m = static_cast<std::uint8_t>(pending[3]);
    const bool epsonForm = n >= 1 && n <= 4 && (m == 0 || m == 1 || m == '0' || m == '1');
    if (dialect == Emulation::Epson || (dialect == Emulation::Standard && epsonForm)) {
        const std::size_t length = (m == 1 || m == '1') ? 8 : 4;
        if (pending.size() < length)
            return Step::incomplete();
        context.command(pending.substr(0, length), "ESC W: Fenster " + std::to_string(n) +
                                                       (length == 8 ? " gesetzt" : " aufgehoben") +
                                                       " (nicht dargestellt)");
        return Step::done(length);
    }
    if (pending.size() < 6)
        return Step::incomplete();
    context.command(pending.substr(0, 6), std::string("ESC W: Fenster ") +
                                              (n & 1 ? "gesetzt" : "aufgehoben") +
                                              " (nicht dargestellt)");
    return Step::done(6);
}

} // namespace kd::sim
