#include "connection/connection_selection.h"
#include "support/error_matchers.h"
#include "support/rig.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

using test::PseudoTerminal;
using test::Rig;
using Texts = std::vector<std::string>;

TEST(PortNumberText, ConvertsLikeA16BitInteger) {
    const struct {
        const char *text;
        int number;
    } valid[] = {{"1", 1},     {" 7 ", 7},       {"+3", 3},         {"-1", -1},
                 {"0020", 20}, {"32767", 32767}, {"-32768", -32768}};
    for (const auto &c : valid)
        EXPECT_EQ(toPortNumber(c.text), c.number) << c.text;

    const struct {
        const char *text;
        int error;
    } invalid[] = {{"", err::kTypeMismatch},    {"  ", err::kTypeMismatch},
                   {"abc", err::kTypeMismatch}, {"3.5", err::kTypeMismatch},
                   {"1 2", err::kTypeMismatch}, {"99999x", err::kTypeMismatch},
                   {"-", err::kTypeMismatch},   {"32768", err::kOverflow},
                   {"-32769", err::kOverflow},  {"99999999999999999999", err::kOverflow}};
    for (const auto &c : invalid)
        EXPECT_TRUE(test::raisesError([&] { toPortNumber(c.text); }, c.error,
                                      "\"" + std::string(c.text) + "\""))
            << c.text;
}

TEST(NoConnectionMessage, NamesTheConnectionInUpperCase) {
    EXPECT_EQ(noConnectionMessage("com"), "Kein COM-Anschluss gefunden");
    EXPECT_EQ(noConnectionMessage("usb"), "Kein USB-Anschluss gefunden");
}

TEST(ComScan, FirstPortThatOpensIsThree) {
    PseudoTerminal pty;
    Rig rig(test::tableWith(3, pty));
    rig.commPort.setText("17"); // typed by the operator, overwritten by the scan
    rig.commPort.history.clear();
    rig.recorder.clear();

    rig.form.Option_Click(kOptionCom);

    EXPECT_EQ(rig.commPort.history, (Texts{"1", "2", "3"}));
    EXPECT_EQ(rig.commPort.text(), "3");
    EXPECT_EQ(rig.form.state().intPos, 3);
    EXPECT_EQ(rig.form.state().strConnection, "com");
    EXPECT_EQ(test::hex(pty.read()), "0C");
    EXPECT_TRUE(rig.serial.portOpen());
    EXPECT_EQ(rig.messages.messages, Texts{});
    EXPECT_EQ(rig.recorder.calls(), Texts{"close"});
}

TEST(ComScan, NoPortOpens) {
    Rig rig(test::tableWith(0, PseudoTerminal{}));
    rig.form.Option_Click(kOptionCom);
    EXPECT_EQ(rig.commPort.history.size(), 20u);
    EXPECT_EQ(rig.commPort.text(), "20");
    EXPECT_EQ(rig.form.state().intPos, 21);
    EXPECT_EQ(rig.messages.messages, Texts{"Kein COM-Anschluss gefunden"});
    EXPECT_EQ(rig.form.state().strConnection, "com");
    EXPECT_FALSE(rig.serial.portOpen());
}

TEST(ComScan, ChosenTwiceFindsTheOpenPortAgain) {
    PseudoTerminal pty;
    Rig rig(test::tableWith(3, pty));
    rig.form.Option_Click(kOptionCom);
    ASSERT_EQ(test::hex(pty.read()), "0C");

    rig.commPort.history.clear();
    rig.form.Option_Click(kOptionCom);
    EXPECT_EQ(rig.commPort.history, (Texts{"1", "2", "3"}));
    EXPECT_EQ(test::hex(pty.read()), "0C");
    EXPECT_TRUE(rig.serial.portOpen());
    EXPECT_EQ(rig.serial.commPort(), 3);
    EXPECT_EQ(rig.messages.messages, Texts{});
}

