#pragma once

#include <QString>

namespace kd::sim {

// The window and the pictures (--png) live in a program of their own, kundendisplay-sim-gui, so
// that kundendisplay-sim with --print or --headless loads no GUI library: beside kundendisplay-sim
// in the build tree, in lib/kundendisplay under the install prefix.
QString guiProgramPath();

// Replaces this process by the GUI program with the same arguments; returns only on failure, with
// the exit status after saying why.
int execGuiProgram(char **argv);

} // namespace kd::sim
