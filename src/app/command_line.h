#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kd {

// The tool has a window and no options beyond these two, which need no window system: the text
// to print on standard output, for --help (or -h) and --version wherever they stand, or nothing
// when the window is to open. Other arguments change nothing.
std::optional<std::string> answerCommandLine(const std::vector<std::string> &arguments);

} // namespace kd
