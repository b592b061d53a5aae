#include "headless.h"

#include "display/usb_display_library.h"
#include "flood.h"
#include "support/headless_sim.h"
#include "support/sim_program.h"
#include "support/sim_thread.h"

#include <QJsonArray>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

namespace kd::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(fraction * values.size()))];
}

const std::vector<std::string> kSideBySide{"--com", "0", "--no-usb", "--tcp", "127.0.0.1:0"};

// From the last byte of a short command written on the TCP connection to the screen event that
// shows it, read off the display's standard output.
void BM_TcpWriteToScreenEvent(benchmark::State &state) {
    test::PrivateRuntimeDir runtime;
    test::HeadlessSim sim(kSideBySide);
    const QJsonObject ready = sim.ready();
    const int client = test::connectTcp(test::portOf(ready));
    if (client < 0) {
        state.SkipWithError("no TCP connection");
        return;
    }
    constexpr int kCommands = 400;
    std::vector<double> latencies;
    for (auto _ : state) {
        for (int i = 0; i < kCommands; ++i) {
            const std::string text = "Nr " + std::to_string(i);
            // Apart from each other, as a till program's commands are: no gathering.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const auto start = Clock::now();
            test::sendAll(client, "\x0c" + text);
            if (sim.waitForLines(text, "").isEmpty()) {
                state.SkipWithError("no screen event");
                break;
            }
            latencies.push_back(millisecondsSince(start));
        }
        state.SetIterationTime(0.001 * percentile(latencies, 0.5));
    }
    ::close(client);
    sim.end(SIGTERM);
    if (latencies.empty())
        return;
    state.counters["p50_ms"] = percentile(latencies, 0.50);
    state.counters["p99_ms"] = percentile(latencies, 0.99);
    state.counters["max_ms"] = *std::max_element(latencies.begin(), latencies.end());
}

// Start-up of the program with its inputs open and its event loop running, the same way for the
// window and for the headless display: started, the socket waited for (SIGTERM is handled from
// then on), SIGTERM sent, until it has ended; the ended part is the same for both. Headless also:
// from start to its ready event.
void BM_StartUp(benchmark::State &state, bool headless) {
    std::vector<double> toEnd, toReady;
    for (auto _ : state) {
        test::PrivateRuntimeDir runtime;
        const fs::path socket = fs::path(runtime.path()) / "kundendisplay-sim.sock";
        const auto start = Clock::now();
        if (headless) {
            test::HeadlessSim sim({"--com", "0"});
            if (sim.ready()["event"] != "ready") {
                state.SkipWithError("no ready event");
                return;
            }
            toReady.push_back(millisecondsSince(start));
            sim.end(SIGTERM);
        } else {
            const pid_t child = ::fork();
            if (child == 0) {
                ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
                const int null = ::open("/dev/null", O_WRONLY);
                ::dup2(null, STDERR_FILENO);
                test::execSimProgram({"--com", "0"});
            }
            while (!fs::exists(socket) && millisecondsSince(start) < 20000)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            ::kill(child, SIGTERM);
            ::waitpid(child, nullptr, 0);
        }
        toEnd.push_back(millisecondsSince(start));
        state.SetIterationTime(0.001 * (headless ? toReady.back() : toEnd.back()));
    }
    state.counters["median_start_to_end_ms"] = percentile(toEnd, 0.5);
    if (headless)
        state.counters["median_start_to_ready_ms"] = percentile(toReady, 0.5);
}

// A file of till traffic: repaints of both lines.
fs::path trafficFile(std::size_t bytes) {
    const fs::path path = fs::temp_directory_path() / ("kd-bench-print-" + std::to_string(bytes));
    if (fs::exists(path) && fs::file_size(path) == bytes)
        return path;
    std::ofstream file(path, std::ios::binary);
    std::string block;
    for (int n = 0; block.size() < 1024 * 1024; ++n) {
        char frame[64];
        std::snprintf(frame, sizeof frame, "\f%-14s%6d\x1f\x24\x01\x02%-14s%6d", "Artikel",
                      n % 1000000, "Gesamt", (n * 7) % 1000000);
        block += frame;
    }
    block.resize(1024 * 1024);
    for (std::size_t written = 0; written < bytes; written += block.size())
        file.write(block.data(),
                   static_cast<std::streamsize>(std::min(block.size(), bytes - written)));
    return path;
}

