#include "app/command_line.h"

#ifndef KD_VERSION
#error "KD_VERSION comes from the project's version in CMake"
#endif

namespace kd {
namespace {

constexpr char kHelp[] =
    "Aufruf: kundendisplay-test [--help | --version]\n"
    "\n"
    "Testprogramm für das zweizeilige Kundendisplay mit 20 Spalten an der Kasse. Im Fenster\n"
    "wählt der Techniker USB oder Com; das Programm sucht unter den Portnummern 1 bis 20 die\n"
    "erste, die sich öffnen lässt, löscht das Display und sendet auf Knopfdruck feste\n"
    "Testinhalte. Weitere Argumente werden nicht ausgewertet.\n"
    "\n"
    "  -h, --help     zeigt diese Hilfe und endet\n"
    "      --version  zeigt die Version und endet\n"
    "\n"
    "Dokumentation: die Handbuchseite kundendisplay-test(1) (man kundendisplay-test) und\n"
    "/usr/share/doc/kundendisplay-test/README.md.\n";

} // namespace

std::optional<std::string> answerCommandLine(const std::vector<std::string> &arguments) {
    for (const std::string &argument : arguments) {
        if (argument == "--help" || argument == "-h")
            return std::string(kHelp);
        if (argument == "--version")
            return std::string("kundendisplay-test " KD_VERSION "\n");
    }
    return std::nullopt;
}

} // namespace kd
