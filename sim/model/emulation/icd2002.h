#pragma once

#include "model/emulation/interpreter.h"

#include <array>

namespace kd::sim {

// The ICD-2002 set: ESC U / ESC D choose the current line, ESC E r z each line's mode (shift,
// rotation, blink, clear, overwrite, vertical scroll), ESC C r c places the cursor and 08, 09, 0D
// move it (overwrite mode only), ESC A D/E disables and enables the display, ESC @ initialises.
// In shift mode, the power-on mode, characters come in at the right end of the current line.
class Icd2002Interpreter : public Interpreter {
  public:
    explicit Icd2002Interpreter(Context &context);
    void powerOn() override;
    PowerOn powerOnState() const override;
    Emulation emulation() const override { return Emulation::Icd2002; }
    std::string stateNote() const override;

  protected:
    Parse parse(std::string_view pending) override;

  private:
    enum class LineMode : std::uint8_t {
        Shift = 0x30,
        Rotation = 0x31,
        Blink = 0x32,
        Clear = 0x33,
        Overwrite = 0x34,
        Vertical = 0x35,
    };

    CommandTable commands();
    FixedCommand cursorCommand(std::uint8_t byte, Msg meaning, void (Icd2002Interpreter::*move)());
    void setLineMode(int row, LineMode mode);
    void rotate(int row);
    void write(std::uint8_t byte);
    void left();
    void right();
    void lineStart();
    std::string modeName(LineMode mode) const;
    LineMode &modeOf(int row) { return m_modes[static_cast<std::size_t>(row)]; }

    CommandTable m_commands;
    std::array<LineMode, 2> m_modes{LineMode::Shift, LineMode::Shift};
    int m_line = 0;
    // Vertical scroll: a character went to column 20 and the next one goes to the next line.
    bool m_wrapPending = false;
};

} // namespace kd::sim
