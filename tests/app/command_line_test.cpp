// Both programs on the command line without a window system: --help and --version answer, and a
// start with no display says so and ends with status 1 instead of aborting in Qt.
#include "app/command_line.h"
#include "support/sim_program.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

using test::runProgram;

TEST(ToolCommandLine, AnswersHelpAndVersionAndIgnoresEverythingElse) {
    EXPECT_EQ(answerCommandLine({}), std::nullopt);
    EXPECT_EQ(answerCommandLine({"COM3", "--irgendwas", "-platform", "xcb"}), std::nullopt);
    EXPECT_EQ(answerCommandLine({"x", "--version"}), "kundendisplay-test " KD_VERSION "\n");
    for (const char *help : {"--help", "-h"}) {
        const std::optional<std::string> text = answerCommandLine({help});
        ASSERT_TRUE(text) << help;
        for (const char *mentions : {"Kundendisplay", "kundendisplay-test(1)",
                                     "/usr/share/doc/kundendisplay-test/README.md", "--version"})
            EXPECT_NE(text->find(mentions), std::string::npos) << help << ": " << mentions;
    }
}

// Each program run with DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM unset.
TEST(ProgramStart, HelpAndVersionNeedNoWindowSystem) {
    const struct {
        const char *program;
        std::vector<std::string> arguments;
        const char *says;
    } cases[] = {
        {"kundendisplay-test", {"--version"}, "kundendisplay-test " KD_VERSION "\n"},
        {"kundendisplay-sim", {"--version"}, "kundendisplay-sim " KD_VERSION "\n"},
        {"kundendisplay-test",
         {"--help"},
         "Dokumentation: die Handbuchseite kundendisplay-test(1)"},
    };
    for (const auto &c : cases) {
        const test::ProgramRun run = runProgram(c.program, c.arguments, 1);
        EXPECT_EQ(run.exitStatus, 0) << c.program << " " << c.arguments.front();
        EXPECT_NE(run.output.find(c.says), std::string::npos)
            << c.program << " " << c.arguments.front() << ": " << run.output;
    }
}

TEST(ProgramStart, WithoutADisplayBothProgramsSaySoAndEndWithStatusOne) {
    for (const char *program : {"kundendisplay-test", "kundendisplay-sim"}) {
        const test::ProgramRun run = runProgram(program, {}, 2);
        EXPECT_EQ(run.exitStatus, 1) << program << ": " << run.output;
        EXPECT_NE(run.output.find(std::string(program) + ": kein Bildschirm: DISPLAY ist nicht "
                                                         "gesetzt (kein X-Server)"),
                  std::string::npos)
            << program << ": " << run.output;
    }
    // The headless display needs none.
    EXPECT_EQ(test::runSimProgram({"--print", "/dev/null"}, 1).exitStatus, 0);
}

} // namespace
} // namespace kd
