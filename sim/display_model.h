#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kd::sim {

// The virtual customer display: 2 lines of 20 cells and a cursor, fed one byte at a time.
//
// 0x0C clears and homes, 0x0D returns to column 1, 0x0A moves down a line (from line 2 to line 1).
// A printable Windows-1252 character is written at the cursor, which then advances: after column 20
// of line 1 to line 2, after column 20 of line 2 back to the top left. Other control bytes are
// ignored. A frame STX ENQ <command> ... ETX carries a command: 'L' + line digit + text runs that
// text across the line, 'D' + one byte sets the running text's step time to that byte times 25 ms.
// Unknown, malformed and over-long frames are dropped with a notice and never shown.
class DisplayModel {
  public:
    static constexpr int kRows = 2;
    static constexpr int kColumns = 20;
    // Bytes between STX and ETX that a frame may hold.
    static constexpr std::size_t kMaxFrameLength = 128;
    static constexpr int kStepUnitMs = 25;
    static constexpr int kDefaultStepMs = 200;

    DisplayModel();

    void feed(std::uint8_t byte);
    void feed(std::string_view bytes);

    // What the line shows now, always 20 characters; row 0 is the top line.
    std::u16string line(int row) const;
    int cursorRow() const { return m_row; }
    int cursorColumn() const { return m_column; }

    bool running(int row) const { return !m_runningText[static_cast<std::size_t>(row)].empty(); }
    const std::u16string &runningText(int row) const {
        return m_runningText[static_cast<std::size_t>(row)];
    }
    int stepMs() const { return m_stepMs; }
    // Advances every running text by one character.
    void step();

    // What the model refused or dropped since the last call, in German.
    std::vector<std::string> takeNotices();

  private:
    enum class State { Text, Frame, Discard };

    void control(std::uint8_t byte);
    void write(char16_t character);
    void endFrame();
    void stopRunning(int row);
    void clear();

    std::array<std::u16string, kRows> m_cells;
    std::array<std::u16string, kRows> m_runningText;
    std::array<std::size_t, kRows> m_offset{};
    int m_row = 0;
    int m_column = 0;
    int m_stepMs = kDefaultStepMs;
    State m_state = State::Text;
    std::string m_frame;
    std::vector<std::string> m_notices;
};

// Bytes as hex pairs and as printable text, for the log: "0C 48 69" and ".Hi".
std::string hexBytes(std::string_view bytes);
std::string printableBytes(std::string_view bytes);

} // namespace kd::sim
