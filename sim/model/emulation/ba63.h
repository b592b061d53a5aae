#pragma once

#include "model/emulation/interpreter.h"

namespace kd::sim {

// The BA63/BA66 set (a VT100 subset).
class Ba63Interpreter : public Interpreter {
  public:
    explicit Ba63Interpreter(Context &context) : Interpreter(context) {}
    PowerOn powerOnState() const override;
    Emulation emulation() const override { return Emulation::Ba63; }

  protected:
    Parse parse(std::string_view pending) override;
};

} // namespace kd::sim
