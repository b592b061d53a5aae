// The virtual display under a flood: how fast it takes bytes through its pseudo-terminal against a
// bare reader of the same kind of terminal, its memory after 50 MB, how often the window draws
// meanwhile and how long its event loop makes anything wait, and the latency from a command's last
// byte to the screen model; and a long recording replayed.
#include "flood.h"

#include "display/usb_display_library.h"
#include "support/sim_thread.h"
#include "window/sim_window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

namespace kd::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kFloodBytes = 16u * 1024 * 1024;
constexpr std::size_t kMemoryFloodBytes = 50u * 1024 * 1024;

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// 20 full repaints a second, as a till program sends them, only without the pauses: clear, both
// lines, each 20 characters.
std::string repaints(std::size_t bytes) {
    std::string data;
    for (int n = 0; data.size() < bytes; ++n) {
        char frame[64];
        std::snprintf(frame, sizeof frame, "\f%-14s%6d%-14s%6d", "Artikel", n % 1000000, "Gesamt",
                      (n * 7) % 1000000);
        data += frame;
    }
    data.resize(bytes);
    return data;
}

// A cable test: random bytes.
std::string noise(std::size_t bytes) {
    std::mt19937 random(20261210);
    std::string data(bytes, '\0');
    for (char &byte : data)
        byte = static_cast<char>(random() & 0xFF);
    return data;
}

void writeAll(const std::string &path, const std::string &data) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY);
    for (std::size_t at = 0; at < data.size();) {
        const ssize_t n =
            ::write(fd, data.data() + at, std::min<std::size_t>(64 * 1024, data.size() - at));
        if (n <= 0)
            break;
        at += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

// A bare reader: a pseudo-terminal in raw mode, its master drained in 64 KiB reads.
double drainBare(const std::string &data) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ::grantpt(master);
    ::unlockpt(master);
    char name[128];
    ::ptsname_r(master, name, sizeof name);
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    const auto start = Clock::now();
    std::thread writer([&] { writeAll(name, data); });
    std::vector<char> buffer(64 * 1024);
    std::size_t read = 0;
    while (read < data.size()) {
        const ssize_t n = ::read(master, buffer.data(), buffer.size());
        if (n <= 0)
            break;
        read += static_cast<std::size_t>(n);
    }
    const double elapsed = seconds(start);
    writer.join();
    ::close(slave);
    ::close(master);
    return elapsed;
}

struct Ingest {
    double seconds = 0;
    double repaintsPerSecond = 0;
    double longestWaitMs = 0; // the longest the window's event loop kept a 5 ms timer waiting
};

// The virtual display on its inputs' thread, its window on this one, as in the program.
Ingest ingest(const std::string &data) {
    test::PrivateRuntimeDir runtime;
    test::SimThread sim;
    sim::SimWindow window(sim.service());
    window.show();
    QCoreApplication::processEvents();
    const qint64 target = sim.service().receivedBytes() + static_cast<qint64>(data.size());
    const qint64 refreshesBefore = window.refreshCount();
    QElapsedTimer tick;
    double longestWaitMs = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longestWaitMs = std::max(longestWaitMs, tick.nsecsElapsed() / 1e6 - 5.0);
        tick.restart();
    });
    tick.start();
    probe.start(5);
    const auto start = Clock::now();
    std::thread writer([&] { writeAll(sim.terminalPath().toStdString(), data); });
    while (sim.service().receivedBytes() < target)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    Ingest result;
    result.seconds = seconds(start);
    writer.join();
    QCoreApplication::processEvents();
    result.repaintsPerSecond =
        static_cast<double>(window.refreshCount() - refreshesBefore) / result.seconds;
    result.longestWaitMs = std::max(0.0, longestWaitMs);
    return result;
}

void BM_Flood(benchmark::State &state, bool random) {
    const std::string data = random ? noise(kFloodBytes) : repaints(kFloodBytes);
    for (auto _ : state) {
        const double bare = drainBare(data);
        const Ingest display = ingest(data);
        state.SetIterationTime(display.seconds);
        const double mb = static_cast<double>(data.size()) / 1e6;
        state.counters["bare_MBps"] = mb / bare;
        state.counters["display_MBps"] = mb / display.seconds;
        state.counters["share_pct"] = 100.0 * bare / display.seconds;
        state.counters["repaints_per_s"] = display.repaintsPerSecond;
        state.counters["longest_wait_ms"] = display.longestWaitMs;
    }
}

