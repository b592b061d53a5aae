#pragma once

#include "model/emulation/interpreter.h"

namespace kd::sim {

// The DSP-800 set: frames 04 01 cmd … 17, each answered.
class Dsp800Interpreter : public Interpreter {
  public:
    explicit Dsp800Interpreter(Context &context) : Interpreter(context) {}
    PowerOn powerOnState() const override;
    Emulation emulation() const override { return Emulation::Dsp800; }

  protected:
    Parse parse(std::string_view pending) override;
};

} // namespace kd::sim
