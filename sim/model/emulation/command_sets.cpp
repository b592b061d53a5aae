#include "model/emulation/command_sets.h"

#include "model/emulation/adm787.h"
#include "model/emulation/aedex.h"
#include "model/emulation/auto_detect.h"
#include "model/emulation/ba63.h"
#include "model/emulation/dsp800.h"
#include "model/emulation/escpos.h"
#include "model/emulation/icd2002.h"
#include "model/emulation/iee.h"
#include "model/emulation/logic_controls.h"
#include "model/emulation/utc_enhanced.h"

namespace kd::sim {

std::unique_ptr<Interpreter> makeInterpreter(Emulation emulation, Context &context) {
    switch (emulation) {
    case Emulation::Standard:
    case Emulation::Epson:
    case Emulation::Cd5220: return std::make_unique<EscPosInterpreter>(context, emulation);
    case Emulation::LogicControls: return std::make_unique<LogicControlsInterpreter>(context);
    case Emulation::Aedex: return std::make_unique<AedexInterpreter>(context);
    case Emulation::Ba63: return std::make_unique<Ba63Interpreter>(context);
    case Emulation::Dsp800: return std::make_unique<Dsp800Interpreter>(context);
    case Emulation::UtcEnhanced: return std::make_unique<UtcEnhancedInterpreter>(context);
    case Emulation::Iee: return std::make_unique<IeeInterpreter>(context);
    case Emulation::Icd2002: return std::make_unique<Icd2002Interpreter>(context);
    case Emulation::Adm787: return std::make_unique<Adm787Interpreter>(context);
    case Emulation::Auto: return std::make_unique<AutoInterpreter>(context, makeInterpreter);
    }
    return nullptr;
}

} // namespace kd::sim
