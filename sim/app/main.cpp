#include "model/print_mode.h"
#include "model/recording.h"
#include "inputs/sim_display.h"
#include "app/sim_options.h"
#include "window/sim_window.h"

#include <QApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
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

// Plays a recording into the display at its pace; an empty text, or why it cannot.
QString replay(const QString &path, kd::sim::SimDisplay &display) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Aufzeichnung %1 lässt sich nicht lesen: %2")
            .arg(path, file.errorString());
    const QByteArray content = file.readAll();
    const kd::sim::ReadRecording recording =
        kd::sim::readRecording(std::string_view(content.constData(), content.size()));
    if (!recording.ok())
        return path + QStringLiteral(": ") + QString::fromStdString(recording.error);
    for (const kd::sim::Arrival &arrival : recording.value) {
        QTimer::singleShot(
            static_cast<int>(arrival.atMs), &display,
            [&display, source = QString::fromStdString(arrival.source),
             bytes = QByteArray::fromStdString(arrival.bytes)] { display.receive(source, bytes); });
    }
    return {};
}

void fail(const QString &message) {
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
    QThread inputs;
    inputs.setObjectName(QStringLiteral("inputs"));
    inputs.start();
    auto *display = new kd::sim::SimDisplay(options.comPort, emulation);
    display->moveToThread(&inputs);
    const auto onDisplay = [display](const std::function<void()> &work) {
        QMetaObject::invokeMethod(display, work, Qt::BlockingQueuedConnection);
    };
    const auto finish = [&](int status) {
        onDisplay([display] { delete display; });
        inputs.quit();
        inputs.wait();
        return status;
    };

    QString problems;
    onDisplay([&] { problems = display->start(); });
    if (display->anotherDisplayRunning()) {
        fail(problems);
        return finish(1);
    }
    // What the command line asked for explicitly must work, or the program says why and ends.
    QString refusal;
    onDisplay([&] {
        if (!options.serialLink.isEmpty())
            refusal = display->linkSerialTo(options.serialLink);
        if (refusal.isEmpty() && !options.recordFile.isEmpty())
            refusal = display->recordTo(options.recordFile);
        if (refusal.isEmpty() && !options.replayFile.isEmpty())
            refusal = replay(options.replayFile, *display);
    });
    if (!refusal.isEmpty()) {
        fail(refusal);
        return finish(1);
    }
    int status = 0;
    {
        kd::sim::SimWindow window(*display);
        window.showInputs(problems);
        window.show();
        status = app.exec();
    }
    return finish(status);
}
