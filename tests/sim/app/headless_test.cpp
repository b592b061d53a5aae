// The headless display as a till program's test suite uses it: started as a program, driven over
// TCP and over its pseudo-terminal, read through its JSON Lines stream, ended by a signal.
#include "support/headless_sim.h"
#include "support/sim_program.h"
#include "support/sim_thread.h"

#include <QJsonArray>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

namespace kd {
namespace {

namespace fs = std::filesystem;
using test::HeadlessSim;

const std::vector<std::string> kSideBySide{"--com", "0", "--no-usb", "--tcp", "127.0.0.1:0"};

std::vector<std::string> sideBySide(std::vector<std::string> more) {
    more.insert(more.begin(), kSideBySide.begin(), kSideBySide.end());
    return more;
}

// Whether the other end closed the connection within the time (a refused or dropped client).
bool closedByDisplay(int fd, int timeoutMs = 3000) {
    timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    char byte;
    return ::recv(fd, &byte, 1, 0) == 0;
}

TEST(Headless, ReadyNamesEveryInputAndTheScreenFollowsTcpAndThePseudoTerminal) {
    test::PrivateRuntimeDir runtime;
    HeadlessSim sim(sideBySide({"--emulation", "epson", "--log"}));
    const QJsonObject ready = sim.ready();
    ASSERT_EQ(ready["event"], "ready");
    EXPECT_TRUE(ready["pty"].toString().startsWith("/dev/pts/"))
        << ready["pty"].toString().toStdString();
    EXPECT_TRUE(ready["tcp"].toString().startsWith("127.0.0.1:"));
    EXPECT_GT(test::portOf(ready), 0);
    EXPECT_TRUE(ready["socket"].isNull());
    EXPECT_TRUE(ready["com"].isNull());
    EXPECT_TRUE(ready["serialLink"].isNull());
    EXPECT_EQ(ready["emulation"], "epson");
    EXPECT_EQ(ready["pid"].toInt(), sim.pid());
    // Nothing per-user: no lock, no socket, no port map.
    EXPECT_TRUE(fs::is_empty(runtime.path()));

    // The power-on screen first, so that a reader knows where it starts.
    const QJsonObject blank = sim.waitForLines("", "");
    ASSERT_FALSE(blank.isEmpty());
    EXPECT_EQ(blank["brightness"], 100);
    EXPECT_EQ(blank["displayOn"], true);

    const int client = test::connectTcp(test::portOf(ready));
    ASSERT_GE(client, 0);
    ASSERT_TRUE(test::sendAll(client, "\x0c"
                                      "Hallo TCP\x1f\x58\x01"));
    // Brightness, cursor (1-based) and code table are in the event as the display shows them.
    const QJsonObject fromTcp = sim.waitFor([](const QJsonObject &event) {
        return event["event"] == "screen" &&
               event["lines"].toArray()[0] == QStringLiteral("Hallo TCP").leftJustified(20) &&
               event["brightness"] == 20;
    });
    ASSERT_FALSE(fromTcp.isEmpty());
    EXPECT_EQ(fromTcp["cursor"].toObject()["row"], 1);
    EXPECT_EQ(fromTcp["cursor"].toObject()["column"], 10);
    EXPECT_EQ(fromTcp["codeTable"], "PC437");
    // Each command was named before the screen it led to.
    const std::vector<QJsonObject> &events = sim.events();
    const auto named = [&](const char *bytes) {
        return std::any_of(events.begin(), events.end(), [&](const QJsonObject &event) {
            return event["event"] == "command" && event["bytes"] == bytes &&
                   event["source"] == "TCP" && !event["name"].toString().isEmpty();
        });
    };
    EXPECT_TRUE(named("0C"));
    EXPECT_TRUE(named("1F 58 01"));

    // A second client is refused while the first is served.
    const int second = test::connectTcp(test::portOf(ready));
    ASSERT_GE(second, 0);
    EXPECT_TRUE(closedByDisplay(second));
    ::close(second);

    // A command half-sent when its client goes is dropped: the next client's bytes are text.
    ASSERT_TRUE(test::sendAll(client, "\x1f\x24"));
    ::close(client);
    const int next = test::connectTcp(test::portOf(ready));
    ASSERT_GE(next, 0);
    ASSERT_TRUE(test::sendAll(next, "AB"));
    EXPECT_FALSE(sim.waitForLines("Hallo TCPAB", "").isEmpty());
    ::close(next);

    // The pseudo-terminal, as a serial till program opens it.
    const int serial = ::open(ready["pty"].toString().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(serial, 0);
    termios raw{};
    ::tcgetattr(serial, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(serial, TCSANOW, &raw);
    const std::string bytes = "\x1f\x24\x01\x02Seriell";
    ASSERT_EQ(::write(serial, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    const QJsonObject fromSerial = sim.waitForLines("Hallo TCPAB", "Seriell");
    ::close(serial);
    ASSERT_FALSE(fromSerial.isEmpty());
    EXPECT_EQ(fromSerial["cursor"].toObject()["row"], 2);
    EXPECT_EQ(fromSerial["cursor"].toObject()["column"], 8);

    EXPECT_EQ(sim.end(SIGTERM), 0);
}

// One display per parallel test: eight with --com 0 --no-usb under one user run side by side,
// each showing its own text, none taking the user's lock.
TEST(Headless, EightSideBySideEachShowTheirOwnText) {
    test::PrivateRuntimeDir runtime;
    std::vector<std::unique_ptr<HeadlessSim>> displays;
    std::vector<int> ports;
    for (int i = 0; i < 8; ++i) {
        displays.push_back(std::make_unique<HeadlessSim>(kSideBySide));
        const QJsonObject ready = displays.back()->ready(20000);
        ASSERT_EQ(ready["event"], "ready") << "display " << i;
        ports.push_back(test::portOf(ready));
    }
    std::vector<int> clients;
    for (int i = 0; i < 8; ++i) {
        clients.push_back(test::connectTcp(ports[static_cast<std::size_t>(i)]));
        ASSERT_GE(clients.back(), 0);
        ASSERT_TRUE(test::sendAll(clients.back(), "\x0c"
                                                  "Display " +
                                                      std::to_string(i)));
    }
    for (int i = 0; i < 8; ++i) {
        EXPECT_FALSE(displays[static_cast<std::size_t>(i)]
                         ->waitForLines("Display " + std::to_string(i), "", 10000)
                         .isEmpty())
            << "display " << i;
        ::close(clients[static_cast<std::size_t>(i)]);
    }
    EXPECT_TRUE(fs::is_empty(runtime.path()));
    for (auto &display : displays)
        EXPECT_EQ(display->end(SIGTERM), 0);
}

// SIGTERM and SIGINT: status 0 after the last screen is written, however fast the bytes came,
// and what the display entered (socket, port map entry, serial link) is gone.
TEST(Headless, TerminationWritesTheLastScreenAndRemovesWhatItEntered) {
    for (const int signal : {SIGTERM, SIGINT}) {
        test::PrivateRuntimeDir runtime;
        const fs::path link = fs::path(runtime.path()) / "kasse-com";
        HeadlessSim sim({"--com", "4", "--tcp", "0", "--serial-link", link.string()});
        const QJsonObject ready = sim.ready();
        ASSERT_EQ(ready["event"], "ready");
        const fs::path socket = ready["socket"].toString().toStdString();
        const fs::path entry = fs::path(runtime.path()) / "kundendisplay-ports" / "COM4";
        EXPECT_EQ(ready["com"], 4);
        EXPECT_EQ(ready["serialLink"].toString().toStdString(), link.string());
        EXPECT_TRUE(fs::exists(socket));
        EXPECT_TRUE(fs::is_symlink(entry));
        EXPECT_TRUE(fs::is_symlink(link));

        // A flood of separate writes: screen events are gathered (about 60 a second at most),
        // and the last one shows the last text.
        const int client = test::connectTcp(test::portOf(ready));
        ASSERT_GE(client, 0);
        const auto started = std::chrono::steady_clock::now();
        constexpr int kWrites = 3000;
        for (int i = 0; i < kWrites; ++i)
            ASSERT_TRUE(test::sendAll(client, "\x0c"
                                              "Nr " +
                                                  std::to_string(i)));
        ASSERT_FALSE(sim.waitForLines("Nr " + std::to_string(kWrites - 1), "", 20000).isEmpty());
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const auto screens =
            std::count_if(sim.events().begin(), sim.events().end(),
                          [](const QJsonObject &e) { return e["event"] == "screen"; });
        EXPECT_LE(screens, 2 + static_cast<long>(seconds * 64)) << seconds << " s";

        // Bytes just before the signal are still shown in the last event.
        ASSERT_TRUE(test::sendAll(client, "\x0c"
                                          "Zuletzt"));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(sim.end(signal), 0) << "signal " << signal;
        ::close(client);
        ASSERT_FALSE(sim.events().empty());
        const QJsonObject last = sim.events().back();
        EXPECT_EQ(last["event"], "screen");
        EXPECT_EQ(last["lines"].toArray()[0].toString(),
                  QStringLiteral("Zuletzt").leftJustified(20));
        EXPECT_FALSE(fs::exists(socket)) << "signal " << signal;
        EXPECT_FALSE(fs::exists(fs::symlink_status(entry))) << "signal " << signal;
        EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "signal " << signal;
    }
}

// The same recording and replay as the window: what one headless display recorded, another plays.
TEST(Headless, RecordsAndReplaysAsTheWindowDoes) {
    test::PrivateRuntimeDir runtime;
    const fs::path recording = fs::path(runtime.path()) / "kasse.rec";
    {
        HeadlessSim sim(sideBySide({"--record", recording.string()}));
        const QJsonObject ready = sim.ready();
        ASSERT_EQ(ready["event"], "ready");
        const int client = test::connectTcp(test::portOf(ready));
        ASSERT_TRUE(test::sendAll(client, "\x0c"
                                          "Aufgezeichnet\x1f\x24\x01\x02"));
        ASSERT_FALSE(sim.waitForLines("Aufgezeichnet", "").isEmpty());
        ASSERT_TRUE(test::sendAll(client, "Zeile 2"));
        ASSERT_FALSE(sim.waitForLines("Aufgezeichnet", "Zeile 2").isEmpty());
        ::close(client);
        EXPECT_EQ(sim.end(SIGTERM), 0);
    }
    HeadlessSim replayed({"--com", "0", "--no-usb", "--replay", recording.string()});
    ASSERT_EQ(replayed.ready()["event"], "ready");
    EXPECT_FALSE(replayed.waitForLines("Aufgezeichnet", "Zeile 2").isEmpty());
    EXPECT_EQ(replayed.end(SIGTERM), 0);
}

// Every bad input names the option, the thing and the reason: status 1 for what fails at run time,
// 2 for a command line that is malformed.
TEST(Headless, RefusesBadInputsNamingTheOptionAndTheReason) {
    test::PrivateRuntimeDir runtime;
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    const std::string busy = "127.0.0.1:" + std::to_string(taken.serverPort());
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"--headless", "--com", "0", "--no-usb", "--tcp", busy},
         1,
         "kundendisplay-sim: --tcp: " + busy +
             " cannot be opened: The bound address is already in use\n"},
        {{"--headless", "--com", "0", "--no-usb", "--tcp", "kein-rechner.invalid:0"},
         1,
         "kundendisplay-sim: --tcp: host kein-rechner.invalid not found: "},
        {{"--headless", "--tcp", "70000"},
         2,
         "kundendisplay-sim: Invalid value for --tcp: \"70000\" (expected [HOST:]PORT with PORT "
         "from 0 to 65535)\n"},
        {{"--headless", "--tcp", "localhost:"}, 2, "Invalid value for --tcp: \"localhost:\""},
        {{"--headless", "--tcp"}, 2, "Missing value after '--tcp'"},
        {{"--headless", "--print"}, 2, "--print and --headless exclude each other"},
        {{"--log"}, 2, "--log goes only with --headless"},
        {{"--png", "bild.png"}, 2, "--png goes only with --print or --headless"},
    };
    for (const Case &c : cases) {
        const test::ProgramRun run = test::runSimProgram(c.arguments, 2);
        EXPECT_EQ(run.exitStatus, c.status) << c.arguments.back();
        EXPECT_NE(("kundendisplay-sim: " + run.output).find(c.message), std::string::npos)
            << run.output;
    }
}

} // namespace
} // namespace kd
