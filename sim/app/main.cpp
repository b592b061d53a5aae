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
    kd::sim::ParsedOptions parsed;
    {
        // The command line is read in the user's language, with no window system.
        QCoreApplication core(argc, argv);
        const kd::sim::Translations translations(
            kd::sim::chooseLanguage(QLocale::system().uiLanguages()));
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        parsed = kd::sim::parseSimOptions(arguments);
    }
    if (parsed.exitNow) {
        std::fputs(qPrintable(parsed.message + QLatin1Char('\n')),
                   parsed.exitStatus == 0 ? stdout : stderr);
        return parsed.exitStatus;
    }
    const kd::sim::SimOptions &options = parsed.options;
    if (options.pngFile.isEmpty() && options.print)
        return kd::sim::runPrint(options, argc, argv);
    if (options.pngFile.isEmpty() && options.headless)
        return kd::sim::runHeadless(options, argc, argv);
    return kd::sim::execGuiProgram(argv);
}
