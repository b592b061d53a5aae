#include "sim_display.h"
#include "sim_options.h"
#include "sim_window.h"

#include <QApplication>
#include <QSocketNotifier>

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>

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

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kundendisplay-sim"));
    quitOnTerminationSignals(app);

    kd::sim::SimDisplay display(parsed.options.comPort);
    kd::sim::SimWindow window(display);
    const QString problems = display.start();
    window.showInputs(problems);
    window.show();
    return app.exec();
}
