#include "app/sim_options.h"
#include "app/translations.h"
#include "inputs/display_service.h"
#include "inputs/inputs_thread.h"
#include "model/print_mode.h"
#include "window/sim_window.h"
#include "runtime/window_system.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace {

// The context of main()'s texts in the translations.
class Main {
    Q_DECLARE_TR_FUNCTIONS(Main)
};

int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    (void)!::write(g_signalPipe[0], &byte, 1);
}

// SIGTERM and SIGINT end the program through its event loop, so that it removes its socket and
// its port map entry as on a normal close.
void quitOnTerminationSignals(QApplication &app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char byte;
        (void)!::read(g_signalPipe[1], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    ::sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

void tell(const QString &message) {
    std::fputs(qPrintable(QStringLiteral("kundendisplay-sim: ") + message + QLatin1Char('\n')),
               stderr);
}

} // namespace

int main(int argc, char *argv[]) {
    const QString language = kd::sim::chooseLanguage(QLocale::system().uiLanguages());
    kd::sim::ParsedOptions parsed;
    {
        // The command line is read, in the user's language, before any window system is touched,
        // so that --help and --print need none.
        QCoreApplication core(argc, argv);
        const kd::sim::Translations translations(language);
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        parsed = kd::sim::parseSimOptions(arguments);
        if (parsed.exitNow) {
            std::fputs(qPrintable(parsed.message + QLatin1Char('\n')),
                       parsed.exitStatus == 0 ? stdout : stderr);
            return parsed.exitStatus;
        }
        if (parsed.options.print) {
            // No window and no X server: a test suite's headless display.
            return kd::sim::printScreen(
                parsed.options.emulation.value_or(kd::sim::Emulation::Standard),
                parsed.options.printFile.toStdString(), std::cin, std::cout, std::cerr);
        }
    }

    const kd::sim::SimOptions &options = parsed.options;
    if (const std::string missing = kd::missingWindowSystem(); !missing.empty()) {
        tell(QString::fromStdString(missing));
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kundendisplay-sim"));
    const kd::sim::Translations translations(language);
    quitOnTerminationSignals(app);

    const kd::sim::Emulation emulation = options.emulation.value_or(
        kd::sim::SimWindow::rememberedEmulation().value_or(kd::sim::Emulation::Standard));
    // The inputs and the model run on a thread of their own, so that a flood of bytes never keeps
    // the window (or a screen reader asking it) waiting.
    kd::sim::InputsThread inputs(emulation);
    // An input that stops working while the display runs is named in the window's input list and
    // here.
    QObject::connect(&inputs.service(), &kd::sim::DisplayService::problemReported, &app, tell);
    kd::sim::InputsSettings settings;
    settings.comPort = options.comPort;
    QObject::connect(&inputs.service(), &kd::sim::DisplayService::raiseRequested, &app,
                     [] { tell(Main::tr("another start: window brought to the front")); });
    const QString problems = inputs.start(settings);
    if (inputs.anotherDisplayRunning()) {
        // One display per user: this start hands over to the one that runs.
        QString refusal;
        inputs.run([&](kd::sim::Inputs &opened) { refusal = opened.handOver(); });
        if (!refusal.isEmpty()) {
            tell(problems + Main::tr("; its window cannot be brought to the front: ") + refusal);
            return 1;
        }
        tell(problems + Main::tr("; its window is now in front"));
        return 0;
    }
    // What the command line asked for explicitly must work, or the program says why and ends.
    QString refusal;
    inputs.run([&](kd::sim::Inputs &opened) {
        if (!options.serialLink.isEmpty())
            refusal = opened.linkTerminalTo(options.serialLink);
        if (refusal.isEmpty() && !options.recordFile.isEmpty())
            refusal = opened.recordTo(options.recordFile);
        if (refusal.isEmpty() && !options.replayFile.isEmpty())
            refusal = opened.replay(options.replayFile);
    });
    if (!refusal.isEmpty()) {
        tell(refusal);
        return 1;
    }
    kd::sim::SimWindow window(inputs.service());
    window.show();
    return app.exec();
}
