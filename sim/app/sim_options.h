#pragma once

#include "encoding/line_settings.h"
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
    // --headless: no window; the display's events go to standard output as JSON Lines.
    bool headless = false;
    // --log: with --headless, an event for every command as well.
    bool logCommands = false;
    // --png: the picture of the last screen is written to this file on exit, or empty.
    QString pngFile;
    // --no-usb: no USB socket.
    bool usbSocket = true;
    // --tcp: a TCP listener at this host and port (0: the system chooses), when tcpHost is set.
    QString tcpHost;
    quint16 tcpPort = 0;
    // --rfc2217: a Telnet listener with the COM port control option, when rfc2217Host is set.
    QString rfc2217Host;
    quint16 rfc2217Port = 0;
    // --line: the display's own line, as its switches set it; without it, the set's usual line.
    std::optional<LineSettings> displayLine;
    // --wrap and --identification: the choices the manuals leave to the display.
    SetOptions setOptions;
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
