#include "connection/scan_report.h"
#include "support/rig.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace kd {
namespace {

using test::PseudoTerminal;
using test::Rig;

TEST(ScanReport, NumbersThatMetTheSameAreGrouped) {
    const auto attempt = [](int number, std::string target, std::string outcome) {
        return ScanAttempt{static_cast<std::int16_t>(number), std::move(target),
                           std::move(outcome)};
    };
    const struct {
        const char *what;
        ScanReport report;
        std::string text;
    } cases[] = {
        {"before any scan", {"com", {}}, ""},
        {"one attempt",
         {"com", {attempt(1, "/dev/ttyS0", "geöffnet, Display gelöscht")}},
         "Letzte Suche (COM):\nPort 1 (/dev/ttyS0): geöffnet, Display gelöscht"},
        {"a run of devices, then another reason",
         {"com",
          {attempt(1, "/dev/ttyS0", "belegt"), attempt(2, "/dev/ttyS1", "Gerät nicht vorhanden"),
           attempt(3, "/dev/ttyS2", "Gerät nicht vorhanden"),
           attempt(4, "/dev/ttyS3", "Gerät nicht vorhanden"), attempt(5, "", "keinem Gerät")}},
         "Letzte Suche (COM):\nPort 1 (/dev/ttyS0): belegt\n"
         "Port 2–4 (/dev/ttyS1 … /dev/ttyS3): Gerät nicht vorhanden\n"
         "Port 5 (kein Gerät): keinem Gerät"},
        {"one library for every number",
         {"usb",
          {attempt(1, "/lib/libcd722dusb.so", "kein Display"),
           attempt(2, "/lib/libcd722dusb.so", "kein Display")}},
         "Letzte Suche (USB):\nPort 1–2 (/lib/libcd722dusb.so): kein Display"},
        {"the same reason with a gap starts a new line",
         {"com", {attempt(1, "/a", "x"), attempt(3, "/c", "x")}},
         "Letzte Suche (COM):\nPort 1 (/a): x\nPort 3 (/c): x"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatScanReport(c.report), c.text) << c.what;
}

// Real transports: what each attempt met reaches the report with its device and reason.
TEST(ScanReport, ComScanNamesEachDeviceAndWhatItMet) {
    PseudoTerminal held;
    SerialPortLink otherProgram{PortTable{held.path()}};
    otherProgram.setPortOpen(true);
    PortTable table = test::tableWith(0, held);
    table[0] = held.path();
    table[19] = "";
    Rig rig(table);
    rig.form.Option_Click(kOptionCom);

    const std::string report = rig.form.lastScanReport();
    const std::string self = "(PID " + std::to_string(::getpid()) + ")";
    EXPECT_NE(report.find("Letzte Suche (COM):\nPort 1 (" + held.path() + "): belegt von "),
              std::string::npos)
        << report;
    EXPECT_NE(report.find(self), std::string::npos) << report;
    EXPECT_NE(report.find("\nPort 2–19 (" + test::missingDevice(2) + " … " +
                          test::missingDevice(19) + "): Gerät nicht vorhanden\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\nPort 20 (kein Gerät): keinem Gerät zugeordnet"), std::string::npos)
        << report;
}

TEST(ScanReport, UsbScanNamesTheLibraryAndWhatItMet) {
    const struct {
        const char *what;
        std::vector<std::string> dirs;
        bool displayAttached;
        std::string line;
    } cases[] = {
        {"no display attached",
         {test::RecordingUsbLibrary::recordingDir()},
         false,
         "Port 1–20 (" + test::RecordingUsbLibrary::recordingDir() +
             "/libcd722dusb.so): kein Display angeschlossen (opencd722usb meldet 0)"},
        {"library lacks opencd722usb",
         {test::RecordingUsbLibrary::noOpenDir()},
         true,
         "Port 1–20 (" + test::RecordingUsbLibrary::noOpenDir() +
             "/libcd722dusb.so): Einsprungpunkt opencd722usb fehlt"},
        {"library lacks writecd722usb",
         {test::RecordingUsbLibrary::noWriteDir()},
         true,
         "Port 1–20 (" + test::RecordingUsbLibrary::noWriteDir() +
             "/libcd722dusb.so): Einsprungpunkt writecd722usb fehlt"},
        {"no library",
         {"/nonexistent/a", "/nonexistent/b"},
         true,
         "Port 1–20 (libcd722dusb.so): nicht gefunden in /nonexistent/a, /nonexistent/b"},
    };
    for (const auto &c : cases) {
        Rig rig({}, c.dirs);
        rig.recorder.setOpenStatus(c.displayAttached ? 1 : 0);
        rig.form.Option_Click(kOptionUsb);
        EXPECT_EQ(rig.form.lastScanReport(), "Letzte Suche (USB):\n" + c.line) << c.what;
    }
}

} // namespace
} // namespace kd