TEST(ComScan, PortWhoseClearFailsIsClosedBeforeTheNextNumber) {
    test::ScriptedSerialLink serial;
    serial.openable = {2, 3};
    serial.outputFails = true;
    test::RecordingUsbLibrary recorder;
    UsbDisplayLibrary usb({test::RecordingUsbLibrary::recordingDir()});
    test::FakeTextBox commPort{"0"}, settings{"9600,N,8,1"};
    test::RecordingMessageBox messages;
    Form form(serial, usb, commPort, settings, messages);
    form.Form_Load();

    form.Option_Click(kOptionCom);
    // Port 2 opens and its clear fails, which closes it; port 3 is then selectable (no "already
    // open") and fails the same; port 4 is tried after it.
    const Texts attempts = {"CommPort=2",    "Settings=9600,N,8,1", "PortOpen=true",
                            "Output[1]",     "CommPort=3",          "Settings=9600,N,8,1",
                            "PortOpen=true", "Output[1]",           "CommPort=4"};
    EXPECT_TRUE(std::search(serial.log.begin(), serial.log.end(), attempts.begin(),
                            attempts.end()) != serial.log.end());
    EXPECT_FALSE(serial.portOpen());
    EXPECT_EQ(messages.messages, Texts{"Kein COM-Anschluss gefunden"});
}

TEST(UsbScan, WithADisplayOpensOnceAndClears) {
    PseudoTerminal pty;
    Rig rig(test::tableWith(1, pty));
    rig.form.Option_Click(kOptionCom);
    ASSERT_TRUE(rig.serial.portOpen());
    rig.recorder.clear();

    rig.form.Option_Click(kOptionUsb);
    EXPECT_EQ(rig.recorder.calls(), (Texts{"open", "write 0C"}));
    EXPECT_EQ(rig.commPort.text(), "1");
    EXPECT_EQ(rig.form.state().intPos, 1);
    EXPECT_EQ(rig.form.state().strConnection, "usb");
    EXPECT_FALSE(rig.serial.portOpen()); // choosing USB closes the serial port
    EXPECT_EQ(rig.messages.messages, Texts{});
}

TEST(UsbScan, LibraryWithoutDisplayIsNoConnection) {
    Rig rig;
    rig.recorder.setOpenStatus(0);
    rig.recorder.clear();
    rig.form.Option_Click(kOptionUsb);
    EXPECT_EQ(rig.recorder.calls(), Texts(20, "open"));
    EXPECT_EQ(rig.commPort.text(), "20");
    EXPECT_EQ(rig.messages.messages, Texts{"Kein USB-Anschluss gefunden"});
}

TEST(UsbScan, LibraryLackingOpenIsNoConnection) {
    Rig rig({}, {test::RecordingUsbLibrary::noOpenDir()});
    rig.form.Option_Click(kOptionUsb);
    EXPECT_EQ(rig.form.state().intPos, 21);
    EXPECT_EQ(rig.messages.messages, Texts{"Kein USB-Anschluss gefunden"});
}

// The library finds a display but cannot send: the scan's clear fails on every number, and a
// command shows the missing entry point.
TEST(UsbScan, LibraryLackingWriteIsNoConnection) {
    Rig rig({}, {test::RecordingUsbLibrary::noWriteDir()});
    rig.form.Option_Click(kOptionUsb);
    EXPECT_EQ(rig.form.state().intPos, 21);
    EXPECT_EQ(rig.messages.messages, Texts{"Kein USB-Anschluss gefunden"});
    rig.form.cmdClear_Click();
    ASSERT_EQ(rig.messages.errors.size(), 1u);
    EXPECT_EQ(rig.messages.errors[0].number, err::kEntryPointNotFound);
    EXPECT_NE(rig.messages.errors[0].description.find("writecd722usb"), std::string::npos);
}

TEST(Scan, RefusedSettingsTextFailsBothScans) {
    PseudoTerminal pty;
    Rig rig(test::tableWith(1, pty));
    rig.settings.setText("9600,X,8,1");
    rig.recorder.clear();
    rig.form.Option_Click(kOptionUsb);
    rig.form.Option_Click(kOptionCom);
    EXPECT_EQ(rig.messages.messages,
              (Texts{"Kein USB-Anschluss gefunden", "Kein COM-Anschluss gefunden"}));
    EXPECT_EQ(rig.recorder.calls(), Texts{"close"}); // no USB open was attempted
    EXPECT_EQ(pty.read(50), "");

    // The operator's corrected text is used on the next scan.
    rig.settings.setText("19200,N,8,2");
    rig.form.Option_Click(kOptionCom);
    EXPECT_EQ(rig.serial.deviceLineSettings(), parseSettings("19200,N,8,2"));
    EXPECT_EQ(test::hex(pty.read()), "0C");
}

} // namespace
} // namespace kd
