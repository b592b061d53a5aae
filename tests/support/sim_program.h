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
// and collects what it wrote to the given descriptor (1 or 2).
ProgramRun runSimProgram(const std::vector<std::string> &arguments, int collect);

// Runs the windowed kundendisplay-sim program (on the offscreen platform) with the arguments and
// collects its standard error. A program still running after the time is killed; its exit status
// is then -1.
ProgramRun runSimWindow(const std::vector<std::string> &arguments, int timeoutMs);

} // namespace kd::test
