// Speed and memory of the tool: window start, each content command over both transports, a
// failed scan, and resident memory after start-up; and the virtual display under a flood.
#include "app/form.h"
#include "app/main_window.h"
#include "flood.h"
#include "headless.h"
#include "model/display_model.h"
#include "support/fakes.h"
#include "support/pseudo_terminal.h"
#include "support/sim_thread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QThread>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using kd::Form;

// One byte on the wire at 9600 baud, 8N1: ten bits.
constexpr double kWireMsPerByte = 10.0 * 1000.0 / 9600.0;

struct Command {
    const char *name;
    void (Form::*click)();
    int serialBytes; // in steady state: the item line's clear-first flag is used up
    int usbBytes;
};

const Command kCommands[] = {
    {"Clear", &Form::cmdClear_Click, 1, 1},
    {"Begruessungstext", &Form::cmdHello_Click, 40, 54},
    {"Text", &Form::cmdText_Click, 21, 21},
    {"Summe", &Form::cmdSumme_Click, 31, 31},
    {"GivenAndBack", &Form::cmdGivenandback_Click, 41, 41},
};

struct Controls {
    kd::test::FakeTextBox commPort{"0"};
    kd::test::FakeTextBox settings{"9600,N,8,1"};
    kd::test::RecordingMessageBox messages;
};

// Times of one command: until the click returned, and until the last byte arrived.
struct Timing {
    double clickSeconds = 0;
    double arrivalSeconds = 0;
};

void reportWire(benchmark::State &state, int bytes, const Timing &total) {
    const double iterations = static_cast<double>(state.iterations());
    const double wireSeconds = bytes * kWireMsPerByte / 1000.0;
    state.counters["bytes"] = bytes;
    state.counters["wire_ms"] = bytes * kWireMsPerByte;
    state.counters["click_us"] = total.clickSeconds / iterations * 1e6;
    // The command's time as a share of its bytes' time on the wire, in percent.
    state.counters["click_pct"] = 100.0 * total.clickSeconds / iterations / wireSeconds;
    state.counters["arrival_pct"] = 100.0 * total.arrivalSeconds / iterations / wireSeconds;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_SerialCommand(benchmark::State &state, const Command &command) {
    kd::test::PseudoTerminal pty;
    kd::SerialPortLink serial{kd::PortTable{pty.path()}};
    kd::UsbDisplayLibrary usb{{}};
    Controls controls;
    Form form(serial, usb, controls.commPort, controls.settings, controls.messages);
    form.Form_Load();
    form.Option_Click(1);
    form.cmdText_Click(); // uses up the clear-first flag from start-up
    pty.read();
    Timing total;
    for (auto _ : state) {
        const auto start = Clock::now();
        (form.*command.click)();
        total.clickSeconds += secondsSince(start);
        if (pty.readExactly(static_cast<std::size_t>(command.serialBytes)).size() !=
            static_cast<std::size_t>(command.serialBytes)) {
            state.SkipWithError("bytes missing");
            return;
        }
        const double arrival = secondsSince(start);
        total.arrivalSeconds += arrival;
        state.SetIterationTime(arrival);
        if (command.click == &Form::cmdHello_Click || command.click == &Form::cmdSumme_Click ||
            command.click == &Form::cmdGivenandback_Click)
            form.state().blnClearFirst = false; // keep Text in its steady state
    }
    reportWire(state, command.serialBytes, total);
}

// The floor under every serial figure: one write(2) of one byte into a pseudo-terminal, and its
// arrival at the other end, without the tool.
void BM_SerialBaselineOneByteWrite(benchmark::State &state) {
    kd::test::PseudoTerminal pty;
    const int fd = ::open(pty.path().c_str(), O_WRONLY | O_NOCTTY);
    Timing total;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (::write(fd, "\f", 1) != 1) {
            state.SkipWithError("write failed");
            break;
        }
        total.clickSeconds += secondsSince(start);
        pty.readExactly(1);
        const double arrival = secondsSince(start);
        total.arrivalSeconds += arrival;
        state.SetIterationTime(arrival);
    }
    ::close(fd);
    reportWire(state, 1, total);
}

void BM_UsbCommandToVirtualDisplay(benchmark::State &state, const Command &command) {
    kd::test::PrivateRuntimeDir runtimeDir;
    kd::test::SimThread sim;
    kd::SerialPortLink serial{kd::PortTable{}};
    kd::UsbDisplayLibrary usb{
        kd::usbLibrarySearchDirs(nullptr, {}, kd::toolLibraryDir(kd::executableDir()))};
    Controls controls;
    Form form(serial, usb, controls.commPort, controls.settings, controls.messages);
    form.Form_Load();
    form.Option_Click(0);
    if (!controls.messages.messages.empty()) {
        state.SkipWithError("no virtual display reached");
        return;
    }
    form.cmdText_Click();
    Timing total;
    for (auto _ : state) {
        const qint64 expected = sim.service().receivedBytes() + command.usbBytes;
        const auto start = Clock::now();
        (form.*command.click)();
        total.clickSeconds += secondsSince(start);
        while (sim.service().receivedBytes() < expected)
            std::this_thread::yield();
        const double arrival = secondsSince(start);
        total.arrivalSeconds += arrival;
        state.SetIterationTime(arrival);
        form.state().blnClearFirst = false;
    }
    reportWire(state, command.usbBytes, total);
}

