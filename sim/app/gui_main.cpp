#include "app/requested_inputs.h"
#include "app/sim_options.h"
#include "app/termination_signals.h"
#include "app/translations.h"
#include "app/without_window.h"
#include "inputs/display_service.h"
#include "inputs/inputs.h"
#include "inputs/inputs_thread.h"
#include "picture/display_picture.h"
#include "runtime/window_system.h"
#include "window/sim_window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLocale>

#include <cstdio>

namespace {

// The context of main()'s texts in the translations.
class Main {
    Q_DECLARE_TR_FUNCTIONS(Main)
};

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
    const QString language = kd::sim::chooseLanguage(QLocale::system().uiLanguages());
    const kd::sim::ParsedOptions parsed = kd::sim::readCommandLine(argc, argv);
    if (parsed.exitNow)
        return parsed.exitStatus;

    const kd::sim::SimOptions &options = parsed.options;
    // No window and no X server: a test suite's display, with its picture.
    if (options.print)
        return kd::sim::runPrint(options, argc, argv, &kPictureWriter);
    if (options.headless)
        return kd::sim::runHeadless(options, argc, argv, &kPictureWriter);

    if (const std::string missing = kd::missingWindowSystem(); !missing.empty()) {
        kd::sim::fail(QString::fromStdString(missing));
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kundendisplay-sim"));
    const kd::sim::Translations translations(language);
    kd::sim::quitOnTerminationSignals(app);

    const kd::sim::Emulation emulation = options.emulation.value_or(
        kd::sim::SimWindow::rememberedEmulation().value_or(kd::sim::Emulation::Standard));
    // The inputs and the model run on a thread of their own, so that a flood of bytes never keeps
    // the window (or a screen reader asking it) waiting.
    kd::sim::InputsThread inputs(emulation);
    inputs.service().setLanguage(kd::sim::modelLanguage(language));
    // An input that stops working while the display runs is named in the window's input list and
    // here.
    QObject::connect(&inputs.service(), &kd::sim::DisplayService::problemReported, &app,
                     kd::sim::fail);
    QObject::connect(&inputs.service(), &kd::sim::DisplayService::raiseRequested, &app,
                     [] { kd::sim::fail(Main::tr("another start: window brought to the front")); });
    const QString refusal = kd::sim::startRequestedInputs(inputs, options);
    if (inputs.anotherDisplayRunning()) {
        // One display per user: this start hands over to the one that runs.
        QString handOver;
        inputs.run([&](kd::sim::Inputs &opened) { handOver = opened.handOver(); });
        if (!handOver.isEmpty()) {
            kd::sim::fail(refusal + Main::tr("; its window cannot be brought to the front: ") +
                          handOver);
            return 1;
        }
        kd::sim::fail(refusal + Main::tr("; its window is now in front"));
        return 0;
    }
    if (!refusal.isEmpty()) {
        kd::sim::fail(refusal);
        return 1;
    }
    kd::sim::SimWindow window(inputs.service());
    window.show();
    return app.exec();
}
