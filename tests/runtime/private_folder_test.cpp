#include "runtime/port_map.h"
#include "runtime/private_folder.h"
#include "runtime/sim_socket_path.h"

#include <gtest/gtest.h>

#include <signal.h>
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
        // A name Qt would turn into another: refused alike by the display and the stand-in.
        {"not UTF-8",
         [](const fs::path &d) {
             const fs::path latin1 = d / "M\xFCller";
             fs::create_directory(latin1);
             ::chmod(latin1.c_str(), 0700);
             return latin1.string();
         },
         "kein gültiges UTF-8"},
        {"an overlong slash", [](const fs::path &d) { return (d / "a\xC0\xAF").string(); },
         "kein gültiges UTF-8"},
        {"a surrogate", [](const fs::path &d) { return (d / "a\xED\xA0\x80").string(); },
         "kein gültiges UTF-8"},
        {"UTF-8 with umlauts and more",
         [](const fs::path &d) {
             const fs::path utf8 = d / "M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x98\x80";
             fs::create_directory(utf8);
             ::chmod(utf8.c_str(), 0700);
             return utf8.string();
         },
         ""},
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

// Whether an entry's program runs is told by the lock it holds on the owner file, not by the
// process id in it: after a crash the id may belong to another program.
TEST_F(RuntimeFolder, PortMapOwnerIsAliveOnlyWhileItHoldsItsLock) {
    const std::string folder = dir.string();
    // A live process id (the test's parent) that holds no lock: left behind, and taken over.
    std::ofstream(dir / "COM2.owner") << ::getppid() << " virtuelles Kundendisplay\n";
    fs::create_symlink("/dev/pts/9", dir / "COM2");
    EXPECT_FALSE(readPortMapEntry(folder, 2));
    EXPECT_EQ(enterPort(folder, 2, "/dev/pts/8", "virtuelles Kundendisplay"), "");
    EXPECT_EQ(readPortMapEntry(folder, 2)->target, "/dev/pts/8");
    leavePort(folder, 2);

    // Another process enters itself and holds its entry until it is killed, with no chance to
    // leave: then the entry is left behind and the number free again.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        const bool entered = enterPort(folder, 4, "/dev/pts/4", "anderes Display").empty();
        (void)!::write(ready[1], entered ? "y" : "n", 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_EQ(answer, 'y');
    const auto held = readPortMapEntry(folder, 4);
    ASSERT_TRUE(held);
    EXPECT_EQ(held->owner, "anderes Display");
    EXPECT_NE(enterPort(folder, 4, "/dev/pts/5", "x")
                  .find("anderes Display, PID " + std::to_string(holder)),
              std::string::npos);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_FALSE(readPortMapEntry(folder, 4));
    EXPECT_EQ(enterPort(folder, 4, "/dev/pts/5", "virtuelles Kundendisplay"), "");
    leavePort(folder, 4);
}

// A link planted as an owner file is never written through: the entry is refused with the reason,
// and the link's target keeps its content.
TEST_F(RuntimeFolder, PortMapNeverWritesThroughALink) {
    const std::string folder = dir.string();
    std::ofstream(dir / "victim") << "precious\n";
    fs::create_symlink(dir / "victim", dir / "COM5.owner");
    const std::string refusal = enterPort(folder, 5, "/dev/pts/5", "virtuelles Kundendisplay");
    EXPECT_NE(refusal.find("COM5.owner ist ein symbolischer Link"), std::string::npos) << refusal;
    std::ifstream victim(dir / "victim");
    std::string content;
    std::getline(victim, content);
    EXPECT_EQ(content, "precious");
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "COM5")));

    // An entry whose owner file is a link is not trusted either.
    fs::create_symlink("/dev/pts/5", dir / "COM5");
    EXPECT_FALSE(readPortMapEntry(folder, 5));
}

} // namespace
} // namespace kd
