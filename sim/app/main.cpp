#include "app/gui_program.h"
#include "app/sim_options.h"
#include "app/translations.h"
#include "app/without_window.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstdio>

// kundendisplay-sim: --print and --headless here, with Qt Core and Network only; the window and
// --png in kundendisplay-sim-gui, which takes this process's place.
int main(int argc, char *argv[]) {
    const kd::sim::ParsedOptions parsed = kd::sim::readCommandLine(argc, argv);
    if (parsed.exitNow)
        return parsed.exitStatus;
    const kd::sim::SimOptions &options = parsed.options;
    if (options.pngFile.isEmpty() && options.print)
        return kd::sim::runPrint(options, argc, argv);
    if (options.pngFile.isEmpty() && options.headless)
        return kd::sim::runHeadless(options, argc, argv);
    return kd::sim::execGuiProgram(argv);
}
