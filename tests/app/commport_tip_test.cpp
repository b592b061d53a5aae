// The Com-Port box's tooltip: where the number leads, which USB adapter is behind it, and whether
// the user's port map was used.
#include "runtime/port_map.h"
#include "support/rig.h"
#include "support/sim_thread.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <memory>

namespace kd {
namespace {

using test::PseudoTerminal;

// A form over a real serial link whose port info is the test's.
struct TipRig {
    TipRig(PortTable table, PortMapSource portMap = {})
        : serial(std::move(table), std::move(portMap), portInfo),
          form(serial, usb, commPort, settings, messages) {
        form.Form_Load();
    }
    std::shared_ptr<test::FakePortInfo> portInfo = std::make_shared<test::FakePortInfo>();
    SerialPortLink serial;
    UsbDisplayLibrary usb{{"/nonexistent"}};
    test::FakeTextBox commPort{"0"};
    test::FakeTextBox settings{"9600,N,8,1"};
    test::RecordingMessageBox messages;
    Form form;
};

// Three adapters on the desk: the tooltip tells them apart by what the system knows of each.
TEST(CommPortTip, NamesTheUsbAdapterBehindTheNumber) {
    PseudoTerminal display;
    PseudoTerminal other;
    TipRig rig({test::missingDevice(1), other.path(), display.path()});
    rig.portInfo->adapters[other.path()] = {"CP2102 USB to UART Bridge Controller", "Silicon Labs",
                                            0x10c4, 0xea60, "0001"};
    rig.portInfo->adapters[display.path()] = {"FT232R USB UART", "FTDI", 0x0403, 0x6001, "A1B2C3"};
    // What the system does not know is left out.
    rig.portInfo->adapters[test::missingDevice(1)] = {"nie gesehen", "", 0x1234, 0x5678, ""};

    const std::string adapter = " (USB-Adapter FT232R USB UART, Hersteller FTDI, USB-ID 0403:6001, "
                                "Seriennummer A1B2C3)";
    EXPECT_EQ(rig.form.commPortTip("3"), display.path() + adapter);
    // A device that is not there has no adapter, whatever a stale listing says.
    EXPECT_EQ(rig.form.commPortTip("1"), test::missingDevice(1));

    rig.portInfo->adapters[display.path()].description.clear();
    rig.portInfo->adapters[display.path()].serialNumber.clear();
    EXPECT_EQ(rig.form.commPortTip("3"),
              display.path() + " (USB-Adapter Hersteller FTDI, USB-ID 0403:6001)");

    // Every attempt of a scan names its adapter too.
    rig.form.Option_Click(1);
    const std::string tip = rig.form.commPortTip("2");
    EXPECT_NE(tip.find("Port 2 (" + other.path() +
                       " (USB-Adapter CP2102 USB to UART Bridge Controller, Hersteller Silicon "
                       "Labs, USB-ID 10c4:ea60, Seriennummer 0001)): geöffnet, Display gelöscht"),
              std::string::npos)
        << tip;
}

// A port map that is there but refused is not used; the tooltip says so and why, instead of
// letting the fixed table stand in without a word.
TEST(CommPortTip, SaysWhenThePortMapIsNotUsedAndWhy) {
    test::PrivateRuntimeDir runtime;
    TipRig rig({test::missingDevice(1)}, [] { return portMapFolder(false); });
    EXPECT_EQ(rig.form.commPortTip("1"), test::missingDevice(1)); // no map: nothing to say

    const Folder folder = portMapFolder(true);
    ASSERT_EQ(folder.error, "");
    std::filesystem::create_symlink("/dev/null", folder.path + "/COM1");
    EXPECT_EQ(rig.form.commPortTip("1"), "/dev/null (Portzuordnung COM1)");

    ::chmod(folder.path.c_str(), 0755);
    EXPECT_EQ(rig.form.commPortTip("1"), test::missingDevice(1) +
                                             "\nPortzuordnung nicht verwendet: Ordner " +
                                             folder.path + " hat die Rechte 0755 statt 0700");
    ::chmod(folder.path.c_str(), 0700);
}

} // namespace
} // namespace kd
