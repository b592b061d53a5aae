// Recording and replay under faults: long recordings, files that would block or never end, and
// a recording that can no longer be written.
#include "inputs/display_service.h"
#include "inputs/inputs.h"
#include "model/recording.h"
#include "support/sim_program.h"
#include "support/sim_thread.h"
#include "window/sim_window.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace kd::sim {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A folder of the test's own, removed with everything in it.
struct TempFolder {
    TempFolder() {
        char pattern[] = "/tmp/kd-replay-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~TempFolder() { fs::remove_all(path); }
    fs::path path;
};

std::string readFile(const fs::path &path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// A replay keeps the order, the bytes and the pace of what was recorded: played while it is
// recorded again, every arrival comes no earlier than its time and not long after it.
TEST(Replay, KeepsOrderAndPace) {
    TempFolder folder;
    const fs::path original = folder.path / "original.rec";
    const std::vector<Arrival> arrivals = {{0, "USB",
                                            "\x0c"
                                            "A"},
                                           {0, "Seriell", "B"},
                                           {150, "USB", "C"},
                                           {400, "Seriell", "\r\nD"}};
    {
        std::ofstream file(original, std::ios::binary);
        file << kRecordingHeader << '\n';
        for (const Arrival &arrival : arrivals)
            file << recordLine(arrival);
    }
    const fs::path again = folder.path / "again.rec";
    DisplayService service;
    Inputs inputs(service, {});
    ASSERT_EQ(inputs.recordTo(QString::fromStdString(again.string())), QString());
    ASSERT_EQ(inputs.replay(QString::fromStdString(original.string())), QString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.receivedBytes() == 7; }, 5000));

    const ReadRecording played = readRecording(readFile(again));
    ASSERT_EQ(played.error, "");
    ASSERT_EQ(played.arrivals.size(), arrivals.size());
    for (std::size_t i = 0; i < arrivals.size(); ++i) {
        EXPECT_EQ(played.arrivals[i].source, arrivals[i].source) << i;
        EXPECT_EQ(played.arrivals[i].bytes, arrivals[i].bytes) << i;
        EXPECT_GE(played.arrivals[i].atMs, arrivals[i].atMs) << i;
        EXPECT_LT(played.arrivals[i].atMs, arrivals[i].atMs + 1000) << i;
    }
    const Snapshot snapshot = service.snapshot();
    EXPECT_EQ(snapshot.lines[0], u"ABC                 ");
    EXPECT_EQ(snapshot.lines[1], u"D                   ");
}

// A client of the display's socket, as the stand-in library is one; true once it is welcomed.
bool welcomedAt(const std::string &socketPath) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    bool welcomed = false;
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0) {
        pollfd ready{fd, POLLIN, 0};
        char byte = 0;
        welcomed = ::poll(&ready, 1, 2000) == 1 && ::recv(fd, &byte, 1, 0) == 1 && byte == 'K';
    }
    ::close(fd);
    return welcomed;
}

// A million arrivals over a hundred seconds: the program serves its USB socket while it plays,
// and SIGTERM ends it at once.
TEST(Replay, LongRecordingLeavesTheProgramResponsive) {
    test::PrivateRuntimeDir runtime;
    TempFolder folder;
    const fs::path recording = folder.path / "long.rec";
    {
        std::ofstream file(recording, std::ios::binary);
        file << kRecordingHeader << '\n';
        for (int i = 0; i < 1000000; ++i)
            file << i / 10 << (i % 2 ? " USB " : " Seriell ") << (i % 40 ? "41\n" : "0C\n");
    }
    const std::string socket = runtime.path() + "/kundendisplay-sim.sock";
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        test::execSimProgram({"--com", "0", "--replay", recording.string()});
    }
    const bool served = QTest::qWaitFor([&] { return welcomedAt(socket); }, 15000);
    EXPECT_TRUE(served);
    const Clock::time_point asked = Clock::now();
    ::kill(child, SIGTERM);
    int status = 0;
    bool ended = false;
    for (int i = 0; i < 300 && !ended; ++i) {
        ended = ::waitpid(child, &status, WNOHANG) == child;
        if (!ended)
            QTest::qWait(50);
    }
    if (!ended) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    }
    ASSERT_TRUE(ended) << "SIGTERM did not end the replaying program within 15 s";
    EXPECT_LT(std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - asked).count(), 5);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// What --record and --replay cannot write or read at once is refused before the window opens,
