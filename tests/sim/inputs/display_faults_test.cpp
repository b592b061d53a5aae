// The virtual display and the stand-in library under faults: a lost terminal end, a display that
// stops reading, two displays at once, clients that say nothing or leave mid-command.
#include "app/main_window.h"
#include "inputs/terminal_input.h"
#include "runtime/sim_socket_path.h"
#include "support/rig.h"
#include "support/sim_program.h"
#include "support/sim_thread.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

namespace kd {
namespace {

using Clock = std::chrono::steady_clock;

std::string readText(const std::string &path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), {}};
}

// A client of the display's socket, as the stand-in library is one.
int connectClient(const QString &socketPath) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.toLocal8Bit().constData(),
                 sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Whether the display welcomed the client within the time.
bool welcomed(int fd, int timeoutMs = 2000) {
    pollfd ready{fd, POLLIN, 0};
    char byte = 0;
    return ::poll(&ready, 1, timeoutMs) == 1 && ::recv(fd, &byte, 1, MSG_DONTWAIT) == 1 &&
           byte == sim::kWelcome;
}

TEST(DisplayFaults, TerminalWhoseOtherEndCannotBeHeldOpenDoesNotMakeItSpin) {
    test::PrivateRuntimeDir runtime;
    sim::InputsSettings settings;
    settings.holdTerminalOpen = false;
    test::SimThread sim(settings);
    const std::string path = sim.terminalPath().toStdString();
    int writer = ::open(path.c_str(), O_WRONLY | O_NOCTTY);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, "Hi", 2), 2);
    ASSERT_TRUE(sim.waitForLines(u"Hi" + std::u16string(18, u' '), std::u16string(20, u' ')));
    ::close(writer); // now nobody holds the other end: every read of the master fails at once

    const auto wakeups = [&] {
        qint64 count = 0;
        sim.inputs().run([&](sim::Inputs &inputs) { count = inputs.terminal()->wakeups(); });
        return count;
    };
    const qint64 before = wakeups();
    QTest::qWait(500);
    EXPECT_LT(wakeups() - before, 20); // a spin would be many thousands

    writer = ::open(path.c_str(), O_WRONLY | O_NOCTTY);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, "\fback", 5), 5);
    EXPECT_TRUE(sim.waitForLines(u"back" + std::u16string(16, u' '), std::u16string(20, u' ')));
    ::close(writer);
}

// A display that accepts, greets and then never reads again: a listening socket of the test's at
// the display's path.
class StuckDisplay {
  public:
    StuckDisplay() {
        const sim::SocketPath path = sim::resolveSocketPath(true);
        m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.path.c_str(), sizeof address.sun_path - 1);
        ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address);
        ::listen(m_listener, 4);
        m_thread = std::thread([this] {
            while (!m_stop) {
                pollfd ready{m_listener, POLLIN, 0};
                if (::poll(&ready, 1, 50) != 1)
                    continue;
                const int client = ::accept(m_listener, nullptr, nullptr);
                if (client < 0)
                    continue;
                if (m_greet)
                    (void)!::send(client, &sim::kWelcome, 1, MSG_NOSIGNAL);
                m_clients.push_back(client);
                ++accepted;
            }
        });
    }
    ~StuckDisplay() {
        m_stop = true;
        m_thread.join();
        for (int client : m_clients)
            ::close(client);
        ::close(m_listener);
    }
    void setGreets(bool greets) { m_greet = greets; }
    std::atomic<int> accepted = 0;

  private:
    int m_listener = -1;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_greet = true;
    std::vector<int> m_clients;
    std::thread m_thread;
};

using WriteFunction = std::int32_t (*)(const std::uint8_t *, std::int32_t);
using OpenFunction = std::uint8_t (*)();

TEST(DisplayFaults, StandInGivesUpOnADisplayThatStopsReadingAndTheWindowStaysUsable) {
    test::PrivateRuntimeDir runtime;
    StuckDisplay display;
    SerialPortLink serial{PortTable{}};
    UsbDisplayLibrary usb{usbLibrarySearchDirs(nullptr, {}, toolLibraryDir(executableDir()))};
    test::RecordingMessageBox messages;
    MainWindow window{serial, usb, messages};
    QTest::mouseClick(window.Option[0], Qt::LeftButton);
    ASSERT_EQ(window.CommPort->text(), "1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return display.accepted == 1; }));

    // The same library instance the window uses, asked to send far more than the socket holds.
    void *library = ::dlopen(usb.loadedPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    const auto write = reinterpret_cast<WriteFunction>(::dlsym(library, "writecd722usb"));
    const std::vector<std::uint8_t> flood(16 * 1024 * 1024, 'x');
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(write(flood.data(), static_cast<std::int32_t>(flood.size())), -1);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_GE(waited.count(), 1900);
    EXPECT_LT(waited.count(), 5000);

    // The window goes on: a command returns at once, and a new scan connects afresh.
    const Clock::time_point click = Clock::now();
    QTest::mouseClick(window.cmdClear, Qt::LeftButton);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - click).count(),
              500);
    QTest::mouseClick(window.Option[0], Qt::LeftButton);
    EXPECT_EQ(window.CommPort->text(), "1");
    EXPECT_TRUE(QTest::qWaitFor([&] { return display.accepted == 2; }));
    ::dlclose(library);
}

TEST(DisplayFaults, StandInGivesUpOnADisplayThatNeverGreets) {
    test::PrivateRuntimeDir runtime;
    StuckDisplay display;
    display.setGreets(false);
    UsbDisplayLibrary usb{usbLibrarySearchDirs(nullptr, {}, toolLibraryDir(executableDir()))};
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(usb.opencd722usb(), 0);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_GE(waited.count(), 1900);
    EXPECT_LT(waited.count(), 5000);
    usb.closecd722usb();
}

