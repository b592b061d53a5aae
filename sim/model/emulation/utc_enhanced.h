#pragma once

#include "model/emulation/interpreter.h"

namespace kd::sim {

// UTC enhanced: ESC u line commands; plain text passes through.
class UtcEnhancedInterpreter : public Interpreter {
  public:
    explicit UtcEnhancedInterpreter(Context &context) : Interpreter(context) {}
    PowerOn powerOnState() const override;
    Emulation emulation() const override { return Emulation::UtcEnhanced; }

  protected:
    Parse parse(std::string_view pending) override;
};

} // namespace kd::sim
