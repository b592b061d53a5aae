// --print: the screen after a file or standard input, read as it arrives, and refusals of what
// cannot be read.
#include "model/display_model.h"
#include "model/print_mode.h"
#include "model/recording.h"
#include "support/sim_program.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace kd::sim {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(KD_TEST_SOURCE_DIR) / "sim" / "data";

std::string readFile(const fs::path &path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// What --print writes for the bytes given on standard input through a pipe, written in pieces of
// the given size so that reads end anywhere.
int printFromPipe(Emulation emulation, const std::string &bytes, std::size_t piece,
                  std::string &out, std::string &err) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return -1;
    std::thread writer([&] {
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            (void)!::write(pipeEnds[1], bytes.data() + at, std::min(piece, bytes.size() - at));
        ::close(pipeEnds[1]);
    });
    std::ostringstream output, errors;
    const int status = printScreen(emulation, "", pipeEnds[0], output, errors);
    writer.join();
    ::close(pipeEnds[0]);
    out = output.str();
    err = errors.str();
    return status;
}

// What the display shows after the arrivals, fed straight to the model.
std::string expectedScreen(Emulation emulation, const std::vector<std::string> &arrivals) {
    DisplayModel model(emulation);
    for (const std::string &bytes : arrivals)
        model.feed(bytes);
    return utf8(model.line(0)) + '\n' + utf8(model.line(1)) + '\n' + model.stateLine() + '\n';
}

// A till's session against an Epson display, recorded with its commands cut across reads: --print
// shows what the real display would.
TEST(PrintMode, ReproducesARecordedSession) {
    std::ostringstream out, err;
    EXPECT_EQ(printScreen(Emulation::Epson, (kData / "epson_session.rec").string(), -1, out, err),
              0)
        << err.str();
    EXPECT_EQ(out.str(), readFile(kData / "epson_session.expected"));
    EXPECT_EQ(out.str().substr(0, out.str().find('\n')), "Grüße Rolle  ÄXÜ    ");
}

TEST(PrintMode, ReadsPlainBytesFromStandardInputAndRefusesAnUnreadableFile) {
    std::string out, err;
    EXPECT_EQ(printFromPipe(Emulation::Aedex, "!#1HELLO\r", 3, out, err), 0) << err;
    EXPECT_EQ(out.substr(0, 42), "HELLO               \n                    \n");

    std::ostringstream out2, err2;
    EXPECT_EQ(printScreen(Emulation::Standard, "/nonexistent/bytes", -1, out2, err2), 1);
    EXPECT_EQ(out2.str(), "");
    EXPECT_EQ(err2.str(), "kundendisplay-sim: file /nonexistent/bytes cannot be read: "
                          "No such file or directory\n");
}

// Input is fed as it is read, in pieces: a command or a recording's line cut between two reads
// (here at every 64 KiB and at odd places of the pipe) gives the screen the whole input gives.
TEST(PrintMode, InputCutAcrossReadsShowsWhatTheWholeInputShows) {
    std::vector<std::string> arrivals;
    std::string plain;
    std::string recording = std::string(kRecordingHeader) + '\n';
    for (int i = 0; i < 6000; ++i) {
        const std::string bytes = "\x1f\x24" + std::string(1, char(1 + i % 20)) +
                                  std::string(1, char(1 + i % 2)) + "Nr " + std::to_string(i) +
                                  (i % 7 == 0 ? "\x1b\x74\x13\xd5" : "");
        arrivals.push_back(bytes);
        plain += bytes;
        recording += recordLine({i, "TCP", bytes});
    }
    const std::string expected = expectedScreen(Emulation::Epson, arrivals);
    ASSERT_GT(recording.size(), 3u * 64 * 1024);
    for (const std::size_t piece : {std::size_t(7), std::size_t(4093), std::size_t(100000)}) {
        std::string out, err;
        EXPECT_EQ(printFromPipe(Emulation::Epson, plain, piece, out, err), 0) << err;
        EXPECT_EQ(out, expected) << "plain, pieces of " << piece;
        EXPECT_EQ(printFromPipe(Emulation::Epson, recording, piece, out, err), 0) << err;
        EXPECT_EQ(out, expected) << "recording, pieces of " << piece;
    }
    // A text shorter than the header that starts like it is plain bytes; a broken line of a
    // recording is named, and nothing is printed.
    std::string out, err;
    EXPECT_EQ(printFromPipe(Emulation::Standard, "# kund", 2, out, err), 0);
    EXPECT_EQ(out.substr(0, 21), "# kund              \n");
    EXPECT_EQ(printFromPipe(Emulation::Standard, recording.substr(0, 5000) + "\n12 USB ZZ\n", 999,
                            out, err),
              1);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("of the recording is malformed"), std::string::npos) << err;
}

// The installed program needs no X server for --print.
TEST(PrintMode, TheProgramPrintsWithoutAWindowSystem) {
    const test::ProgramRun run = test::runSimProgram(
        {"--print", "--emulation", "epson", (kData / "epson_session.rec").string()}, 1);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, readFile(kData / "epson_session.expected"));
}

// What cannot be read (a folder, a device that fails on read, a folder as standard input) is
// refused with the name and the system's reason and status 1; nothing is printed as a screen.
TEST(PrintMode, TheProgramRefusesWhatCannotBeReadWithTheReason) {
    const std::string folder = fs::temp_directory_path().string();
    struct Case {
        std::vector<std::string> arguments;
        std::string standardInput;
        std::string message;
    };
    const Case cases[] = {
        {{"--print", folder}, "", "file " + folder + " cannot be read: Is a directory"},
        {{"--print", "/proc/self/mem"},
         "",
         "file /proc/self/mem cannot be read: Input/output error"},
        {{"--print"}, folder, "standard input cannot be read: Is a directory"},
    };
    for (const Case &c : cases) {
        const test::ProgramRun errors = test::runSimProgramReading(c.arguments, 2, c.standardInput);
        EXPECT_EQ(errors.exitStatus, 1) << c.message;
        EXPECT_EQ(errors.output, "kundendisplay-sim: " + c.message + "\n");
        const test::ProgramRun output = test::runSimProgramReading(c.arguments, 1, c.standardInput);
        EXPECT_EQ(output.output, "") << c.message;
    }
}

} // namespace
} // namespace kd::sim
