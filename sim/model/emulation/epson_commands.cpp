// The Epson customer-display commands: US (1F) commands, the Epson ESC commands and DLE.
#include "model/emulation/escpos.h"

#include <ctime>

namespace kd::sim {
namespace {

constexpr std::uint8_t kUs = 0x1F;
constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kDle = 0x10;

// The US commands that multi-set clones accept in CD5220 mode too.
bool hybridCommand(int command) {
    return command == 0x01 || command == 0x02 || command == 0x03 || command == 0x0A ||
           command == 0x0D || command == 0x42 || command == 0x40 || command == 0x45;
}

std::u16string timeText(int hours, int minutes) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", hours % 100, minutes % 100);
    return std::u16string(text, text + 5);
}

Step usCommand(std::string_view pending, Context &context, Emulation dialect) {
    if (pending.size() < 2)
        return Step::incomplete();
    Screen &screen = context.screen;
    const int command = byteAt(pending, 1);
    if (dialect == Emulation::Cd5220 && !hybridCommand(command))
        return Step::notMine();
    const auto two = pending.substr(0, 2);
    const auto needs = [&](std::size_t length) { return pending.size() < length; };
    switch (command) {
    case 0x01:
        context.command(two, "US MD1: Überschreiben");
        screen.setMode(WriteMode::Overwrite);
        return Step::done(2);
    case 0x02:
        context.command(two, "US MD2: vertikal rollen");
        screen.setMode(WriteMode::VerticalScroll);
        return Step::done(2);
    case 0x03:
        context.command(two, "US MD3: horizontal rollen");
        screen.setMode(WriteMode::HorizontalScroll);
        return Step::done(2);
    case 0x0A:
        context.command(two, "US LF: Cursor eine Zeile höher");
        screen.cursorUp();
        return Step::done(2);
    case 0x0D:
        context.command(two, "US CR: Cursor ans Zeilenende");
        screen.lineEnd();
        return Step::done(2);
    case 0x42:
        context.command(two, "US B: Cursor unten links");
        screen.bottomLeft();
        return Step::done(2);
    case 0x40:
        context.command(two, "US @: Selbsttest, dann Grundzustand");
        screen.powerOn(escPosPowerOn(dialect));
        return Step::done(2);
    case 0x24: {
        if (needs(4))
            return Step::incomplete();
        const int x = byteAt(pending, 2);
        const int y = byteAt(pending, 3);
        if (!screen.setCursor(y - 1, x - 1))
            return context.take(pending.substr(0, 4),
                                "verworfen: US $ außerhalb des Displays (Spalte " +
                                    std::to_string(x) + ", Zeile " + std::to_string(y) + ")");
        context.command(pending.substr(0, 4), "US $: Cursor Spalte " + std::to_string(x) +
                                                  ", Zeile " + std::to_string(y));
        return Step::done(4);
    }
    case 0x43: {
        if (needs(3))
            return Step::incomplete();
        const bool on = (byteAt(pending, 2) & 1) != 0;
        context.command(pending.substr(0, 3), std::string("US C: Cursor ") + (on ? "an" : "aus"));
        screen.setCursorVisible(on);
        return Step::done(3);
    }
    case 0x58: {
        if (needs(3))
            return Step::incomplete();
        const int level = byteAt(pending, 2);
        if (level < 1 || level > 4)
            return context.take(pending.substr(0, 3), "verworfen: US X " + std::to_string(level) +
                                                          ": Helligkeit 1 bis 4");
        context.command(pending.substr(0, 3), "US X " + std::to_string(level) + " → Helligkeit " +
                                                  std::to_string(escPosBrightness(level)) + " %");
        screen.setBrightness(escPosBrightness(level));
        return Step::done(3);
    }
    case 0x45: {
        if (needs(3))
            return Step::incomplete();
        const int n = byteAt(pending, 2);
        if (n == 255) {
            context.command(pending.substr(0, 3), "US E 255: Display aus");
            screen.setDisplayOn(false);
        } else {
            context.command(pending.substr(0, 3),
                            n == 0 ? std::string("US E 0: Blinken aus, Display an")
                                   : "US E " + std::to_string(n) + ": Display blinkt alle " +
                                         std::to_string(n * 50) + " ms");
            screen.setDisplayOn(true);
            screen.setBlinkMs(n * 50);
        }
        return Step::done(3);
    }
    case 0x72: {
        if (needs(3))
            return Step::incomplete();
        const bool on = (byteAt(pending, 2) & 1) != 0;
        context.command(pending.substr(0, 3),
                        std::string("US r: inverse Zeichen ") + (on ? "an" : "aus"));
        screen.setReverse(on);
        return Step::done(3);
    }
    case 0x54: {
        if (needs(4))
            return Step::incomplete();
        context.command(pending.substr(0, 4), "US T: Uhrzeit gesetzt");
        screen.writeLine(1, std::u16string(15, u' ') +
                                timeText(byteAt(pending, 2), byteAt(pending, 3)));
        return Step::done(4);
    }
    case 0x55: {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        ::localtime_r(&now, &local);
        context.command(two, "US U: Uhrzeit anzeigen");
        screen.writeLine(1, std::u16string(15, u' ') + timeText(local.tm_hour, local.tm_min));
        return Step::done(2);
    }
    case 0x76:
    case 0x2E:
    case 0x2C:
    case 0x3B: {
        if (needs(3))
            return Step::incomplete();
        context.command(pending.substr(0, 3), "US " + hexByte(static_cast<std::uint8_t>(command)) +
                                                  ": ohne Anzeige, ignoriert");
        return Step::done(3);
    }
    case 0x23: {
        if (needs(4))
            return Step::incomplete();
        context.command(pending.substr(0, 4), "US #: Anzeigesymbol, ignoriert");
        return Step::done(4);
    }
    case 0x28: {
        // US ( A / US ( E pL pH and pL + 256 pH bytes.
        if (needs(5))
            return Step::incomplete();
        const std::size_t length = 5 + byteAt(pending, 3) + 256u * byteAt(pending, 4);
        if (needs(length))
            return Step::incomplete();
        context.command(pending.substr(0, length),
                        std::string("US ( ") + pending[2] + ": Einstellung, ignoriert");
        return Step::done(length);
    }
    default: return Step::notMine();
    }
}

Step escCommand(std::string_view pending, Context &context) {
    if (pending.size() < 2)
        return Step::incomplete();
    Screen &screen = context.screen;
    switch (pending[1]) {
    case 't': {
        if (pending.size() < 3)
            return Step::incomplete();
        const int n = byteAt(pending, 2);
        const auto table = epsonCodeTable(n);
        if (!table)
            return context.take(pending.substr(0, 3), "verworfen: ESC t " + std::to_string(n) +
                                                          ": keine solche Tabelle, bleibt " +
                                                          codeTableName(screen.codeTable()));
        context.command(pending.substr(0, 3),
                        "ESC t " + std::to_string(n) + " → " + codeTableName(*table));
        screen.setCodeTable(*table);
        return Step::done(3);
    }
    case 'R': {
        if (pending.size() < 3)
            return Step::incomplete();
        const int n = byteAt(pending, 2);
        const auto set = epsonNationalSet(n);
        if (!set)
            return context.take(pending.substr(0, 3), "verworfen: ESC R " + std::to_string(n) +
                                                          ": kein solcher Zeichensatz");
        context.command(pending.substr(0, 3),
                        "ESC R " + std::to_string(n) + " → " + nationalSetName(*set));
        screen.setNationalSet(*set);
        return Step::done(3);
    }
    default: return Step::notMine();
    }
}

Step dleCommand(std::string_view pending, Context &context) {
    if (pending.size() < 2)
        return Step::incomplete();
    const int command = byteAt(pending, 1);
    if (command != 0x04 && command != 0x05)
        return Step::notMine();
    if (pending.size() < 3)
        return Step::incomplete();
    context.command(pending.substr(0, 3), "DLE: Echtzeitbefehl, ignoriert (keine Antwort)");
    return Step::done(3);
}

} // namespace

Step epsonCommand(std::string_view pending, Context &context, Emulation dialect) {
    switch (static_cast<std::uint8_t>(pending[0])) {
    case kUs: return usCommand(pending, context, dialect);
    case kEsc: return dialect == Emulation::Cd5220 ? Step::notMine() : escCommand(pending, context);
    case kDle: return dialect == Emulation::Cd5220 ? Step::notMine() : dleCommand(pending, context);
    default: return Step::notMine();
    }
}

} // namespace kd::sim
