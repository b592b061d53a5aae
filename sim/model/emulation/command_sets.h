#pragma once

#include "model/emulation/interpreter.h"

namespace kd::sim {

// The one place that knows every command set: the interpreter of a set over the context.
std::unique_ptr<Interpreter> makeInterpreter(Emulation emulation, Context &context);

} // namespace kd::sim
