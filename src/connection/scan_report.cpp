#include "connection/scan_report.h"

#include <cctype>

namespace kd {
namespace {

std::string shownTarget(const std::string &target) {
    return target.empty() ? std::string("kein Gerät") : target;
}

std::string runLine(const std::vector<ScanAttempt> &attempts, std::size_t first, std::size_t last) {
    const ScanAttempt &from = attempts[first];
    const ScanAttempt &to = attempts[last];
    std::string line = "Port " + std::to_string(from.portNumber);
    if (last > first)
        line += "–" + std::to_string(to.portNumber);
    line += " (" + shownTarget(from.target);
    if (to.target != from.target)
        line += " … " + shownTarget(to.target);
    return line + "): " + from.outcome;
}

} // namespace

std::string formatScanReport(const ScanReport &report) {
    if (report.attempts.empty())
        return {};
    std::string upper = report.connection;
    for (char &c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string text = "Letzte Suche (" + upper + "):";
    const std::vector<ScanAttempt> &attempts = report.attempts;
    std::size_t first = 0;
    for (std::size_t i = 1; i <= attempts.size(); ++i) {
        // A run goes on while the outcome is the same and the numbers follow each other.
        if (i < attempts.size() && attempts[i].outcome == attempts[first].outcome &&
            attempts[i].portNumber == attempts[i - 1].portNumber + 1)
            continue;
        text += "\n" + runLine(attempts, first, i - 1);
        first = i;
    }
    return text;
}

} // namespace kd