// naming the option, the file and why, with status 1; nothing waits for another end.
TEST(RecordAndReplay, RefuseWhatWouldBlockOrNeverEnd) {
    test::PrivateRuntimeDir runtime;
    TempFolder folder;
    const std::string fifo = (folder.path / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::string> says;
    } cases[] = {
        {{"--replay", fifo}, {"--replay", fifo, "not a regular file but a pipe"}},
        {{"--replay", "/dev/zero"}, {"--replay", "/dev/zero", "not a regular file but a device"}},
        {{"--replay", folder.path.string()}, {"--replay", folder.path.string()}},
        {{"--record", fifo}, {"--record", fifo, "nobody reads"}},
        {{"--record", "/dev/full"}, {"--record", "/dev/full", std::strerror(ENOSPC)}},
    };
    for (const auto &c : cases) {
        std::vector<std::string> arguments{"--com", "0"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const test::ProgramRun run = test::runSimWindow(arguments, 10000);
        EXPECT_EQ(run.exitStatus, 1) << c.arguments.back() << ": " << run.output;
        for (const std::string &fragment : c.says)
            EXPECT_NE(run.output.find(fragment), std::string::npos)
                << fragment << " in " << run.output;
    }
}

// A line that turns out malformed while the recording plays ends the replay, and the program
// says so on standard error; it goes on running.
TEST(RecordAndReplay, ReplayThatMeetsAMalformedLineStopsAndSaysSo) {
    test::PrivateRuntimeDir runtime;
    TempFolder folder;
    const fs::path recording = folder.path / "broken.rec";
    std::ofstream(recording, std::ios::binary)
        << kRecordingHeader << "\n0 USB 41\n100 USB 42\n200 USB 4\n";
    const test::ProgramRun run =
        test::runSimWindow({"--com", "0", "--replay", recording.string()}, 3000);
    EXPECT_EQ(run.exitStatus, -1) << "still running when killed";
    EXPECT_NE(run.output.find("--replay: playing " + recording.string() +
                              " stopped: line 4 of the recording is malformed"),
              std::string::npos)
        << run.output;
}

// A recording that can no longer be written stops, and says so in the window's input list and
// to whoever listens for problems (the program: standard error); the display goes on.
TEST(RecordAndReplay, RecordingThatCannotBeWrittenStopsAndSaysSo) {
    TempFolder folder;
    const std::string fifo = (folder.path / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A reader that never reads: the pipe fills and the next write would block.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    DisplayService service;
    SimWindow window(service);
    QSignalSpy problems(&service, &DisplayService::problemReported);
    Inputs inputs(service, {});
    ASSERT_EQ(inputs.recordTo(QString::fromStdString(fifo)), QString());
    const QByteArray chunk(4096, 'x');
    for (int i = 0; i < 200; ++i)
        inputs.receive(QStringLiteral("USB"), chunk);
    EXPECT_EQ(service.receivedBytes(), 200 * 4096); // the display went on

    ASSERT_EQ(problems.size(), 1);
    const QString problem = problems.front().front().toString();
    EXPECT_TRUE(problem.contains(QStringLiteral("--record"))) << problem.toStdString();
    EXPECT_TRUE(problem.contains(QString::fromStdString(fifo))) << problem.toStdString();
    EXPECT_TRUE(problem.contains(QStringLiteral("ended"))) << problem.toStdString();
    window.refresh();
    EXPECT_TRUE(window.findChild<QLabel *>(QStringLiteral("inputs"))->text().contains(problem));
    ::close(reader);
}

} // namespace
} // namespace kd::sim
