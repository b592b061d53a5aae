#include "app/sim_options.h"
#include "inputs/display_service.h"
#include "inputs/inputs_thread.h"
#include "model/print_mode.h"
#include "window/sim_window.h"

#include <QApplication>
#include <QSocketNotifier>

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace {

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
    if (options.print) {
        // No window and no X server: a test suite's headless display.
        return kd::sim::printScreen(options.emulation.value_or(kd::sim::Emulation::Standard),
                                    options.printFile.toStdString(), std::cin, std::cout,
                                    std::cerr);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kundendisplay-sim"));
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
                     [] { tell(QStringLiteral("ein weiterer Start: Fenster nach vorn geholt")); });
    const QString problems = inputs.start(settings);
    if (inputs.anotherDisplayRunning()) {
        // One display per user: this start hands over to the one that runs.
        QString refusal;
        inputs.run([&](kd::sim::Inputs &opened) { refusal = opened.handOver(); });
        if (!refusal.isEmpty()) {
            tell(problems + QStringLiteral("; sein Fenster lässt sich nicht nach vorn holen: ") +
                 refusal);
            return 1;
        }
        tell(problems + QStringLiteral("; sein Fenster ist jetzt vorn"));
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
