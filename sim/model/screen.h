#pragma once

#include "model/code_tables.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace kd::sim {

// A user-defined character: 5 columns of 7 dots, bit 0 the top dot.
using Glyph = std::array<std::uint8_t, 5>;

// One character cell of the display.
struct Cell {
    char16_t character = u' ';
    bool reverse = false;
    bool blink = false;
    // A user-defined character drawn instead of the character.
    bool user = false;
    Glyph glyph{};

    bool operator==(const Cell &) const = default;
};

// How written characters move the cursor at the ends of the lines.
enum class WriteMode { Overwrite, VerticalScroll, HorizontalScroll };
// Which device the data is for: while the printer alone is selected, the display shows nothing.
enum class Peripheral { Display, Printer, Both };
enum class CursorStyle { Underline, Block };

// A text that runs across a line: continuously, or once and then stands.
struct Marquee {
    std::u16string text;
    std::size_t offset = 0;
    // How long each position stands.
    int intervalMs = 1000;
    bool once = false;
    // The next command clears the line and homes the cursor (the CD5220 marquee).
    bool endsOnCommand = false;
    bool active() const { return !text.empty(); }
};

// The power-on state of a command set: what a reset and a change of command set return to.
struct PowerOn {
    WriteMode mode = WriteMode::Overwrite;
    CodeTable codeTable = CodeTable::Pc437;
    bool cursorVisible = false;
    CursorStyle cursorStyle = CursorStyle::Underline;
    // The national set the set's displays leave the factory with, where it is not USA (the German
    // BA63); a set that locks in `auto` takes it too.
    std::optional<NationalSet> nationalSet;
};

// The virtual display's screen, shared by every command set: 2 lines of 20 cells, the cursor, the
// write mode, brightness, blinking, the code table and national set, the selected peripheral, the
// user-defined characters and running texts. The command sets only call these operations; the
// window draws what the screen holds.
class Screen {
  public:
    static constexpr int kRows = 2;
    static constexpr int kColumns = 20;

    Screen();

    // Back to the given power-on state: blank, cursor home, every setting at its default.
    void powerOn(const PowerOn &state);
    // Takes the power-on state's mode, code table and cursor, keeping what the screen shows.
    void adoptSettings(const PowerOn &state);

    // Writes a character (or, with a glyph, a user-defined one) at the cursor, which then moves on
    // by the write mode's rules.
    void put(char16_t character, const Glyph *glyph = nullptr);
    // Writes the character a byte from 20 up shows under the current code table, national set and
    // user characters. Every such byte takes one cell: one the table leaves unassigned is blank.
    void putByte(std::uint8_t byte);
    void putBytes(std::string_view bytes);

    // Cursor moves. At the ends of the lines they follow the write mode (see the command sets'
    // manuals: overwrite wraps to the other line, vertical scroll scrolls the lines, horizontal
    // scroll scrolls the line itself).
    void cursorLeft();
    // Left, erasing the character there.
    void backspace();
    void cursorRight();
    void cursorDown();
    void cursorUp();
    void carriageReturn();
    void lineEnd();
    void home();
    void bottomLeft();
    // Row 0..1, column 0..19; anything else is ignored and reported false.
    bool setCursor(int row, int column);

    void clear();
    void clearLine(int row);
    void clearToEndOfLine();
    // The line shows the text from its first column, the rest blank; the cursor is not moved.
    void writeLine(int row, const std::u16string &text);
    void scrollUp();

    void startMarquee(int row, const std::u16string &text, int intervalMs, bool once,
                      bool endsOnCommand = false);
    void stopMarquees();
    // Moves every running text on by one character; returns whether anything changed.
    bool tick();
    // How often the running texts move on, or 0 when none runs.
    int tickIntervalMs() const;

    void setMode(WriteMode mode) { m_mode = mode; }
    void setCursorVisible(bool visible) { m_cursorVisible = visible; }
    void setBrightness(int percent) { m_brightness = percent; }
    void setDisplayOn(bool on) { m_displayOn = on; }
    void setBlinkMs(int ms) { m_blinkMs = ms; }
    void setReverse(bool reverse) { m_reverse = reverse; }
    void setBlinkingText(bool blink) { m_blinkingText = blink; }
    void setCodeTable(CodeTable table) { m_codeTable = table; }
    void setNationalSet(NationalSet set) { m_nationalSet = set; }
    void setPeripheral(Peripheral peripheral) { m_peripheral = peripheral; }
    void defineUserCharacter(std::uint8_t code, const Glyph &glyph) {
        m_userCharacters[code] = glyph;
    }
    void removeUserCharacter(std::uint8_t code) { m_userCharacters.erase(code); }
    void setUserCharactersSelected(bool selected) { m_userSelected = selected; }

    // The cell as shown: a running text shows its characters with no attributes.
    Cell cell(int row, int column) const;
    // What the line shows, exactly 20 characters; a user-defined character reads as U+25A1.
    std::u16string line(int row) const;
    int cursorRow() const { return m_row; }
    int cursorColumn() const { return m_column; }
    WriteMode mode() const { return m_mode; }
    bool cursorVisible() const { return m_cursorVisible; }
    CursorStyle cursorStyle() const { return m_cursorStyle; }
    int brightness() const { return m_brightness; }
    bool displayOn() const { return m_displayOn; }
    int blinkMs() const { return m_blinkMs; }
    CodeTable codeTable() const { return m_codeTable; }
    NationalSet nationalSet() const { return m_nationalSet; }
    Peripheral peripheral() const { return m_peripheral; }
    const Marquee &marquee(int row) const { return m_marquees[static_cast<std::size_t>(row)]; }

    // Blanks the cells from one linear position to another (0..39, line 1 then line 2), both
    // included, and leaves the cursor where it is: a display that clears a range by position
    // (DSP-800) keeps its write position.
    void clearCells(int from, int to);
    // Sets or clears the blinking of every cell of the line, for sets that blink a whole line
    // (ADM-787) rather than the characters written while blinking is on.
    void setLineBlinking(int row, bool blink);
    // ICD-2002 shift mode: the character enters at the right end of the line and pushes the line
    // one cell left, wherever the cursor is; the cursor is not moved.
    void shiftInAtRight(int row, std::uint8_t byte);

  private:
    Cell &at(int row, int column);
    void stopMarquee(int row);
    void shiftLineLeft(int row);
    void shiftLineRight(int row);
    void scrollDown();

    std::array<std::array<Cell, kColumns>, kRows> m_cells{};
    std::array<Marquee, kRows> m_marquees{};
    int m_row = 0;
    int m_column = 0;
    // Horizontal scroll: the cursor has written the last column and waits there.
    bool m_parked = false;
    WriteMode m_mode = WriteMode::Overwrite;
    bool m_cursorVisible = false;
    CursorStyle m_cursorStyle = CursorStyle::Underline;
    int m_brightness = 100;
    bool m_displayOn = true;
    int m_blinkMs = 0;
    bool m_reverse = false;
    bool m_blinkingText = false;
    CodeTable m_codeTable = CodeTable::Pc437;
    NationalSet m_nationalSet = NationalSet::Usa;
    Peripheral m_peripheral = Peripheral::Display;
    std::map<std::uint8_t, Glyph> m_userCharacters;
    bool m_userSelected = false;
};

} // namespace kd::sim
