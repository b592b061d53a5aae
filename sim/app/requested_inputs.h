#pragma once

#include "app/sim_options.h"

namespace kd::sim {

class InputsThread;

// Starts the inputs the command line asks for, in the window and headless alike. An empty text,
// or why the program must end with status 1: another display of the user serves, or an input named
// on the command line (--tcp, --serial-link, --record, --replay) cannot be opened. Inputs that
// could not be opened otherwise are in the service's places.
QString startRequestedInputs(InputsThread &inputs, const SimOptions &options);

} // namespace kd::sim
