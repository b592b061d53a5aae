#pragma once

#include "model/emulation/interpreter.h"

namespace kd::sim {

// The AEDEX (EMAX) set: line commands behind an attention code, "!#" at power-on, each ended by
// CR: 1 line 1, 2 line 2, 9 both lines, 4 line 1 running continuously, 6 line 1 running once,
// 5 the time, 8 a new attention code, A reset. Everything else passes through to the device
// behind the display and is not shown.
class AedexInterpreter : public Interpreter {
  public:
    explicit AedexInterpreter(Context &context) : Interpreter(context) {}
    void powerOn() override;
    PowerOn powerOnState() const override;
    Emulation emulation() const override { return Emulation::Aedex; }
    std::string stateNote() const override;

  protected:
    Parse parse(std::string_view pending) override;

  private:
    Parse lineCommand(std::string_view pending, std::size_t end);
    std::string m_attention = "!#";
};

} // namespace kd::sim