// From writing a command's last byte to the screen model showing it.
void BM_CommandLatency(benchmark::State &state) {
    test::PrivateRuntimeDir runtime;
    test::SimThread sim;
    const int fd = ::open(sim.terminalPath().toLocal8Bit().constData(), O_WRONLY | O_NOCTTY);
    char next = 'A';
    for (auto _ : state) {
        const char command[2] = {'\f', next};
        const auto start = Clock::now();
        if (::write(fd, command, 2) != 2) {
            state.SkipWithError("write failed");
            break;
        }
        while (sim.service().snapshot().lines[0][0] != static_cast<char16_t>(next))
            std::this_thread::yield();
        state.SetIterationTime(seconds(start));
        next = next == 'Z' ? 'A' : static_cast<char>(next + 1);
    }
    ::close(fd);
}

// The real program, headless, with 50 MB poured into its serial link: half repaints, half noise.
void BM_ProgramMemoryAfterFlood(benchmark::State &state) {
    for (auto _ : state) {
        test::PrivateRuntimeDir runtime;
        const std::string link = runtime.path() + "/pos-display";
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.start(QString::fromStdString(executableDir() + "/kundendisplay-sim"),
                      {QStringLiteral("--com"), QStringLiteral("0"),
                       QStringLiteral("--serial-link"), QString::fromStdString(link)});
        for (int i = 0; i < 100 && !std::filesystem::is_symlink(link); ++i)
            QThread::msleep(50);
        if (!std::filesystem::is_symlink(link)) {
            state.SkipWithError("the virtual display did not start");
            return;
        }
        QThread::msleep(500);
        const double before = residentMiB(process.processId());
        const auto start = Clock::now();
        writeAll(link, repaints(kMemoryFloodBytes / 2));
        writeAll(link, noise(kMemoryFloodBytes / 2));
        const double written = seconds(start);
        QThread::msleep(1500);
        state.counters["rss_before_MiB"] = before;
        state.counters["rss_after_50MB_MiB"] = residentMiB(process.processId());
        state.counters["program_MBps"] = kMemoryFloodBytes / 1e6 / written;
        process.terminate();
        process.waitForFinished(5000);
    }
}

// The real program, headless, replaying a recording of a million arrivals over 100 s: how soon it
// serves, its memory while it plays, and how soon SIGTERM ends it.
void BM_ReplayLongRecording(benchmark::State &state) {
    for (auto _ : state) {
        test::PrivateRuntimeDir runtime;
        const std::string recording = runtime.path() + "/long.rec";
        {
            std::ofstream file(recording, std::ios::binary);
            file << "# kundendisplay-sim Aufzeichnung 1\n";
            for (int i = 0; i < 1000000; ++i)
                file << i / 10 << (i % 40 ? " USB 41\n" : " USB 0C\n");
        }
        const std::string link = runtime.path() + "/pos-display";
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        const auto start = Clock::now();
        process.start(QString::fromStdString(executableDir() + "/kundendisplay-sim"),
                      {QStringLiteral("--com"), QStringLiteral("0"),
                       QStringLiteral("--serial-link"), QString::fromStdString(link),
                       QStringLiteral("--replay"), QString::fromStdString(recording)});
        for (int i = 0; i < 400 && !std::filesystem::is_symlink(link); ++i)
            QThread::msleep(5);
        if (!std::filesystem::is_symlink(link)) {
            state.SkipWithError("the virtual display did not start");
            return;
        }
        state.counters["started_ms"] = seconds(start) * 1000;
        QThread::msleep(3000);
        state.counters["rss_playing_MiB"] = residentMiB(process.processId());
        const auto asked = Clock::now();
        process.terminate();
        process.waitForFinished(30000);
        state.counters["sigterm_to_end_ms"] = seconds(asked) * 1000;
    }
}

} // namespace

double residentMiB(long long pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

void registerFloodBenchmarks() {
    benchmark::RegisterBenchmark("Flood/repaints-16MB", BM_Flood, false)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Flood/noise-16MB", BM_Flood, true)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Flood/command-latency", BM_CommandLatency)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Flood/program-memory-50MB", BM_ProgramMemoryAfterFlood)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Replay/one-million-arrivals", BM_ReplayLongRecording)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
}

} // namespace kd::bench
