#pragma once

#include "model/emulation/interpreter.h"

namespace kd::sim {

// The IEE set of single control bytes.
class IeeInterpreter : public Interpreter {
  public:
    explicit IeeInterpreter(Context &context) : Interpreter(context) {}
    PowerOn powerOnState() const override;
    Emulation emulation() const override { return Emulation::Iee; }

  protected:
    Parse parse(std::string_view pending) override;
};

} // namespace kd::sim
