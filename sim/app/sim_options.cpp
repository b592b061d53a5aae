#include "app/sim_options.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace kd::sim {
namespace {

// The context of the command line's texts in the translations.
class CommandLine {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

// Qt names the program as it was called (a path, or in a test the test program, or a placeholder
// without an application object): the help always names the virtual display.
QString helpText(const QCommandLineParser &parser) {
    QString text = parser.helpText();
    const QStringList arguments = QCoreApplication::arguments();
    const QString program =
        arguments.isEmpty() ? QStringLiteral("<executable_name>") : arguments.first();
    const qsizetype at = text.indexOf(program);
    if (at >= 0)
        text.replace(at, program.size(), QStringLiteral("kundendisplay-sim"));
    return text.trimmed();
}

QString emulationNames() {
    QStringList names;
    for (Emulation emulation : allEmulations())
        names << QString::fromStdString(emulationName(emulation));
    return names.join(QStringLiteral(", "));
}

ParsedOptions refused(const QString &message) {
    ParsedOptions parsed;
    parsed.message = message;
    parsed.exitNow = true;
    parsed.exitStatus = 2;
    return parsed;
}

} // namespace

ParsedOptions parseSimOptions(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(CommandLine::tr(
        "Virtual customer display: shows what a two-line, 20-column customer display would show, "
        "and takes its bytes over a socket (USB) and a pseudo-terminal (serial)."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  CommandLine::tr("Shows this help and ends."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     CommandLine::tr("Shows the version and ends."));
    const QCommandLineOption emulation(
        QStringLiteral("emulation"),
        CommandLine::tr(
            "Starts in the command set NAME: %1. Without the option: the last choice in "
            "the window (with --print: standard).")
            .arg(emulationNames()),
        CommandLine::tr("NAME"));
    const QCommandLineOption com(
        QStringLiteral("com"),
        CommandLine::tr("Enters the pseudo-terminal as port number N (1 to 20, 0: not at all) in "
                        "the user's port map. Default: 1."),
        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption serialLink(
        QStringLiteral("serial-link"),
        CommandLine::tr("Makes a symbolic link to the pseudo-terminal at PATH and removes it at "
                        "the end. Replaces only a stale link of its own."),
        CommandLine::tr("PATH"));
    const QCommandLineOption print(
        QStringLiteral("print"),
        CommandLine::tr("Opens no window: reads the bytes from FILE (without FILE from standard "
                        "input, a recording of --record too), prints the two lines and the state "
                        "line, and ends."));
    const QCommandLineOption record(
        QStringLiteral("record"),
        CommandLine::tr("Writes every byte received on either input, with its time, to FILE."),
        CommandLine::tr("FILE"));
    const QCommandLineOption replay(
        QStringLiteral("replay"),
        CommandLine::tr("Plays a recording of --record into the window at its pace."),
        CommandLine::tr("FILE"));
    for (const QCommandLineOption &option :
         {help, version, emulation, com, serialLink, print, record, replay})
        parser.addOption(option);
    parser.addPositionalArgument(CommandLine::tr("FILE"),
                                 CommandLine::tr("With --print: the file with the bytes."),
                                 CommandLine::tr("[FILE]"));

    if (!parser.parse(arguments))
        // Qt's own refusals, in the user's language when Qt's translations are installed.
        return refused(parser.errorText());
    ParsedOptions parsed;
    if (parser.isSet(help)) {
        parsed.message = helpText(parser);
        parsed.exitNow = true;
        return parsed;
    }
    if (parser.isSet(version)) {
        parsed.message = QStringLiteral("kundendisplay-sim " KD_VERSION);
        parsed.exitNow = true;
        return parsed;
    }
    SimOptions &options = parsed.options;
    if (parser.isSet(emulation)) {
        options.emulation = emulationNamed(parser.value(emulation).toStdString());
        if (!options.emulation)
            return refused(CommandLine::tr("Unknown command set \"%1\"; the valid ones are: %2")
                               .arg(parser.value(emulation), emulationNames()));
    }
    bool number = false;
    options.comPort = parser.value(com).toInt(&number);
    if (!number || options.comPort < 0 || options.comPort > 20)
        return refused(
            CommandLine::tr("Invalid port number for --com: \"%1\" (0 to 20 are allowed)")
                .arg(parser.value(com)));
    options.serialLink = parser.value(serialLink);
    options.print = parser.isSet(print);
    options.recordFile = parser.value(record);
    options.replayFile = parser.value(replay);
    const QStringList files = parser.positionalArguments();
    if (files.size() > (options.print ? 1 : 0))
        return refused(options.print
                           ? CommandLine::tr("--print reads at most one file")
                           : CommandLine::tr("Unexpected argument \"%1\"").arg(files.first()));
    if (!files.isEmpty())
        options.printFile = files.first();
    if (options.print && !options.replayFile.isEmpty())
        return refused(CommandLine::tr("--print and --replay exclude each other"));
    return parsed;
}

} // namespace kd::sim
