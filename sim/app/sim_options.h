#pragma once

#include "model/emulation/interpreter.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace kd::sim {

// What the virtual display was asked to do on its command line.
struct SimOptions {
    // The port number its pseudo-terminal is entered as in the user's port map; 0: none.
    int comPort = 1;
    // The command set to start in; without one, the window's last choice (standard for --print).
    std::optional<Emulation> emulation;
    // A symbolic link to make to the pseudo-terminal, or empty.
    QString serialLink;
    // --print: no window; the bytes of printFile (standard input when empty) are shown as text.
    bool print = false;
    QString printFile;
    // Every byte received is written to this file, or empty.
    QString recordFile;
    // A recording played into the window at its pace, or empty.
    QString replayFile;
};

// The command line parsed, or why it is refused. With --help the text to print is in message and
// the program ends with status 0; a refusal ends it with status 2.
struct ParsedOptions {
    SimOptions options;
    QString message;
    bool exitNow = false;
    int exitStatus = 0;
};

ParsedOptions parseSimOptions(const QStringList &arguments);

} // namespace kd::sim
