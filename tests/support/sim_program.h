#pragma once

#include <string>
#include <vector>

namespace kd::test {

// What the kundendisplay-sim program printed and how it ended.
struct ProgramRun {
    int exitStatus = -1;
    std::string output;
};

// In a forked child: becomes the kundendisplay-sim program beside the test, with the arguments.
[[noreturn]] void execSimProgram(const std::vector<std::string> &arguments);

// Runs the kundendisplay-sim program beside the test with the arguments and no window system,
// and collects what it wrote to the given descriptor (1 or 2). Its standard input is the given
// path when there is one.
ProgramRun runSimProgram(const std::vector<std::string> &arguments, int collect,
                         const std::string &standardInput = {});

} // namespace kd::test
