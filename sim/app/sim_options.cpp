#include "app/sim_options.h"

#include "inputs/display_service.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

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

// [HOST:]PORT, HOST a name, an IPv4 address or an IPv6 address in brackets; without HOST the
// loopback address, so that nothing is reachable from outside unless the user says so.
bool parseTcpPlace(const QString &text, QString &host, quint16 &port) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    host = colon < 0 ? QStringLiteral("127.0.0.1") : text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    const QString number = colon < 0 ? text : text.mid(colon + 1);
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    bool ok = false;
    const uint value = number.toUInt(&ok);
    if (host.isEmpty() || !digits.match(number).hasMatch() || !ok || value > 65535)
        return false;
    port = static_cast<quint16>(value);
    return true;
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
    const QCommandLineOption headless(
        QStringLiteral("headless"),
        CommandLine::tr("Opens no window and needs no X server: the same inputs, command sets, "
                        "recording and replay; the events (ready, screen) go to standard output "
                        "as JSON Lines. Ends on SIGTERM or SIGINT."));
    const QCommandLineOption log(
        QStringLiteral("log"),
        CommandLine::tr("With --headless: a \"command\" event per command too."));
    const QCommandLineOption png(
        QStringLiteral("png"),
        CommandLine::tr("With --print or --headless: writes the picture of the display, as the "
                        "window shows it, as a PNG to FILE at the end."),
        CommandLine::tr("FILE"));
    const QCommandLineOption noUsb(
        QStringLiteral("no-usb"),
        CommandLine::tr("Opens no USB socket. With --com 0 the display enters nothing for the "
                        "user and takes no lock: any number run side by side."));
    const QCommandLineOption tcp(
        QStringLiteral("tcp"),
        CommandLine::tr("Takes bytes over TCP: one client at a time, at HOST (default 127.0.0.1) "
                        "and PORT (0: the system chooses; the ready event and the window name "
                        "it)."),
        CommandLine::tr("[HOST:]PORT"));
    const QCommandLineOption rfc2217(
        QStringLiteral("rfc2217"),
        CommandLine::tr("Takes bytes over Telnet with the COM port control option (RFC 2217), one "
                        "client at a time, so that the sender sets speed, parity, data bits and "
                        "stop bits as on a real port; HOST and PORT as for --tcp."),
        CommandLine::tr("[HOST:]PORT"));
    const QCommandLineOption line(
        QStringLiteral("line"),
        CommandLine::tr("The display's own line, as its switches set it: baud,parity,data,stop "
                        "(for example 9600,N,8,1). A sender on another line is read as a real "
                        "display would read it. Default: the command set's usual line."),
        CommandLine::tr("SETTINGS"));
    const QCommandLineOption wrap(
        QStringLiteral("wrap"),
        CommandLine::tr("BA63/BA66: what a character after column 20 does: \"pending\" (the "
                        "default: it goes to the start of the next line) or \"clamp\" (it "
                        "overwrites column 20)."),
        CommandLine::tr("MODE"));
    const QCommandLineOption identification(
        QStringLiteral("identification"),
        CommandLine::tr("What the display answers when asked who it is (BA63/BA66 ESC [ 0 c, IEE "
                        "ESC 05 I), as hex bytes (for example \"42 41 36 33 0D\"), or \"none\". "
                        "Default: the set's own answer (none for the BA63/BA66)."),
        CommandLine::tr("HEX"));
    for (const QCommandLineOption &option :
         {help, version, emulation, com, serialLink, print, record, replay, headless, log, png,
          noUsb, tcp, rfc2217, line, wrap, identification})
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
    options.headless = parser.isSet(headless);
    options.logCommands = parser.isSet(log);
    options.pngFile = parser.value(png);
    options.usbSocket = !parser.isSet(noUsb);
    if (options.print && options.headless)
        return refused(CommandLine::tr("--print and --headless exclude each other"));
    if (options.logCommands && !options.headless)
        return refused(CommandLine::tr("--log goes only with --headless"));
    if (parser.isSet(png) && (options.pngFile.isEmpty() || !(options.print || options.headless)))
        return refused(options.pngFile.isEmpty()
                           ? CommandLine::tr("--png needs a file name")
                           : CommandLine::tr("--png goes only with --print or --headless; in the "
                                             "window Ctrl+S saves the picture"));
    if (parser.isSet(rfc2217)) {
        if (options.print)
            return refused(CommandLine::tr("--print and --rfc2217 exclude each other"));
        if (!parseTcpPlace(parser.value(rfc2217), options.rfc2217Host, options.rfc2217Port))
            return refused(CommandLine::tr("Invalid value for --rfc2217: \"%1\" (expected "
                                           "[HOST:]PORT with PORT from 0 to 65535)")
                               .arg(parser.value(rfc2217)));
    }
    if (parser.isSet(line)) {
        const ParsedLineSettings parsed = parseLineSettings(parser.value(line).toStdString());
        if (!parsed.settings)
            return refused(
                CommandLine::tr("Invalid value for --line: \"%1\": %2")
                    .arg(parser.value(line), DisplayService::describeLineFault(parsed.fault)));
        options.displayLine = parsed.settings;
    }
    if (parser.isSet(wrap)) {
        const QString mode = parser.value(wrap);
        if (mode != QLatin1String("pending") && mode != QLatin1String("clamp"))
            return refused(CommandLine::tr("Invalid value for --wrap: \"%1\" (expected pending "
                                           "or clamp)")
                               .arg(mode));
        options.setOptions.pendingWrap = mode == QLatin1String("pending");
    }
    if (parser.isSet(identification)) {
        const QString text = parser.value(identification);
        std::string bytes;
        if (text != QLatin1String("none")) {
            QString digits = text;
            digits.remove(QLatin1Char(' '));
            bool valid = !digits.isEmpty() && digits.size() % 2 == 0 &&
                         std::all_of(digits.begin(), digits.end(), [](QChar c) {
                             return c.isDigit() || QStringLiteral("abcdefABCDEF").contains(c);
                         });
            for (qsizetype at = 0; valid && at < digits.size(); at += 2) {
                const uint value = digits.mid(at, 2).toUInt(&valid, 16);
                bytes.push_back(static_cast<char>(value));
            }
            if (!valid)
                return refused(CommandLine::tr("Invalid value for --identification: \"%1\" "
                                               "(expected hex bytes such as \"44 2C 32 0D\", or "
                                               "none)")
                                   .arg(text));
        }
        options.setOptions.identification = bytes;
    }
    if (parser.isSet(tcp)) {
        if (options.print)
            return refused(CommandLine::tr("--print and --tcp exclude each other"));
        if (!parseTcpPlace(parser.value(tcp), options.tcpHost, options.tcpPort))
            return refused(CommandLine::tr("Invalid value for --tcp: \"%1\" (expected "
                                           "[HOST:]PORT with PORT from 0 to 65535)")
                               .arg(parser.value(tcp)));
    }
    return parsed;
}

} // namespace kd::sim
