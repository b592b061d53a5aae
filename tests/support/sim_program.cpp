#include "support/sim_program.h"

#include "display/usb_display_library.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace kd::test {

void execSimProgram(const std::vector<std::string> &arguments) {
    const std::string program = executableDir() + "/kundendisplay-sim";
    std::vector<char *> argv{const_cast<char *>(program.c_str())};
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

ProgramRun runSimProgram(const std::vector<std::string> &arguments, int collect,
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
        execSimProgram(arguments);
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

} // namespace kd::test
