#pragma once

#include <QString>
#include <QStringList>

namespace kd::sim {

// What the virtual display was asked to do on its command line.
struct SimOptions {
    // The port number its pseudo-terminal is entered as in the user's port map; 0: none.
    int comPort = 1;
};

// The command line parsed, or why it is refused. With help or version set, the text to print is
// in message and the program ends with status 0.
struct ParsedOptions {
    SimOptions options;
    QString message;
    bool exitNow = false;
    int exitStatus = 0;
};

ParsedOptions parseSimOptions(const QStringList &arguments);

} // namespace kd::sim
