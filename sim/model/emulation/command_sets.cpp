#include "model/emulation/command_sets.h"

#include "model/emulation/aedex.h"
#include "model/emulation/auto_detect.h"
#include "model/emulation/escpos.h"
#include "model/emulation/logic_controls.h"

namespace kd::sim {

std::unique_ptr<Interpreter> makeInterpreter(Emulation emulation, Context &context) {
    switch (emulation) {
    case Emulation::Standard:
    case Emulation::Epson:
    case Emulation::Cd5220: return std::make_unique<EscPosInterpreter>(context, emulation);
    case Emulation::LogicControls: return std::make_unique<LogicControlsInterpreter>(context);
    case Emulation::Aedex: return std::make_unique<AedexInterpreter>(context);
    case Emulation::Auto: return std::make_unique<AutoInterpreter>(context, makeInterpreter);
    }
    return nullptr;
}

} // namespace kd::sim
