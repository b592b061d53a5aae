#pragma once

#include "model/emulation/interpreter.h"

namespace kd::sim {

PowerOn logicControlsPowerOn();

// The Logic Controls set (also "UTC standard" and the Logic Controls emulation of IBM tills), with
// the IBM extensions: 00 nn chooses Logic Controls or IBM mode, 02 nn the code page in IBM mode.
// Single bytes do the work: 08 moves left and erases, 10 nn places the cursor, 11/12 choose normal
// or vertical scrolling (the power-on mode), 13/14 the cursor, 04 nn the brightness, 05 … 0D runs
// a message across line 1, 1F resets. Fixed-length commands are rows of one table; the message
// and the IBM mode's ESC [ sequences have parsers of their own.
class LogicControlsInterpreter : public Interpreter {
  public:
    explicit LogicControlsInterpreter(Context &context);
    void powerOn() override;
    PowerOn powerOnState() const override { return logicControlsPowerOn(); }
    Emulation emulation() const override { return Emulation::LogicControls; }
    std::string stateNote() const override;

  protected:
    Parse parse(std::string_view pending) override;

  private:
    CommandTable commands();
    Parse message(std::string_view pending);
    Parse ibmEscape(std::string_view pending);

    CommandTable m_commands;
    bool m_ibmMode = false;
};

} // namespace kd::sim
