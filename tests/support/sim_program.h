#pragma once

#include <string>
#include <vector>

namespace kd::test {

// What a program printed and how it ended.
struct ProgramRun {
    int exitStatus = -1;
    std::string output;
};

// In a forked child: becomes the kundendisplay-sim program beside the test, with the arguments.
[[noreturn]] void execSimProgram(const std::vector<std::string> &arguments);

// Runs the kundendisplay-sim program beside the test with the arguments and no window system,
// and collects what it wrote to the given descriptor (1 or 2). The locale variables (LANG,
// LANGUAGE, LC_ALL, LC_MESSAGES) are those given in locale, "NAME=value" each, or none.
ProgramRun runSimProgram(const std::vector<std::string> &arguments, int collect,
                         const std::vector<std::string> &locale = {});

// The same for the program of the given name beside the test (kundendisplay-test, …).
ProgramRun runProgram(const std::string &name, const std::vector<std::string> &arguments,
                      int collect, const std::vector<std::string> &locale = {},
                      const std::string &standardInput = {});

// Runs the kundendisplay-sim program as runSimProgram does, with its standard input read from
// the given path.
ProgramRun runSimProgramReading(const std::vector<std::string> &arguments, int collect,
                                const std::string &standardInput);

// Runs the windowed kundendisplay-sim program (on the offscreen platform) with the arguments and
// collects its standard error. A program still running after the time is killed; its exit status
// is then -1.
ProgramRun runSimWindow(const std::vector<std::string> &arguments, int timeoutMs);

} // namespace kd::test
