#pragma once

#include "app/sim_options.h"

namespace kd::sim {

// --print: the screen after the input, on standard output; with --png its picture too. Returns
// the exit status.
int runPrint(const SimOptions &options, int &argc, char **argv);

// --headless: the display's inputs with no window and no window system, its events as JSON Lines
// on standard output, until SIGTERM or SIGINT. Returns the exit status.
int runHeadless(const SimOptions &options, int &argc, char **argv);

// Writes "kundendisplay-sim: " and the message on standard error.
void fail(const QString &message);

} // namespace kd::sim