void BM_FailedScanWithoutDevices(benchmark::State &state) {
    kd::PortTable table;
    for (int i = 1; i <= 20; ++i)
        table.push_back("/nonexistent/ttyKD" + std::to_string(i));
    kd::SerialPortLink serial{table};
    kd::UsbDisplayLibrary usb{{}};
    Controls controls;
    Form form(serial, usb, controls.commPort, controls.settings, controls.messages);
    form.Form_Load();
    for (auto _ : state)
        form.Option_Click(1);
    if (static_cast<benchmark::IterationCount>(controls.messages.messages.size()) !=
        state.iterations())
        state.SkipWithError("a scan did not fail");
}

// From constructing the window to its first paint.
void BM_WindowReady(benchmark::State &state) {
    kd::SerialPortLink serial{kd::PortTable{}};
    kd::UsbDisplayLibrary usb{{}};
    kd::test::RecordingMessageBox messages;
    for (auto _ : state) {
        const auto start = Clock::now();
        kd::MainWindow window(serial, usb, messages);
        bool painted = false;
        struct PaintWatch : QObject {
            bool *painted;
            bool eventFilter(QObject *, QEvent *event) override {
                if (event->type() == QEvent::Paint)
                    *painted = true;
                return false;
            }
        } watch;
        watch.painted = &painted;
        window.cmdEnd->installEventFilter(&watch);
        window.show();
        while (!painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        window.hide();
    }
}

// Resident memory of the real program a second after it started (headless).
void BM_ResidentMemoryAfterStart(benchmark::State &state, const char *program) {
    for (auto _ : state) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.start(QString::fromStdString(kd::executableDir() + "/" + program), {});
        if (!process.waitForStarted(5000)) {
            state.SkipWithError("program did not start");
            return;
        }
        QThread::msleep(1000);
        state.counters["rss_MiB"] = kd::bench::residentMiB(process.processId());
        process.kill();
        process.waitForFinished(5000);
    }
}

// The model alone, per command set: 1 MiB of random bytes, as mixed as a fuzzer's, in arrivals of
// 4 KiB, with the log on as the window has it. Bytes per second of the set's own parsing.
void BM_ModelIngest(benchmark::State &state, kd::sim::Emulation emulation) {
    std::mt19937 random(20261211);
    std::string bytes(1 << 20, '\0');
    for (char &byte : bytes)
        byte = static_cast<char>(random() & 0xFF);
    for (auto _ : state) {
        kd::sim::DisplayModel model(emulation);
        for (std::size_t at = 0; at < bytes.size(); at += 4096) {
            model.feed(std::string_view(bytes).substr(at, 4096));
            benchmark::DoNotOptimize(model.takeLog());
            benchmark::DoNotOptimize(model.takeAnswers());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

} // namespace

int main(int argc, char **argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The headless platform says it cannot raise windows each time one is shown.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type != QtWarningMsg || !message.contains(QLatin1String("does not support")))
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    QApplication app(argc, argv);

    // The first window of the process is the one a user waits for; the rest show the steady state.
    benchmark::RegisterBenchmark("WindowReady/first", BM_WindowReady)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("WindowReady/again", BM_WindowReady)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Serial/baseline-write-1-byte", BM_SerialBaselineOneByteWrite)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    for (const Command &command : kCommands) {
        benchmark::RegisterBenchmark((std::string("Serial/") + command.name).c_str(),
                                     BM_SerialCommand, command)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("UsbToVirtualDisplay/") + command.name).c_str(),
                                     BM_UsbCommandToVirtualDisplay, command)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("FailedComScan/20ports", BM_FailedScanWithoutDevices)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ResidentMemory/kundendisplay-test", BM_ResidentMemoryAfterStart,
                                 "kundendisplay-test")
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ResidentMemory/kundendisplay-sim", BM_ResidentMemoryAfterStart,
                                 "kundendisplay-sim")
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);

    for (kd::sim::Emulation emulation : kd::sim::allEmulations())
        benchmark::RegisterBenchmark(("Model/" + kd::sim::emulationName(emulation)).c_str(),
                                     BM_ModelIngest, emulation)
            ->Unit(benchmark::kMillisecond);
    kd::bench::registerFloodBenchmarks();
    kd::bench::registerHeadlessBenchmarks();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
