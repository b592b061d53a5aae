// The CD5220 commands: ESC commands for modes, the cursor, line strings and the marquee.
#include "model/emulation/escpos.h"

namespace kd::sim {
namespace {

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kCr = 0x0D;
// One step of the CD5220 marquee: about once a second, as the real display scrolls.
constexpr int kMarqueeStepMs = 1000;

// ESC Q x data CR: the data up to CR, at most `limit` characters shown. A control byte before the
// CR means the CR was lost: the command is dropped and the byte is read afresh.
Step stringCommand(std::string_view pending, Context &context, std::size_t limit) {
    Screen &screen = context.screen;
    const char which = pending[2];
    std::size_t end = 3;
    while (end < pending.size() && static_cast<std::uint8_t>(pending[end]) >= 0x20)
        ++end;
    if (end == pending.size())
        return Step::incomplete();
    if (static_cast<std::uint8_t>(pending[end]) != kCr)
        return context.take(pending.substr(0, end),
                            std::string("verworfen: ESC Q ") + which + " ohne abschließendes CR");
    std::u16string text;
    for (std::size_t i = 3; i < end && text.size() < limit; ++i)
        text.push_back(textGlyphOf(static_cast<std::uint8_t>(pending[i]), screen.codeTable(),
                                   screen.nationalSet()));
    const std::size_t dropped = end - 3 - text.size();
    const std::string extra = dropped ? " (" + std::to_string(dropped) + " Zeichen über " +
                                            std::to_string(limit) + " ignoriert)"
                                      : std::string();
    const std::string_view bytes = pending.substr(0, end + 1);
    if (which == 'D') {
        context.command(bytes, "ESC Q D: Lauftext in Zeile 1" + extra);
        screen.startMarquee(0, text + u' ', kMarqueeStepMs, false, true);
        screen.home();
    } else {
        const int row = which == 'A' ? 0 : 1;
        context.command(bytes, std::string("ESC Q ") + which + ": Text in Zeile " +
                                   std::to_string(row + 1) + extra);
        screen.writeLine(row, text);
    }
    return Step::done(bytes.size());
}

Step cursorCommand(std::string_view pending, Context &context) {
    if (pending.size() < 3)
        return Step::incomplete();
    Screen &screen = context.screen;
    const auto bytes = pending.substr(0, 3);
    switch (pending[2]) {
    case 'D':
        context.command(bytes, "ESC [ D: Cursor links");
        screen.cursorLeft(false);
        break;
    case 'C':
        context.command(bytes, "ESC [ C: Cursor rechts");
        screen.cursorRight();
        break;
    case 'A':
        context.command(bytes, "ESC [ A: Cursor eine Zeile höher");
        screen.cursorUp();
        break;
    case 'B':
        context.command(bytes, "ESC [ B: Cursor eine Zeile tiefer");
        screen.cursorDown();
        break;
    case 'H':
        context.command(bytes, "ESC [ H: Cursor oben links");
        screen.home();
        break;
    case 'L':
        context.command(bytes, "ESC [ L: Cursor an den Zeilenanfang");
        screen.carriageReturn();
        break;
    case 'R':
        context.command(bytes, "ESC [ R: Cursor ans Zeilenende");
        screen.lineEnd();
        break;
    case 'K':
        context.command(bytes, "ESC [ K: Cursor unten links");
        screen.bottomLeft();
        break;
    default: return context.take(bytes, "verworfen: ESC [ " + hexByte(pending[2]) + " unbekannt");
    }
    return Step::done(3);
}

} // namespace

Step cd5220Command(std::string_view pending, Context &context, Emulation dialect) {
    if (static_cast<std::uint8_t>(pending[0]) != kEsc)
        return Step::notMine();
    if (pending.size() < 2)
        return Step::incomplete();
    if (dialect == Emulation::Epson)
        return Step::notMine();
    Screen &screen = context.screen;
    const auto two = pending.substr(0, 2);
    const auto three = [&] { return pending.substr(0, 3); };
    switch (pending[1]) {
    case 0x11:
        context.command(two, "ESC DC1: Überschreiben");
        screen.setMode(WriteMode::Overwrite);
        return Step::done(2);
    case 0x12:
        context.command(two, "ESC DC2: vertikal rollen");
        screen.setMode(WriteMode::VerticalScroll);
        return Step::done(2);
    case 0x13:
        context.command(two, "ESC DC3: horizontal rollen");
        screen.setMode(WriteMode::HorizontalScroll);
        return Step::done(2);
    case 'Q':
        if (pending.size() < 3)
            return Step::incomplete();
        if (pending[2] == 'A' || pending[2] == 'B')
            return stringCommand(pending, context, Screen::kColumns);
        if (pending[2] == 'D')
            return stringCommand(pending, context, 2 * Screen::kColumns);
        return context.take(three(), "verworfen: ESC Q " + hexByte(pending[2]) + " unbekannt");
    case '[': return cursorCommand(pending, context);
    case 'l': {
        if (pending.size() < 4)
            return Step::incomplete();
        const int x = byteAt(pending, 2);
        const int y = byteAt(pending, 3);
        if (!screen.setCursor(y - 1, x - 1))
            return context.take(pending.substr(0, 4), "verworfen: ESC l außerhalb des Displays");
        return context.take(pending.substr(0, 4), "ESC l: Cursor Spalte " + std::to_string(x) +
                                                      ", Zeile " + std::to_string(y));
    }
    case '*': {
        if (pending.size() < 3)
            return Step::incomplete();
        const int level = byteAt(pending, 2);
        if (level < 1 || level > 4)
            return context.take(three(), "verworfen: ESC * " + std::to_string(level) +
                                             ": Helligkeit 1 bis 4");
        screen.setBrightness(escPosBrightness(level));
        return context.take(three(), "ESC * " + std::to_string(level) + " → Helligkeit " +
                                         std::to_string(escPosBrightness(level)) + " %");
    }
    case '_': {
        if (pending.size() < 3)
            return Step::incomplete();
        const bool on = (pending[2] & 1) != 0;
        screen.setCursorVisible(on);
        return context.take(three(), std::string("ESC _: Cursor ") + (on ? "an" : "aus"));
    }
    case 'f': {
        if (pending.size() < 3)
            return Step::incomplete();
        const auto set = cd5220NationalSet(pending[2]);
        if (!set)
            return context.take(three(), "verworfen: ESC f " + hexByte(pending[2]) +
                                             ": kein solcher Zeichensatz");
        screen.setNationalSet(*set);
        return context.take(three(),
                            std::string("ESC f ") + pending[2] + " → " + nationalSetName(*set));
    }
    case 'c':
    case 's':
    case 'd':
        if (pending.size() < 3)
            return Step::incomplete();
        return context.take(three(),
                            std::string("ESC ") + pending[1] + ": Schrift oder EEPROM, ignoriert");
    default: return Step::notMine();
    }
}

} // namespace kd::sim
