#pragma once

#include "model/emulation/interpreter.h"

namespace kd::sim {

// Commands that several sets have under different bytes, as rows for their tables.

// Chooses the write mode.
FixedCommand modeCommand(Context &context, std::string lead, std::string name, WriteMode mode);
// Moves the cursor as the screen's operation does.
FixedCommand cursorMove(Context &context, std::string lead, std::string name, Msg meaning,
                        void (Screen::*move)());
// Switches a setting by bit 0 of its one parameter.
FixedCommand switchCommand(Context &context, std::string lead, std::string name, Msg meaning,
                           void (Screen::*set)(bool));
// Parsed and logged, without effect on the screen.
FixedCommand ignoredCommand(std::string lead, std::size_t parameters, std::string name,
                            Msg meaning);

} // namespace kd::sim
