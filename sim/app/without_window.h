#pragma once

#include "app/sim_options.h"
#include "model/screen.h"

#include <QCoreApplication>

#include <functional>
#include <memory>

namespace kd::sim {

// --png, in the program that has the GUI library: the application to make (fonts need a
// QGuiApplication) and how the picture is written (an empty text, or why not). The program without
// it hands --png on to the one with it.
struct PictureWriter {
    std::function<std::unique_ptr<QCoreApplication>(int &argc, char **argv)> makeApplication;
    std::function<QString(const Screen &screen, const QString &path)> write;
};

// --print: the screen after the input, on standard output; with --png its picture too. Returns
// the exit status.
int runPrint(const SimOptions &options, int &argc, char **argv,
             const PictureWriter *picture = nullptr);

// --headless: the display's inputs with no window and no window system, its events as JSON Lines
// on standard output, until SIGTERM or SIGINT. Returns the exit status.
int runHeadless(const SimOptions &options, int &argc, char **argv,
                const PictureWriter *picture = nullptr);

// Writes "kundendisplay-sim: " and the message on standard error.
void fail(const QString &message);

} // namespace kd::sim
