#pragma once

#include "model/emulation/interpreter.h"

namespace kd::sim {

// The BA63/BA66 set, a subset of the VT100's: ESC [ Py ; Px H places the cursor, ESC [ 2 J clears
// (the cursor stays), ESC [ 0 K clears to the end of the line, ESC R n chooses the national set
// (00..0C) or the code table (30..37), ESC [ 0 c asks who the display is; BS, LF and CR. Text
// does not wrap eagerly: a character written at column 20 leaves the cursor there, and the next
// one either goes to the next line (pending wrap) or overwrites column 20 (clamp), as the
// display's options say.
class Ba63Interpreter : public Interpreter {
  public:
    explicit Ba63Interpreter(Context &context);
    void powerOn() override;
    PowerOn powerOnState() const override;
    Emulation emulation() const override { return Emulation::Ba63; }

  protected:
    Parse parse(std::string_view pending) override;

  private:
    CommandTable commands();
    void write(std::uint8_t byte);
    Parse controlSequence(std::string_view pending);
    Parse position(std::string_view bytes, const std::string &parameters);
    Parse identification(std::string_view bytes);

    CommandTable m_commands;
    // A character went to column 20 and the next printable one goes to the next line.
    bool m_wrapPending = false;
};

} // namespace kd::sim
