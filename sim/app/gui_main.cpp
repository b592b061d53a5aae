#include "app/requested_inputs.h"
#include "app/sim_options.h"
#include "app/termination_signals.h"
#include "app/without_window.h"
#include "inputs/display_service.h"
#include "inputs/inputs_thread.h"
#include "window/sim_window.h"

#include "picture/display_picture.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>

namespace {

// Fonts need a QGuiApplication; on the offscreen platform it needs no window system.
const kd::sim::PictureWriter kPictureWriter{
    [](int &argc, char **argv) -> std::unique_ptr<QCoreApplication> {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    },
    [](const kd::sim::Screen &screen, const QString &path) {
        return kd::sim::saveDisplayPicture(screen, path);
    }};

} // namespace

// kundendisplay-sim-gui: the window, and --print and --headless with --png; kundendisplay-sim
// starts it in its own place for those.
int main(int argc, char *argv[]) {
    // The command line is read before any window system is touched, so that --help needs none.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const kd::sim::ParsedOptions parsed = kd::sim::parseSimOptions(arguments);
    if (parsed.exitNow) {
        std::fputs(qPrintable(parsed.message + QLatin1Char('\n')),
                   parsed.exitStatus == 0 ? stdout : stderr);
        return parsed.exitStatus;
    }

    const kd::sim::SimOptions &options = parsed.options;
    // No window and no X server: a test suite's display, with its picture.
    if (options.print)
        return kd::sim::runPrint(options, argc, argv, &kPictureWriter);
    if (options.headless)
        return kd::sim::runHeadless(options, argc, argv, &kPictureWriter);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kundendisplay-sim"));
    kd::sim::quitOnTerminationSignals(app);

    const kd::sim::Emulation emulation = options.emulation.value_or(
        kd::sim::SimWindow::rememberedEmulation().value_or(kd::sim::Emulation::Standard));
    // The inputs and the model run on a thread of their own, so that a flood of bytes never keeps
    // the window (or a screen reader asking it) waiting.
    kd::sim::InputsThread inputs(emulation);
    if (const QString refusal = kd::sim::startRequestedInputs(inputs, options);
        !refusal.isEmpty()) {
        kd::sim::fail(refusal);
        return 1;
    }
    kd::sim::SimWindow window(inputs.service());
    window.show();
    return app.exec();
}
