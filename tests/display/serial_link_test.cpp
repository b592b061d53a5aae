#include "core/error.h"
#include "display/serial_link.h"
#include "support/error_matchers.h"
#include "support/pseudo_terminal.h"
#include "support/rig.h"
#include "support/sim_thread.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace kd {
namespace {

using test::hex;
using test::PseudoTerminal;
using test::raisesError;

TEST(PortTable, DefaultMapsNumbersToDevices) {
    const PortTable table = defaultPortTable();
    const struct {
        int number;
        const char *device;
    } cases[] = {{1, "/dev/ttyS0"},
                 {4, "/dev/ttyS3"},
                 {5, "/dev/ttyUSB0"},
                 {12, "/dev/ttyUSB7"},
                 {13, "/dev/ttyACM0"},
                 {20, "/dev/ttyACM7"},
                 {0, ""},
                 {21, ""},
                 {-1, ""}};
    for (const auto &c : cases)
        EXPECT_EQ(deviceForPort(table, c.number), c.device) << c.number;
}

// The user's port map over the fixed table: an entry leads its number to its device, and the
// operator is shown where; without an entry, or with a folder that is not private, the table holds.
TEST(PortMap, EntryTakesPrecedenceOverTheTable) {
    test::PrivateRuntimeDir runtime;
    const Folder folder = portMapFolder(true);
    ASSERT_EQ(folder.error, "");
    PseudoTerminal byHand;
    PseudoTerminal display;
    std::filesystem::create_symlink(byHand.path(), folder.path + "/COM3");
    ASSERT_EQ(enterPort(folder.path, 1, display.path(), "virtuelles Kundendisplay"), "");

    PortTable table(20);
    for (int i = 0; i < 20; ++i)
        table[static_cast<std::size_t>(i)] = test::missingDevice(i + 1);
    SerialPortLink link{table, [] { return portMapFolder(false); }};
    EXPECT_EQ(link.portDevice(1), display.path() + " (virtuelles Kundendisplay)");
    EXPECT_EQ(link.portDevice(3), byHand.path() + " (Portzuordnung COM3)");
    EXPECT_EQ(link.portDevice(2), test::missingDevice(2));

    link.setCommPort(3);
    link.setPortOpen(true);
    link.output(u"\f");
    EXPECT_EQ(hex(byHand.read()), "0C");
    link.setPortOpen(false);

    // A folder open to others is not trusted: its entries count for nothing.
    ::chmod(folder.path.c_str(), 0755);
    EXPECT_EQ(link.portDevice(3), test::missingDevice(3));
    ::chmod(folder.path.c_str(), 0700);
    leavePort(folder.path, 1);
    EXPECT_EQ(link.portDevice(1), test::missingDevice(1));
}

class SerialLinkTest : public ::testing::Test {
  protected:
    PseudoTerminal first;
    PseudoTerminal second;
    SerialPortLink link{PortTable{first.path(), second.path(), test::missingDevice(3), ""}};
};

TEST_F(SerialLinkTest, OutputReachesTheDeviceAsWindows1252Bytes) {
    link.setCommPort(2);
    link.setPortOpen(true);
    ASSERT_TRUE(link.portOpen());
    link.output(u"\fGrüße");
    link.output(u"");
    link.output(u"20,00");
    EXPECT_EQ(hex(second.read()), hex("\fGr\xFC\xDF"
                                      "e20,00"));
    EXPECT_EQ(first.read(50), "");
}

TEST_F(SerialLinkTest, CharacterWithoutByteSendsNothingOfThatOutput) {
    link.setPortOpen(true);
    EXPECT_TRUE(raisesError([&] { link.output(u"ab\x4E2D"); }, err::kOverflow));
    link.output(u"c");
    EXPECT_EQ(first.read(), "c");
}

TEST_F(SerialLinkTest, RefusesWhatTheControlRefuses) {
    EXPECT_TRUE(raisesError([&] { link.output(u"x"); }, err::kPortNotOpen, "Port 1"));
    EXPECT_TRUE(raisesError([&] { link.setCommPort(0); }, err::kInvalidPortNumber, "0"));
    EXPECT_TRUE(raisesError([&] { link.setCommPort(256); }, err::kInvalidPortNumber, "256"));
    EXPECT_TRUE(raisesError([&] { link.setSettings("9600,N,9,1"); }, err::kInvalidPropertyValue,
                            "Datenbits"));

    // Numbers outside the table, or without a device, are accepted while closed and fail at open.
    for (std::int16_t number : {3, 4, 255}) {
        link.setCommPort(number);
        EXPECT_TRUE(raisesError([&] { link.setPortOpen(true); }, err::kInvalidPortNumber,
                                "Portnummer " + std::to_string(number)));
        EXPECT_FALSE(link.portOpen());
    }
    link.setCommPort(3);
    EXPECT_TRUE(raisesError([&] { link.setPortOpen(true); }, err::kInvalidPortNumber,
                            test::missingDevice(3)));
}

TEST_F(SerialLinkTest, OpenPortKeepsItsNumber) {
    link.setCommPort(1);
    link.setPortOpen(true);
    EXPECT_TRUE(raisesError([&] { link.setCommPort(2); }, err::kPortAlreadyOpen, first.path()));
    EXPECT_EQ(link.commPort(), 1);

    // The same number and a second open change nothing.
    link.setCommPort(1);
    link.setPortOpen(true);
    link.output(u"still");
    EXPECT_EQ(first.read(), "still");

    link.setPortOpen(false);
    link.setPortOpen(false);
    EXPECT_FALSE(link.portOpen());
    link.setCommPort(2);
    link.setPortOpen(true);
    link.output(u"moved");
    EXPECT_EQ(second.read(), "moved");
}

// A pseudo-terminal keeps 8 data bits and refuses some parities, so these settings are ones it
// takes; what the link reports back is what was applied.
TEST_F(SerialLinkTest, SettingsApplyAtOpenAndAtOnceWhileOpen) {
    link.setSettings("19200,N,8,2");
    link.setPortOpen(true);
    EXPECT_EQ(link.deviceLineSettings(), parseSettings("19200,N,8,2"));
    link.setSettings("4800,m,8,1");
    EXPECT_EQ(link.lineSettings(), parseSettings("4800,M,8,1"));
    EXPECT_EQ(link.deviceLineSettings(), parseSettings("4800,M,8,1"));

    // A refused text leaves the port and its settings as they were.
    EXPECT_THROW(link.setSettings("4800,Q,8,1"), RuntimeError);
    EXPECT_TRUE(link.portOpen());
    EXPECT_EQ(link.deviceLineSettings(), parseSettings("4800,M,8,1"));
}

TEST_F(SerialLinkTest, SettingsTheDeviceRefusesFailTheOpenAndLeaveItClosed) {
    link.setSettings("9600,E,7,1");
    EXPECT_TRUE(raisesError([&] { link.setPortOpen(true); }, err::kSetLineFailed, first.path()));
    EXPECT_FALSE(link.portOpen());
    link.setSettings("9600,N,8,1");
    link.setPortOpen(true);
    EXPECT_TRUE(link.portOpen());
}

// A pseudo-terminal refuses even parity: the refusal while open changes nothing, neither on the
// device (whose speed was already set before the parity failed) nor in the link.
TEST_F(SerialLinkTest, SettingsTheDeviceRefusesWhileOpenLeaveThePreviousOnes) {
    link.setSettings("19200,N,8,1");
    link.setPortOpen(true);
    EXPECT_TRUE(
        raisesError([&] { link.setSettings("4800,E,8,1"); }, err::kSetLineFailed, "4800,E,8,1"));
    EXPECT_TRUE(link.portOpen());
    EXPECT_EQ(link.lineSettings(), parseSettings("19200,N,8,1"));
    EXPECT_EQ(link.deviceLineSettings(), parseSettings("19200,N,8,1"));
    link.output(u"x");
    EXPECT_EQ(first.read(), "x");
}

TEST_F(SerialLinkTest, SecondLinkOnTheSameDeviceIsToldItIsInUse) {
    link.setPortOpen(true);
    SerialPortLink other{PortTable{first.path()}};
    EXPECT_TRUE(raisesError([&] { other.setPortOpen(true); }, err::kPortInUse, first.path()));
    EXPECT_FALSE(other.portOpen());
}

TEST_F(SerialLinkTest, CloseHandsOverEverythingWritten) {
    link.setPortOpen(true);
    const std::u16string block(3000, u'x');
    link.output(block);
    link.setPortOpen(false);
    EXPECT_EQ(first.read().size(), block.size());
}

} // namespace
} // namespace kd
