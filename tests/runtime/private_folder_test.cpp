#include "runtime/port_map.h"
#include "runtime/private_folder.h"
#include "runtime/sim_socket_path.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

namespace kd {
namespace {

namespace fs = std::filesystem;

// A temporary folder, and XDG_RUNTIME_DIR as the case sets it, both undone afterwards.
class RuntimeFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kd-private-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        if (const char *previous = std::getenv("XDG_RUNTIME_DIR"))
            m_previous = previous;
    }
    void TearDown() override {
        if (m_previous)
            ::setenv("XDG_RUNTIME_DIR", m_previous->c_str(), 1);
        else
            ::unsetenv("XDG_RUNTIME_DIR");
        fs::remove_all(dir);
    }
    fs::path dir;

  private:
    std::optional<std::string> m_previous;
};

// Every way the socket's folder is refused, and the two ways it is accepted. Each case prepares
// the folder and sets XDG_RUNTIME_DIR (or unsets it); the refusal must say why.
TEST_F(RuntimeFolder, SocketPathRefusesEveryUnsafeFolder) {
    const struct {
        const char *what;
        std::function<std::string(const fs::path &)> prepare; // returns XDG_RUNTIME_DIR, or ""
        const char *refusal;                                  // empty: accepted
    } cases[] = {
        {"a private folder", [](const fs::path &d) { return d.string(); }, ""},
        {"unset: the checked folder under /tmp", [](const fs::path &) { return std::string(); },
         ""},
        {"relative", [](const fs::path &) { return std::string("run/user"); },
         "kein absoluter Pfad"},
        {"a symlinked folder",
         [](const fs::path &d) {
             fs::create_directory(d / "real", d);
             fs::create_directory_symlink(d / "real", d / "link");
             return (d / "link").string();
         },
         "symbolischer Link"},
        {"the wrong mode",
         [](const fs::path &d) {
             fs::create_directory(d / "open");
             ::chmod((d / "open").c_str(), 0755);
             return (d / "open").string();
         },
         "Rechte 0755 statt 0700"},
        {"missing", [](const fs::path &d) { return (d / "missing").string(); }, "fehlt"},
        {"a path too long for a socket",
         [](const fs::path &d) {
             fs::path deep = d / std::string(100, 'x');
             fs::create_directory(deep);
             ::chmod(deep.c_str(), 0700);
             return deep.string();
         },
         "zu lang"},
    };
    for (const auto &c : cases) {
        const std::string runtimeDir = c.prepare(dir);
        if (runtimeDir.empty())
            ::unsetenv("XDG_RUNTIME_DIR");
        else
            ::setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
        const sim::SocketPath socket = sim::resolveSocketPath(true);
        if (std::string(c.refusal).empty()) {
            EXPECT_EQ(socket.error, "") << c.what;
            EXPECT_EQ(fs::path(socket.path).filename(), "kundendisplay-sim.sock") << c.what;
        } else {
            EXPECT_EQ(socket.path, "") << c.what;
            EXPECT_NE(socket.error.find(c.refusal), std::string::npos)
                << c.what << ": " << socket.error;
        }
    }
}

// A folder that belongs to another user is refused; only root can make one to test with.
TEST_F(RuntimeFolder, FolderOfAnotherUserIsRefused) {
    if (::getuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    fs::create_directory(dir / "foreign");
    ::chmod((dir / "foreign").c_str(), 0700);
    ASSERT_EQ(::chown((dir / "foreign").c_str(), 65534, 65534), 0);
    ::setenv("XDG_RUNTIME_DIR", (dir / "foreign").c_str(), 1);
    const Folder folder = privateFolder(false);
    EXPECT_NE(folder.error.find("gehört einem anderen Benutzer (UID 65534)"), std::string::npos)
        << folder.error;
}

TEST_F(RuntimeFolder, PortMapEntriesByHandByAProgramAndLeftBehind) {
    const std::string folder = dir.string();
    fs::create_symlink("/dev/serial/by-id/usb-adapter", dir / "COM3");
    const auto byHand = readPortMapEntry(folder, 3);
    ASSERT_TRUE(byHand);
    EXPECT_EQ(byHand->target, "/dev/serial/by-id/usb-adapter");
    EXPECT_EQ(byHand->owner, "");
    EXPECT_FALSE(readPortMapEntry(folder, 4));

    // A program enters itself; nobody else may take its number while it runs.
    EXPECT_EQ(enterPort(folder, 1, "/dev/pts/7", "virtuelles Kundendisplay"), "");
    const auto own = readPortMapEntry(folder, 1);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->target, "/dev/pts/7");
    EXPECT_EQ(own->owner, "virtuelles Kundendisplay");
    EXPECT_NE(enterPort(folder, 3, "/dev/pts/7", "x").find("schon vergeben"), std::string::npos);

    // An entry whose program has ended is ignored, and taken over by the next one.
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    std::ofstream(dir / "COM2.owner") << ended << " virtuelles Kundendisplay\n";
    fs::create_symlink("/dev/pts/9", dir / "COM2");
    EXPECT_FALSE(readPortMapEntry(folder, 2));
    EXPECT_EQ(enterPort(folder, 2, "/dev/pts/8", "virtuelles Kundendisplay"), "");
    EXPECT_EQ(readPortMapEntry(folder, 2)->target, "/dev/pts/8");

    // Leaving removes only this process's own entries.
    leavePort(folder, 1);
    leavePort(folder, 3);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "COM1")));
    EXPECT_FALSE(fs::exists(dir / "COM1.owner"));
    EXPECT_TRUE(fs::is_symlink(dir / "COM3"));
}

} // namespace
} // namespace kd
