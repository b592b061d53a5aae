#include "core/error.h"
#include "display/usb_display_library.h"
#include "support/error_matchers.h"
#include "support/recording_usb_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace kd {
namespace {

using test::raisesError;
using test::RecordingUsbLibrary;
namespace fs = std::filesystem;

TEST(UsbLibrarySearch, LibraryPathThenSystemThenTheToolsOwnFolderLast) {
    const std::vector<std::string> dirs =
        usbLibrarySearchDirs("/opt/vendor/lib::relative:./here:/second", systemLibraryDirs(),
                             toolLibraryDir("/opt/kd/bin"));
    std::vector<std::string> expected = {"/opt/vendor/lib", "/second"};
    for (const std::string &dir : systemLibraryDirs())
        expected.push_back(dir);
    expected.push_back("/opt/kd/lib/kundendisplay/usb");
    EXPECT_EQ(dirs, expected);
    EXPECT_EQ(systemLibraryDirs().front(), "/usr/local/lib");
    EXPECT_EQ(systemLibraryDirs().back(), "/lib");

    EXPECT_EQ(usbLibrarySearchDirs(nullptr, {}, "relative/lib"), std::vector<std::string>{});
    EXPECT_EQ(toolLibraryDir("/usr/bin"), "/usr/lib/kundendisplay/usb");
    EXPECT_EQ(toolLibraryDir(executableDir()), executableDir());
}

// An installed tool never looks in its bin/ folder; in the build tree, told by the marker file
// beside the executable, its folder is the one, wherever the tree lies.
TEST(UsbLibrarySearch, TheBuildTreeIsToldByItsMarkerNotByItsPath) {
    const fs::path tree =
        fs::path(::testing::TempDir()) / ("kd-tree-" + std::to_string(::getpid()));
    fs::remove_all(tree);
    fs::create_directories(tree / "bin");
    const std::string bin = (tree / "bin").string();
    EXPECT_EQ(toolLibraryDir(bin), (tree / "lib/kundendisplay/usb").string());
    { std::ofstream marker(tree / "bin/kundendisplay-build-tree"); }
    EXPECT_EQ(toolLibraryDir(bin), bin);
    fs::remove_all(tree);
}

TEST(UsbDisplayLibrary, LoadsOnFirstCallAndPassesBytesThrough) {
    RecordingUsbLibrary recorder;
    UsbDisplayLibrary library({"/nonexistent", RecordingUsbLibrary::recordingDir()});
    EXPECT_EQ(library.loadedPath(), "");

    recorder.setOpenStatus(7);
    EXPECT_EQ(library.opencd722usb(), 7);
    const std::uint8_t bytes[] = {0x02, 0x05, 0x44, 0x08, 0x03};
    EXPECT_EQ(library.writecd722usb(bytes, 5), 5);
    EXPECT_EQ(library.writecd722usb(bytes + 2, 1), 1);
    EXPECT_EQ(library.closecd722usb(), 0);

    EXPECT_EQ(library.loadedPath(), RecordingUsbLibrary::recordingDir() + "/libcd722dusb.so");
    EXPECT_EQ(recorder.calls(),
              (std::vector<std::string>{"open", "write 02 05 44 08 03", "write 44", "close"}));
}

TEST(UsbDisplayLibrary, MissingEntryPointIsNamedAndOthersStillWork) {
    UsbDisplayLibrary library({RecordingUsbLibrary::noOpenDir()});
    EXPECT_TRUE(
        raisesError([&] { library.opencd722usb(); }, err::kEntryPointNotFound, "opencd722usb"));
    EXPECT_EQ(library.closecd722usb(), 0);
    EXPECT_TRUE(
        raisesError([&] { library.opencd722usb(); }, err::kEntryPointNotFound, "opencd722usb"));
}

class UsbLibraryFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kd-usb-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(UsbLibraryFolder, FailedLoadIsNotRememberedSoTheNextCallTriesAgain) {
    RecordingUsbLibrary recorder;
    UsbDisplayLibrary library({dir.string()});
    EXPECT_TRUE(raisesError([&] { library.closecd722usb(); }, err::kFileNotFound,
                            "Datei nicht gefunden: libcd722dusb.so"));

    fs::copy_file(RecordingUsbLibrary::recordingDir() + "/libcd722dusb.so",
                  dir / "libcd722dusb.so");
    EXPECT_EQ(library.opencd722usb(), 1);
    EXPECT_EQ(library.loadedPath(), (dir / "libcd722dusb.so").string());
}

TEST_F(UsbLibraryFolder, FileThatIsNoLibraryGivesTheLoadersReason) {
    std::FILE *file = std::fopen((dir / "libcd722dusb.so").c_str(), "w");
    std::fputs("not a library", file);
    std::fclose(file);
    UsbDisplayLibrary library({dir.string()});
    EXPECT_TRUE(raisesError([&] { library.opencd722usb(); }, err::kLibraryLoadFailed,
                            (dir / "libcd722dusb.so").string()));
}

// The search list in its real order, with temporary folders standing for a system folder and the
// tool's own: a vendor library installed in the system folder wins over the bundled stand-in,
// which is the fallback when no vendor library is installed.
TEST_F(UsbLibraryFolder, VendorLibraryInASystemFolderWinsOverTheStandIn) {
    const fs::path system = dir / "usr-lib";
    const fs::path own = dir / "lib-kundendisplay";
    fs::create_directories(system);
    fs::create_directories(own);
    fs::copy_file(executableDir() + "/libcd722dusb.so", own / "libcd722dusb.so");
    const std::vector<std::string> search =
        usbLibrarySearchDirs(nullptr, {system.string()}, own.string());

    {
        UsbDisplayLibrary standInOnly(search);
        standInOnly.closecd722usb();
        EXPECT_EQ(standInOnly.loadedPath(), (own / "libcd722dusb.so").string());
    }
    fs::copy_file(RecordingUsbLibrary::recordingDir() + "/libcd722dusb.so",
                  system / "libcd722dusb.so");
    UsbDisplayLibrary withVendor(search);
    withVendor.closecd722usb();
    EXPECT_EQ(withVendor.loadedPath(), (system / "libcd722dusb.so").string());
}

TEST(UsbDisplayLibrary, NotFoundNamesEveryFolderSearched) {
    UsbDisplayLibrary library({"/nonexistent/a", "/nonexistent/b"});
    try {
        library.opencd722usb();
        FAIL() << "no error";
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.error().number, err::kFileNotFound);
        EXPECT_EQ(error.error().reason(), "nicht gefunden in /nonexistent/a, /nonexistent/b");
    }
}

TEST_F(UsbLibraryFolder, LibraryInTheCurrentDirectoryIsNeverLoaded) {
    fs::copy_file(RecordingUsbLibrary::recordingDir() + "/libcd722dusb.so",
                  dir / "libcd722dusb.so");
    const fs::path previous = fs::current_path();
    fs::current_path(dir);
    UsbDisplayLibrary library(usbLibrarySearchDirs(".:", {"."}, toolLibraryDir("relative/bin")));
    const bool raised = raisesError([&] { library.opencd722usb(); }, err::kFileNotFound);
    fs::current_path(previous);
    EXPECT_TRUE(raised);
    EXPECT_EQ(library.loadedPath(), "");
}

} // namespace
} // namespace kd
