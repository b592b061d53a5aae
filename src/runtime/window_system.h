#pragma once

#include <string>

namespace kd {

// Why a window cannot open, asked before any window system is touched: no X server and no Wayland
// compositor is named (DISPLAY and WAYLAND_DISPLAY unset) and no other Qt platform is chosen
// (QT_QPA_PLATFORM unset). A German text naming the problem, or an empty text when a window may
// open. Without it, Qt would abort the program.
std::string missingWindowSystem();

} // namespace kd
