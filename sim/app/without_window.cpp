#include "app/without_window.h"

#include "app/requested_inputs.h"
#include "app/termination_signals.h"
#include "app/translations.h"
#include "headless/headless_stream.h"
#include "inputs/display_service.h"
#include "inputs/inputs_thread.h"
#include "model/print_mode.h"

#include <QCoreApplication>
#include <QLocale>

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <memory>

namespace kd::sim {
namespace {

std::unique_ptr<QCoreApplication> makeApplication(const PictureWriter *picture, int &argc,
                                                  char **argv) {
    if (picture)
        return picture->makeApplication(argc, argv);
    return std::make_unique<QCoreApplication>(argc, argv);
}

QString writePicture(const PictureWriter *picture, const Screen &screen, const QString &path) {
    const QString refusal = picture ? picture->write(screen, path)
                                    : QCoreApplication::translate("kd::sim::WithoutWindow",
                                                                  "this program draws no pictures");
    return refusal.isEmpty() ? QString() : QStringLiteral("--png: ") + refusal;
}

// The language the user's locale asks for; the model's texts need no application to choose it.
QString userLanguage() {
    return chooseLanguage(QLocale::system().uiLanguages());
}

std::optional<std::string> text(const QString &value) {
    if (value.isEmpty())
        return std::nullopt;
    return value.toStdString();
}

} // namespace

void fail(const QString &message) {
    std::fputs(qPrintable(QStringLiteral("kundendisplay-sim: ") + message + QLatin1Char('\n')),
               stderr);
}

int runPrint(const SimOptions &options, int &argc, char **argv, const PictureWriter *picture) {
    const QString language = userLanguage();
    Screen screen;
    const int status = printScreen(options.emulation.value_or(Emulation::Standard),
                                   options.printFile.toStdString(), STDIN_FILENO, std::cout,
                                   std::cerr, &screen, modelLanguage(language), options.setOptions);
    std::cout.flush();
    if (status != 0 || options.pngFile.isEmpty())
        return status;
    const auto app = makeApplication(picture, argc, argv);
    const Translations translations(language);
    if (const QString refusal = writePicture(picture, screen, options.pngFile);
        !refusal.isEmpty()) {
        fail(refusal);
        return 1;
    }
    return 0;
}

int runHeadless(const SimOptions &options, int &argc, char **argv, const PictureWriter *picture) {
    const auto app = makeApplication(options.pngFile.isEmpty() ? nullptr : picture, argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kundendisplay-sim"));
    const QString language = userLanguage();
    const Translations translations(language);
    // A reader that goes away ends nothing but the stream.
    ::signal(SIGPIPE, SIG_IGN);
    quitOnTerminationSignals(*app);

    // A test suite wants the same display every time: the window's last choice does not count.
    const Emulation emulation = options.emulation.value_or(Emulation::Standard);
    InputsThread inputs(emulation);
    DisplayService &service = inputs.service();
    service.setLanguage(modelLanguage(language));
    service.keepCommands(options.logCommands);
    HeadlessStream stream(service, STDOUT_FILENO, options.logCommands);
    QObject::connect(&service, &DisplayService::problemReported, &stream,
                     [](const QString &problem) { fail(problem); });

    if (const QString refusal = startRequestedInputs(inputs, options); !refusal.isEmpty()) {
        fail(refusal);
        return 1;
    }
    const InputPlaces places = service.places();
    for (const QString &problem : places.problems)
        fail(problem);

    ReadyFacts ready;
    ready.pid = static_cast<long>(::getpid());
    ready.pty = text(places.terminalPath);
    ready.tcp = text(places.tcpAddress);
    ready.rfc2217 = text(places.rfc2217Address);
    ready.socket = text(places.socketPath);
    if (places.enteredPort != 0)
        ready.com = places.enteredPort;
    ready.serialLink = text(places.terminalLink);
    ready.emulation = emulation;
    for (const QString &problem : places.problems)
        ready.problems.push_back(problem.toStdString());
    stream.writeReady(ready);

    QCoreApplication::exec();

    // The inputs stop first, so that nothing arrives after the last screen is written.
    inputs.stop();
    stream.flush();
    if (!options.pngFile.isEmpty()) {
        if (const QString refusal =
                writePicture(picture, service.snapshot().screen, options.pngFile);
            !refusal.isEmpty()) {
            fail(refusal);
            return 1;
        }
    }
    return 0;
}

} // namespace kd::sim
