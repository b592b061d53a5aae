#include "sim_options.h"

#include <QCommandLineParser>

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

} // namespace

ParsedOptions parseSimOptions(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Virtuelles Kundendisplay: zeigt, was ein zweizeiliges Kundendisplay mit 20 Spalten "
        "anzeigen würde, und nimmt seine Bytes über einen Socket (USB) und ein Pseudo-Terminal "
        "(seriell) an."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Zeigt diese Hilfe und endet."));
    parser.addOption(help);
    const QCommandLineOption com(
        QStringLiteral("com"),
        QStringLiteral("Trägt das Pseudo-Terminal als Portnummer N (1 bis 20, 0: gar nicht) in "
                       "die Portzuordnung des Benutzers ein. Vorgabe: 1."),
        QStringLiteral("N"), QStringLiteral("1"));
    parser.addOption(com);

    ParsedOptions parsed;
    if (!parser.parse(arguments)) {
        parsed.message = parser.errorText();
        parsed.exitNow = true;
        parsed.exitStatus = 2;
        return parsed;
    }
    if (parser.isSet(help)) {
        parsed.message = germanHelp(parser.helpText());
        parsed.exitNow = true;
        return parsed;
    }
    bool number = false;
    parsed.options.comPort = parser.value(com).toInt(&number);
    if (!number || parsed.options.comPort < 0 || parsed.options.comPort > 20) {
        parsed.message = QStringLiteral("Ungültige Portnummer für --com: \"%1\" (erlaubt sind 0 "
                                        "bis 20)")
                             .arg(parser.value(com));
        parsed.exitNow = true;
        parsed.exitStatus = 2;
    }
    return parsed;
}

} // namespace kd::sim
