#pragma once

#include "model/emulation/interpreter.h"

namespace kd::sim {

// The ICD-2002 set.
class Icd2002Interpreter : public Interpreter {
  public:
    explicit Icd2002Interpreter(Context &context) : Interpreter(context) {}
    PowerOn powerOnState() const override;
    Emulation emulation() const override { return Emulation::Icd2002; }

  protected:
    Parse parse(std::string_view pending) override;
};

} // namespace kd::sim