TEST(DisplayFaults, OfTwoDisplaysExactlyOneServes) {
    test::PrivateRuntimeDir runtime;
    test::SimThread first;
    ASSERT_TRUE(first.problems().isEmpty()) << first.problems().toStdString();
    sim::InputsThread second;
    sim::InputsSettings settings;
    settings.comPort = 2;
    const QString problems = second.start(settings);
    EXPECT_TRUE(second.anotherDisplayRunning());
    EXPECT_TRUE(problems.startsWith("A virtual display is already running"))
        << problems.toStdString();
    const sim::InputPlaces places = second.service().places();
    EXPECT_EQ(places.terminalPath, QString());
    EXPECT_EQ(places.enteredPort, 0);
    second.stop();

    const int client = connectClient(first.socketPath());
    EXPECT_TRUE(welcomed(client)); // the first still serves, its socket untouched
    ::close(client);
}

// What stands at the places of the lock and the socket is never followed or taken for what it is
// not: the display refuses to use it and says which file and why.
TEST(DisplayFaults, LinkAtTheLockAndFolderAtTheSocketAreRefusedWithTheReason) {
    {
        test::PrivateRuntimeDir runtime;
        const std::string target = runtime.path() + "/elsewhere";
        ASSERT_EQ(::symlink(target.c_str(), (runtime.path() + "/kundendisplay-sim.lock").c_str()),
                  0);
        test::SimThread sim;
        EXPECT_NE(::access(target.c_str(), F_OK), 0) << "the link's target was created";
        EXPECT_TRUE(sim.problems().contains(
            QStringLiteral("Lock %1/kundendisplay-sim.lock cannot be created: "
                           "it is a symbolic link")
                .arg(QString::fromStdString(runtime.path()))))
            << sim.problems().toStdString();
        EXPECT_EQ(sim.socketPath(), QString()); // without the lock it serves no socket
    }
    {
        test::PrivateRuntimeDir runtime;
        const std::string socket = runtime.path() + "/kundendisplay-sim.sock";
        ASSERT_EQ(::mkdir(socket.c_str(), 0700), 0);
        test::SimThread sim;
        EXPECT_TRUE(sim.problems().contains(
            QStringLiteral("Socket %1 cannot be opened: a folder stands in its place")
                .arg(QString::fromStdString(socket))))
            << sim.problems().toStdString();
        EXPECT_FALSE(sim.terminalPath().isEmpty()); // the other input still serves
    }
}

// Two programs started in the same instant: one serves; the other hands over to it, which brings
// its window to the front, says so and ends with status 0. --print is not affected.
TEST(DisplayFaults, OfTwoProgramsStartedTogetherTheSecondHandsOver) {
    test::PrivateRuntimeDir runtime;
    pid_t children[2];
    std::string errors[2];
    for (int c = 0; c < 2; ++c) {
        errors[c] = runtime.path() + "/stderr" + std::to_string(c);
        children[c] = ::fork();
        if (children[c] == 0) {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            const int file = ::open(errors[c].c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(file, 2);
            test::execSimProgram({"--com", "0"});
        }
    }
    int ended = -1;
    int status = 0;
    for (int i = 0; i < 200 && ended < 0; ++i) {
        for (int c = 0; c < 2 && ended < 0; ++c) {
            if (::waitpid(children[c], &status, WNOHANG) == children[c])
                ended = c;
        }
        QTest::qWait(50);
    }
    ASSERT_GE(ended, 0) << "neither display ended";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string said = readText(errors[ended]);
    EXPECT_NE(said.find("A virtual display is already running"), std::string::npos) << said;
    EXPECT_NE(said.find("its window is now in front"), std::string::npos) << said;

    const int serving = 1 - ended;
    EXPECT_EQ(::waitpid(children[serving], &status, WNOHANG), 0); // still running
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return readText(errors[serving]).find("another start: window brought to the front") !=
               std::string::npos;
    }));
    EXPECT_EQ(test::runSimProgram({"--print", "/dev/null"}, 1).exitStatus, 0);

    ::kill(children[serving], SIGTERM);
    ::waitpid(children[serving], &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(DisplayFaults, SilentClientIsDroppedAndTheNextOneServed) {
    test::PrivateRuntimeDir runtime;
    sim::InputsSettings settings;
    settings.silentClientTimeoutMs = 300;
    test::SimThread sim(settings);
    const int silent = connectClient(sim.socketPath());
    ASSERT_TRUE(welcomed(silent));
    const int next = connectClient(sim.socketPath());
    EXPECT_FALSE(welcomed(next, 100)); // one client at a time
    ::close(next);

    QTest::qWait(500);
    const int later = connectClient(sim.socketPath());
    EXPECT_TRUE(welcomed(later));
    ::close(later);
    ::close(silent);
}

TEST(DisplayFaults, ClientThatLeavesMidFrameDoesNotSwallowTheNextClientsBytes) {
    test::PrivateRuntimeDir runtime;
    test::SimThread sim;
    const int first = connectClient(sim.socketPath());
    ASSERT_TRUE(welcomed(first));
    ASSERT_EQ(::send(first, "\x02\x05L1abc", 7, MSG_NOSIGNAL), 7);
    QTest::qWait(100);
    ::close(first);

    int second = -1;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        if (second >= 0)
            ::close(second);
        second = connectClient(sim.socketPath());
        return welcomed(second, 200);
    }));
    ASSERT_EQ(::send(second, "Hallo", 5, MSG_NOSIGNAL), 5);
    EXPECT_TRUE(sim.waitForLines(u"Hallo" + std::u16string(15, u' '), std::u16string(20, u' ')));
    ::close(second);
}

} // namespace
} // namespace kd
