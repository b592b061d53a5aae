// What a technician meets when something is wrong: every fault ends in a clear message and a
// window that still works.
#include "runtime/sim_socket_path.h"
#include "support/error_matchers.h"
#include "support/rig.h"
#include "support/sim_thread.h"

#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>

namespace kd {
namespace {

namespace fs = std::filesystem;
using test::PseudoTerminal;
using test::Rig;
using Texts = std::vector<std::string>;

// A device path that can be pointed at a new pseudo-terminal, as a device node comes back when
// the adapter is plugged in again.
class DeviceLink {
  public:
    DeviceLink() {
        char pattern[] = "/tmp/kd-dev-XXXXXX";
        m_dir = ::mkdtemp(pattern);
        m_path = (m_dir / "ttyKD1").string();
    }
    ~DeviceLink() { fs::remove_all(m_dir); }
    void pointAt(const PseudoTerminal &pty) {
        fs::remove(m_path);
        fs::create_symlink(pty.path(), m_path);
    }
    const std::string &path() const { return m_path; }

  private:
    fs::path m_dir;
    std::string m_path;
};

TEST(Faults, SerialDeviceVanishesAndComesBack) {
    DeviceLink device;
    auto pty = std::make_unique<PseudoTerminal>();
    device.pointAt(*pty);
    Rig rig(PortTable{device.path()});
    rig.form.Option_Click(1);
    ASSERT_EQ(test::hex(pty->read()), "0C");

    pty->closeMaster(); // unplugged
    rig.form.cmdClear_Click();
    ASSERT_EQ(rig.messages.errors.size(), 1u);
    EXPECT_EQ(rig.messages.errors[0].number, err::kWriteFailed);
    EXPECT_NE(rig.messages.errors[0].description.find(device.path()), std::string::npos)
        << rig.messages.errors[0].description;
    EXPECT_FALSE(rig.serial.portOpen());

    // One fault, one message: the next command says the port is not open.
    rig.form.cmdClear_Click();
    ASSERT_EQ(rig.messages.errors.size(), 2u);
    EXPECT_EQ(rig.messages.errors[1].number, err::kPortNotOpen);

    pty = std::make_unique<PseudoTerminal>(); // plugged in again
    device.pointAt(*pty);
    rig.form.Option_Click(1);
    EXPECT_EQ(rig.messages.messages, Texts{});
    EXPECT_EQ(rig.commPort.text(), "1");
    rig.form.cmdSumme_Click();
    EXPECT_EQ(pty->read(), "\f\f\fGesamt:\r\n               11,50");
}

TEST(Faults, PortHeldByAnotherProgramIsSkippedByTheScan) {
    PseudoTerminal held;
    PseudoTerminal free;
    SerialPortLink otherProgram{PortTable{held.path()}};
    otherProgram.setPortOpen(true);

    Rig rig(PortTable{held.path(), free.path()});
    rig.serial.setCommPort(1);
    EXPECT_TRUE(
        test::raisesError([&] { rig.serial.setPortOpen(true); }, err::kPortInUse, held.path()));
    rig.form.Option_Click(1);
    EXPECT_EQ(rig.commPort.text(), "2");
    EXPECT_EQ(test::hex(free.read()), "0C");
    EXPECT_EQ(held.read(50), "");
}

// The number openAsStranger reports when this machine does not let the test become another user.
constexpr int kCannotChangeUser = -1;

// Opens the device as a user who may not, and returns the error it raised.
Error openAsStranger(const std::string &device) {
    if (::getuid() != 0) {
        ::chmod(device.c_str(), 0);
        try {
            SerialPortLink link{PortTable{device}};
            link.setPortOpen(true);
        } catch (const RuntimeError &error) {
            return error.error();
        }
        return {};
    }
    int channel[2];
    if (::pipe(channel) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string report = "0 no error";
        if (::setgid(65534) != 0 || ::setgroups(0, nullptr) != 0 || ::setuid(65534) != 0) {
            report = std::to_string(kCannotChangeUser) +
                     " cannot become user 65534: " + std::strerror(errno);
        } else {
            try {
                SerialPortLink link{PortTable{device}};
                link.setPortOpen(true);
            } catch (const RuntimeError &error) {
                report = std::to_string(error.error().number) + " " + error.error().description;
            }
        }
        (void)!::write(channel[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[512];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    const std::size_t space = report.find(' ');
    return {std::atoi(report.substr(0, space).c_str()), report.substr(space + 1), {}};
}

TEST(Faults, PermissionDeniedNamesTheDeviceAndItsGroup) {
    PseudoTerminal pty;
    struct stat info {};
    ASSERT_EQ(::stat(pty.path().c_str(), &info), 0);
    const group *owner = ::getgrgid(info.st_gid);
    ASSERT_NE(owner, nullptr);

    const Error error = openAsStranger(pty.path());
    if (error.number == kCannotChangeUser)
        GTEST_SKIP() << error.description;
    EXPECT_EQ(error.number, err::kInvalidPortNumber) << error.description;
    EXPECT_NE(error.description.find(pty.path()), std::string::npos) << error.description;
    EXPECT_NE(error.description.find("Gruppe \"" + std::string(owner->gr_name) + "\""),
              std::string::npos)
        << error.description;
}

TEST(Faults, OutputTheDriverCannotTakeEndsInAnErrorNotAHang) {
    PseudoTerminal pty; // nobody reads its other end
    SerialPortLink link{PortTable{pty.path()}};
    link.setSettings("230400,N,8,1");
    link.setPortOpen(true);
    const std::u16string chunk(1000, u'x');
    Error error;
    for (int i = 0; i < 1000 && error.number == 0; ++i) {
        try {
            link.output(chunk);
        } catch (const RuntimeError &raised) {
            error = raised.error();
        }
    }
    EXPECT_EQ(error.number, err::kWriteFailed);
    EXPECT_NE(error.description.find("Zeitüberschreitung"), std::string::npos) << error.description;
    EXPECT_NE(error.description.find(pty.path()), std::string::npos) << error.description;
    EXPECT_FALSE(link.portOpen());
}

TEST(Faults, VirtualDisplayStoppedAndRestarted) {
    test::PrivateRuntimeDir runtimeDir;
    auto sim = std::make_unique<test::SimThread>();
    Rig rig({}, {executableDir()});
    rig.form.Option_Click(0);
    ASSERT_EQ(rig.messages.messages, Texts{});

    sim.reset(); // the virtual display ends
    rig.form.cmdSumme_Click();
    rig.form.cmdHello_Click();
    rig.form.cmdGivenandback_Click();
    EXPECT_EQ(rig.messages.errors.size(), 0u); // the library's statuses are not examined
    rig.form.Option_Click(0);
    EXPECT_EQ(rig.messages.messages, Texts{"Kein USB-Anschluss gefunden"});

    sim = std::make_unique<test::SimThread>();
    rig.form.Option_Click(0);
    EXPECT_EQ(rig.messages.messages.size(), 1u);
    rig.form.cmdSumme_Click();
    EXPECT_TRUE(sim->waitForLines(u"Gesamt:             ", u"               11,50"));
}

// A display that hangs: its socket takes connections but nobody ever answers on it.
TEST(Faults, HungDisplayCostsAUsbScanOneWaitNotOnePerNumber) {
    test::PrivateRuntimeDir runtimeDir;
    const sim::SocketPath path = sim::resolveSocketPath(true);
    ASSERT_EQ(path.error, "");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 32), 0); // room for every attempt: none is refused at once

    Rig rig({}, {executableDir()});
    const auto start = std::chrono::steady_clock::now();
    rig.form.Option_Click(0);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(rig.messages.messages, Texts{"Kein USB-Anschluss gefunden"});
    EXPECT_EQ(rig.form.state().intPos, 21);
    // One bound of 2 s for the first number, then the others fail at once: not 20 times 2 s.
    EXPECT_LT(took, std::chrono::seconds(8));

    // The display started anew is reached at once, even within the quiet time.
    ::close(listener);
    ::unlink(path.path.c_str());
    test::SimThread sim;
    rig.form.Option_Click(0);
    EXPECT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.form.state().intPos, 1);
}

} // namespace
} // namespace kd
