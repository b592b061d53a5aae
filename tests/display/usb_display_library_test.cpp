#include "core/error.h"
#include "display/usb_display_library.h"
#include "support/error_matchers.h"
#include "support/recording_usb_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace kd {
namespace {

using test::raisesError;
using test::RecordingUsbLibrary;
namespace fs = std::filesystem;

TEST(UsbLibrarySearch, OnlyAbsoluteFoldersInOrder) {
    const auto dirs =
        usbLibrarySearchDirs("/opt/vendor/lib::relative:./here:/second", "/opt/kd/bin");
    ASSERT_GE(dirs.size(), 5u);
    EXPECT_EQ(dirs[0], "/opt/vendor/lib");
    EXPECT_EQ(dirs[1], "/second");
    EXPECT_EQ(dirs[2], "/opt/kd/bin");
    EXPECT_EQ(dirs[3], "/opt/kd/bin/../lib/kundendisplay");
    for (const std::string &dir : dirs)
        EXPECT_EQ(dir.front(), '/') << dir;
    EXPECT_EQ(dirs.back(), "/lib");

    EXPECT_EQ(usbLibrarySearchDirs(nullptr, "/opt/kd/bin")[0], "/opt/kd/bin");
    EXPECT_EQ(usbLibrarySearchDirs("", "")[0], "/usr/local/lib");
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
    EXPECT_TRUE(raisesError([&] { library.opencd722usb(); }, err::kFileNotFound,
                            (dir / "libcd722dusb.so").string()));
}

TEST_F(UsbLibraryFolder, LibraryInTheCurrentDirectoryIsNeverLoaded) {
    fs::copy_file(RecordingUsbLibrary::recordingDir() + "/libcd722dusb.so",
                  dir / "libcd722dusb.so");
    const fs::path previous = fs::current_path();
    fs::current_path(dir);
    UsbDisplayLibrary library(usbLibrarySearchDirs(".:", "relative/bin"));
    const bool raised = raisesError([&] { library.opencd722usb(); }, err::kFileNotFound);
    fs::current_path(previous);
    EXPECT_TRUE(raised);
    EXPECT_EQ(library.loadedPath(), "");
}

} // namespace
} // namespace kd
