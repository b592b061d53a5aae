#pragma once

class QCoreApplication;

namespace kd::sim {

// SIGTERM and SIGINT end the program through its event loop, so that it removes its socket and its
// port map entry, and writes its last events, as on a normal close.
void quitOnTerminationSignals(QCoreApplication &app);

} // namespace kd::sim
