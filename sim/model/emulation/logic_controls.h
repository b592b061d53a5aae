#pragma once

#include "model/emulation/interpreter.h"

namespace kd::sim {

// The Logic Controls set (also "UTC standard" and the Logic Controls emulation of IBM tills), with
// the IBM extensions: 00 nn chooses Logic Controls or IBM mode, 02 nn the code page in IBM mode.
// Single bytes do the work: 08 moves left and erases, 10 nn places the cursor, 11/12 choose normal
// or vertical scrolling (the power-on mode), 13/14 the cursor, 04 nn the brightness, 05 … 0D runs
// a message across line 1, 1F resets.
class LogicControlsInterpreter : public Interpreter {
  public:
    explicit LogicControlsInterpreter(Context &context) : Interpreter(context) {}
    void powerOn() override;
    Emulation emulation() const override { return Emulation::LogicControls; }
    std::string stateNote() const override { return m_ibmMode ? "IBM-Modus" : std::string(); }

  protected:
    Step step(std::string_view pending) override;

  private:
    Step escape(std::string_view pending);
    bool m_ibmMode = false;
};

PowerOn logicControlsPowerOn();

} // namespace kd::sim
