// The virtual display as its own program: what it leaves behind when it is told to end.
#include "display/usb_display_library.h"
#include "support/sim_program.h"
#include "support/sim_thread.h"

#include <QTest>

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace kd {
namespace {

namespace fs = std::filesystem;

pid_t startSim(const std::vector<std::string> &arguments) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        test::execSimProgram(arguments);
    }
    return child;
}

int endWith(pid_t child, int signal) {
    ::kill(child, signal);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// SIGTERM and SIGINT end the display as a normal close does: its socket and its port map entry
// are gone, and the number it entered itself as is the one asked for.
TEST(SimProcess, TerminationSignalsRemoveTheSocketAndThePortMapEntry) {
    for (const int signal : {SIGTERM, SIGINT}) {
        test::PrivateRuntimeDir runtime;
        const fs::path socket = fs::path(runtime.path()) / "kundendisplay-sim.sock";
        const fs::path entry = fs::path(runtime.path()) / "kundendisplay-ports" / "COM4";
        const pid_t sim = startSim({"--com", "4"});
        ASSERT_GT(sim, 0);
        const bool started =
            QTest::qWaitFor([&] { return fs::exists(socket) && fs::is_symlink(entry); }, 10000);
        if (!started)
            endWith(sim, SIGKILL);
        ASSERT_TRUE(started) << "signal " << signal;
        EXPECT_EQ(fs::read_symlink(entry).string().rfind("/dev/pts/", 0), 0u);

        EXPECT_EQ(endWith(sim, signal), 0) << "signal " << signal;
        EXPECT_FALSE(fs::exists(socket)) << "signal " << signal;
        EXPECT_FALSE(fs::exists(fs::symlink_status(entry))) << "signal " << signal;
        EXPECT_FALSE(fs::exists(entry.string() + ".owner")) << "signal " << signal;
    }
}

TEST(SimProcess, RefusesABadPortNumberAndNamesIt) {
    const test::ProgramRun run = test::runSimProgram({"--com", "21"}, 2);
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_NE(run.output.find("--com: \"21\""), std::string::npos) << run.output;
}

} // namespace
} // namespace kd