// Peak resident memory (ru_maxrss) and time of `--print FILE`, beside reading the same file bare.
void BM_PrintMemory(benchmark::State &state, std::size_t bytes) {
    const fs::path file = trafficFile(bytes);
    for (auto _ : state) {
        // The bare read first, so that both read from the page cache.
        const auto bareStart = Clock::now();
        const int fd = ::open(file.c_str(), O_RDONLY);
        std::vector<char> buffer(64 * 1024);
        while (::read(fd, buffer.data(), buffer.size()) > 0) {
        }
        ::close(fd);
        const double bareSeconds = millisecondsSince(bareStart) / 1000;

        const auto start = Clock::now();
        const pid_t child = ::fork();
        if (child == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDOUT_FILENO);
            test::execSimProgram({"--print", file.string()});
        }
        int status = 0;
        rusage usage{};
        ::wait4(child, &status, 0, &usage);
        const double printSeconds = millisecondsSince(start) / 1000;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("--print failed");
            return;
        }
        state.SetIterationTime(printSeconds);
        state.counters["peak_rss_MiB"] = usage.ru_maxrss / 1024.0;
        state.counters["print_MB_per_s"] = bytes / 1e6 / printSeconds;
        state.counters["bare_read_MB_per_s"] = bytes / 1e6 / bareSeconds;
    }
}

// --print on /dev/zero, an input that never ends: its resident memory after a few seconds.
void BM_PrintEndlessInput(benchmark::State &state) {
    for (auto _ : state) {
        const pid_t child = ::fork();
        if (child == 0)
            test::execSimProgram({"--print", "/dev/zero"});
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const double early = residentMiB(child);
        std::this_thread::sleep_for(std::chrono::seconds(3));
        state.counters["rss_after_1s_MiB"] = early;
        state.counters["rss_after_4s_MiB"] = residentMiB(child);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
}

// Eight headless displays side by side, each with a text on it: the memory of each.
void BM_EightSideBySide(benchmark::State &state) {
    test::PrivateRuntimeDir runtime;
    for (auto _ : state) {
        std::vector<std::unique_ptr<test::HeadlessSim>> displays;
        std::vector<double> memory;
        for (int i = 0; i < 8; ++i) {
            displays.push_back(std::make_unique<test::HeadlessSim>(kSideBySide));
            const QJsonObject ready = displays.back()->ready(20000);
            const int client = test::connectTcp(test::portOf(ready));
            test::sendAll(client, "\x0c"
                                  "Display " +
                                      std::to_string(i));
            displays.back()->waitForLines("Display " + std::to_string(i), "");
            ::close(client);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        for (const auto &display : displays)
            memory.push_back(residentMiB(display->pid()));
        for (const auto &display : displays)
            display->end(SIGTERM);
        state.counters["rss_each_min_MiB"] = *std::min_element(memory.begin(), memory.end());
        state.counters["rss_each_max_MiB"] = *std::max_element(memory.begin(), memory.end());
        double sum = 0;
        for (double value : memory)
            sum += value;
        state.counters["rss_all_eight_MiB"] = sum;
    }
}

} // namespace

void registerHeadlessBenchmarks() {
    benchmark::RegisterBenchmark("Headless/tcp-write-to-screen-event", BM_TcpWriteToScreenEvent)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("StartUp/window", BM_StartUp, false)
        ->Iterations(10)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("StartUp/headless", BM_StartUp, true)
        ->Iterations(10)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    for (const std::size_t mebibytes : {std::size_t(1), std::size_t(200)})
        benchmark::RegisterBenchmark(("Print/" + std::to_string(mebibytes) + "MiB").c_str(),
                                     BM_PrintMemory, mebibytes * 1024 * 1024)
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Print/dev-zero", BM_PrintEndlessInput)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Headless/eight-side-by-side", BM_EightSideBySide)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
}

} // namespace kd::bench
