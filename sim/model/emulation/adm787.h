#pragma once

#include "model/emulation/interpreter.h"

namespace kd::sim {

// The ADM-787/788 set.
class Adm787Interpreter : public Interpreter {
  public:
    explicit Adm787Interpreter(Context &context) : Interpreter(context) {}
    PowerOn powerOnState() const override;
    Emulation emulation() const override { return Emulation::Adm787; }

  protected:
    Parse parse(std::string_view pending) override;
};

} // namespace kd::sim
