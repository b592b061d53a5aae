#include "support/sim_program.h"

#include "display/usb_display_library.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace kd::test {

namespace {

[[noreturn]] void execProgram(const std::string &name, const std::vector<std::string> &arguments) {
    const std::string program = executableDir() + "/" + name;
    std::vector<char *> argv{const_cast<char *>(program.c_str())};
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

} // namespace

void execSimProgram(const std::vector<std::string> &arguments) {
    execProgram("kundendisplay-sim", arguments);
}

ProgramRun runSimProgram(const std::vector<std::string> &arguments, int collect,
                         const std::vector<std::string> &locale) {
    return runProgram("kundendisplay-sim", arguments, collect, locale);
}

ProgramRun runSimProgramReading(const std::vector<std::string> &arguments, int collect,
                                const std::string &standardInput) {
    return runProgram("kundendisplay-sim", arguments, collect, {}, standardInput);
}

ProgramRun runProgram(const std::string &name, const std::vector<std::string> &arguments,
                      int collect, const std::vector<std::string> &locale,
                      const std::string &standardInput) {
    int out[2];
    if (::pipe(out) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], collect);
        if (!standardInput.empty()) {
            const int input = ::open(standardInput.c_str(), O_RDONLY);
            if (input < 0 || ::dup2(input, STDIN_FILENO) < 0)
                ::_exit(126);
        }
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("QT_QPA_PLATFORM");
        for (const char *variable : {"LANG", "LANGUAGE", "LC_ALL", "LC_MESSAGES"})
            ::unsetenv(variable);
        for (const std::string &setting : locale)
            ::putenv(const_cast<char *>(setting.c_str()));
        execProgram(name, arguments);
    }
    ::close(out[1]);
    ProgramRun run;
    char buffer[512];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        run.output.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

ProgramRun runSimWindow(const std::vector<std::string> &arguments, int timeoutMs) {
    int err[2];
    if (::pipe(err) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(err[1], 2);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execSimProgram(arguments);
    }
    ::close(err[1]);
    ProgramRun run;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool timedOut = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        pollfd ready{err[0], POLLIN, 0};
        if (left <= 0 || ::poll(&ready, 1, static_cast<int>(left)) == 0) {
            timedOut = true;
            break;
        }
        char buffer[512];
        const ssize_t n = ::read(err[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        run.output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(err[0]);
    if (timedOut)
        ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    run.exitStatus = !timedOut && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace kd::test
