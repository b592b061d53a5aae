#pragma once

#include <string>

namespace kd::sim {

// --serial-link: a symbolic link at a fixed path to the pseudo-terminal, so that till software
// can be set up once. It replaces nothing but a stale link of its own kind (a link to a
// pseudo-terminal that no longer exists); anything else is refused with the reason.
std::string makeTerminalLink(const std::string &link, const std::string &terminal);
// Removes the link if it still leads to the terminal.
void removeTerminalLink(const std::string &link, const std::string &terminal);

} // namespace kd::sim
