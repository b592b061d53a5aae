#include "app/sim_options.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace kd::sim {
namespace {

// Qt writes the frame of the help text in English and, without an application object, does not
// know the program's name.
QString germanHelp(QString text) {
    text.replace(QStringLiteral("<executable_name>"), QStringLiteral("kundendisplay-sim"));
    text.replace(QStringLiteral("Usage:"), QStringLiteral("Aufruf:"));
    text.replace(QStringLiteral("[options]"), QStringLiteral("[Optionen]"));
    text.replace(QStringLiteral("Options:"), QStringLiteral("Optionen:"));
    text.replace(QStringLiteral("Arguments:"), QStringLiteral("Argumente:"));
    return text.trimmed();
}

// Qt's parse errors, in German.
QString germanError(const QString &error) {
    static const QRegularExpression unknown(QStringLiteral("^Unknown options? (.*)\\.$"));
    static const QRegularExpression missing(QStringLiteral("^Missing value after '(.*)'\\.$"));
    static const QRegularExpression unexpected(
        QStringLiteral("^Unexpected value after '(.*)'\\.$"));
    if (const auto match = unknown.match(error); match.hasMatch())
        return QStringLiteral("Unbekannte Option: %1").arg(match.captured(1));
    if (const auto match = missing.match(error); match.hasMatch())
        return QStringLiteral("Wert fehlt nach %1").arg(match.captured(1));
    if (const auto match = unexpected.match(error); match.hasMatch())
        return QStringLiteral("Unerwarteter Wert nach %1").arg(match.captured(1));
    return error;
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
    parser.setApplicationDescription(QStringLiteral(
        "Virtuelles Kundendisplay: zeigt, was ein zweizeiliges Kundendisplay mit 20 Spalten "
        "anzeigen würde, und nimmt seine Bytes über einen Socket (USB) und ein Pseudo-Terminal "
        "(seriell) an."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Zeigt diese Hilfe und endet."));
    const QCommandLineOption emulation(
        QStringLiteral("emulation"),
        QStringLiteral("Startet im Befehlssatz NAME: %1. Ohne die Option: die letzte Wahl im "
                       "Fenster (bei --print: standard).")
            .arg(emulationNames()),
        QStringLiteral("NAME"));
    const QCommandLineOption com(
        QStringLiteral("com"),
        QStringLiteral("Trägt das Pseudo-Terminal als Portnummer N (1 bis 20, 0: gar nicht) in "
                       "die Portzuordnung des Benutzers ein. Vorgabe: 1."),
        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption serialLink(
        QStringLiteral("serial-link"),
        QStringLiteral("Legt unter PFAD einen symbolischen Link auf das Pseudo-Terminal an und "
                       "entfernt ihn beim Ende. Ersetzt nur einen veralteten eigenen Link."),
        QStringLiteral("PFAD"));
    const QCommandLineOption print(
        QStringLiteral("print"),
        QStringLiteral("Öffnet kein Fenster: liest die Bytes aus DATEI (ohne DATEI von der "
                       "Standardeingabe, auch eine Aufzeichnung von --record), gibt die zwei "
                       "Zeilen und die Zustandszeile aus und endet."));
    const QCommandLineOption record(
        QStringLiteral("record"),
        QStringLiteral("Schreibt jedes empfangene Byte beider Eingänge mit seiner Zeit in DATEI."),
        QStringLiteral("DATEI"));
    const QCommandLineOption replay(
        QStringLiteral("replay"),
        QStringLiteral("Spielt eine Aufzeichnung von --record im Fenster in ihrem Tempo ab."),
        QStringLiteral("DATEI"));
    const QCommandLineOption headless(
        QStringLiteral("headless"),
        QStringLiteral("Öffnet kein Fenster und braucht keinen X-Server: dieselben Eingänge, "
                       "Befehlssätze, Aufzeichnung und Wiedergabe; die Ereignisse (ready, screen) "
                       "gehen als JSON Lines auf die Standardausgabe. Endet mit SIGTERM oder "
                       "SIGINT."));
    const QCommandLineOption log(
        QStringLiteral("log"),
        QStringLiteral("Mit --headless: zusätzlich ein Ereignis \"command\" je Befehl."));
    const QCommandLineOption png(
        QStringLiteral("png"),
        QStringLiteral("Mit --print oder --headless: schreibt beim Ende das Bild des Displays, "
                       "wie das Fenster es zeigt, als PNG in DATEI."),
        QStringLiteral("DATEI"));
    const QCommandLineOption noUsb(QStringLiteral("no-usb"),
                                   QStringLiteral("Öffnet keinen USB-Socket. Mit --com 0 trägt "
                                                  "das Display nichts beim Benutzer ein und "
                                                  "nimmt keine Sperre: beliebig viele laufen "
                                                  "nebeneinander."));
    const QCommandLineOption tcp(
        QStringLiteral("tcp"),
        QStringLiteral("Nimmt Bytes über TCP an: ein Client zur Zeit, an RECHNER (Vorgabe "
                       "127.0.0.1) und PORT (0: das System wählt; das Ereignis ready und das "
                       "Fenster nennen ihn)."),
        QStringLiteral("[RECHNER:]PORT"));
    for (const QCommandLineOption &option :
         {help, emulation, com, serialLink, print, record, replay, headless, log, png, noUsb, tcp})
        parser.addOption(option);
    parser.addPositionalArgument(QStringLiteral("DATEI"),
                                 QStringLiteral("Mit --print: die Datei mit den Bytes."),
                                 QStringLiteral("[DATEI]"));

    if (!parser.parse(arguments))
        return refused(germanError(parser.errorText()));
    ParsedOptions parsed;
    if (parser.isSet(help)) {
        parsed.message = germanHelp(parser.helpText());
        parsed.exitNow = true;
        return parsed;
    }
    SimOptions &options = parsed.options;
    if (parser.isSet(emulation)) {
        options.emulation = emulationNamed(parser.value(emulation).toStdString());
        if (!options.emulation)
            return refused(QStringLiteral("Unbekannter Befehlssatz \"%1\"; gültig sind: %2")
                               .arg(parser.value(emulation), emulationNames()));
    }
    bool number = false;
    options.comPort = parser.value(com).toInt(&number);
    if (!number || options.comPort < 0 || options.comPort > 20)
        return refused(
            QStringLiteral("Ungültige Portnummer für --com: \"%1\" (erlaubt sind 0 bis 20)")
                .arg(parser.value(com)));
    options.serialLink = parser.value(serialLink);
    options.print = parser.isSet(print);
    options.recordFile = parser.value(record);
    options.replayFile = parser.value(replay);
    const QStringList files = parser.positionalArguments();
    if (files.size() > (options.print ? 1 : 0))
        return refused(options.print
                           ? QStringLiteral("--print liest höchstens eine Datei")
                           : QStringLiteral("Unerwartetes Argument \"%1\"").arg(files.first()));
    if (!files.isEmpty())
        options.printFile = files.first();
    if (options.print && !options.replayFile.isEmpty())
        return refused(QStringLiteral("--print und --replay schließen einander aus"));
    options.headless = parser.isSet(headless);
    options.logCommands = parser.isSet(log);
    options.pngFile = parser.value(png);
    options.usbSocket = !parser.isSet(noUsb);
    if (options.print && options.headless)
        return refused(QStringLiteral("--print und --headless schließen einander aus"));
    if (options.logCommands && !options.headless)
        return refused(QStringLiteral("--log gilt nur mit --headless"));
    if (parser.isSet(png) && (options.pngFile.isEmpty() || !(options.print || options.headless)))
        return refused(options.pngFile.isEmpty()
                           ? QStringLiteral("--png braucht einen Dateinamen")
                           : QStringLiteral("--png gilt nur mit --print oder --headless; im "
                                            "Fenster speichert Strg+S das Bild"));
    if (parser.isSet(tcp)) {
        if (options.print)
            return refused(QStringLiteral("--print und --tcp schließen einander aus"));
        if (!parseTcpPlace(parser.value(tcp), options.tcpHost, options.tcpPort))
            return refused(QStringLiteral("Ungültiger Wert für --tcp: \"%1\" (erwartet "
                                          "[RECHNER:]PORT mit PORT von 0 bis 65535)")
                               .arg(parser.value(tcp)));
    }
    return parsed;
}

} // namespace kd::sim
