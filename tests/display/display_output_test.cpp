#include "display/display_output.h"
#include "support/error_matchers.h"
#include "support/rig.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

using test::hex;
using test::PseudoTerminal;
using Calls = std::vector<std::string>;

class DisplayOutputTest : public ::testing::Test {
  protected:
    PseudoTerminal pty;
    test::Rig rig{PortTable{pty.path()}};
    DisplayOutput &display = rig.form.display();
    FormState &state = rig.form.state();

    void useSerialOpen() {
        state.strConnection = "com";
        rig.serial.setPortOpen(true);
        rig.recorder.clear();
    }
};

TEST_F(DisplayOutputTest, UsbSendsOneWritePerCharacterThenCarriageReturn) {
    rig.recorder.clear();
    const struct {
        std::u16string text;
        Calls writes;
    } cases[] = {
        {u"", {"write 0D"}},
        {u"Ab", {"write 41", "write 62", "write 0D"}},
        {u"ä€", {"write E4", "write 80", "write 0D"}},
        // A character without a byte is left out, not replaced by another.
        {u"a\x4E2D"
         u"b",
         {"write 61", "write 62", "write 0D"}},
    };
    for (const auto &c : cases) {
        rig.recorder.clear();
        const std::u16string original = c.text;
        display.SendText(c.text);
        EXPECT_EQ(rig.recorder.calls(), c.writes);
        EXPECT_EQ(state.intPos, static_cast<std::int16_t>(c.text.size() + 1));
        EXPECT_EQ(c.text, original);
    }
}

TEST_F(DisplayOutputTest, UsbModeIsOnlyTheExactText) {
    for (const char *mode : {"USB", "usb ", "com", ""}) {
        state.strConnection = mode;
        rig.recorder.clear();
        EXPECT_THROW(display.ClearDisplay(), RuntimeError) << mode; // serial port closed
        EXPECT_EQ(rig.recorder.calls(), Calls{}) << mode;
    }
    state.strConnection = "usb";
    display.ClearDisplay();
    EXPECT_EQ(rig.recorder.calls(), Calls{"write 0C"});
}

TEST_F(DisplayOutputTest, UsbCounterStopsAtItsBoundInsteadOfLooping) {
    rig.recorder.clear();
    display.SendText(std::u16string(32767, u'x'));
    EXPECT_EQ(rig.recorder.calls().size(), 32768u);
    EXPECT_EQ(rig.recorder.calls().back(), "write 0D");

    // Longer than a 16-bit length: nothing of the text, only the line end.
    rig.recorder.clear();
    display.SendText(std::u16string(32768, u'x'));
    EXPECT_EQ(rig.recorder.calls(), Calls{"write 0D"});
}

TEST_F(DisplayOutputTest, SerialClearsBeforeEveryTextAndAddsNoLineEnd) {
    useSerialOpen();
    display.SendText(u"100 Rollringe  11,50");
    display.ClearDisplay();
    EXPECT_EQ(pty.read(), "\f100 Rollringe  11,50\f");
    EXPECT_EQ(rig.recorder.calls(), Calls{});
}

TEST_F(DisplayOutputTest, SerialSendTextOpensTheClosedPortItself) {
    state.strConnection = "com";
    rig.serial.setCommPort(1);
    ASSERT_FALSE(rig.serial.portOpen());
    display.SendText(u"Hallo");
    EXPECT_TRUE(rig.serial.portOpen());
    EXPECT_EQ(pty.read(), "\fHallo");
}

TEST_F(DisplayOutputTest, SerialFailuresNeverLeaveSendTextButReachClearDisplayCallers) {
    state.strConnection = "com";
    rig.serial.setCommPort(2); // no device
    EXPECT_NO_THROW(display.SendText(u"lost"));
    EXPECT_FALSE(rig.serial.portOpen());
    EXPECT_TRUE(test::raisesError([&] { display.ClearDisplay(); }, err::kPortNotOpen));
    EXPECT_EQ(pty.read(50), "");
}

// Frames go out whole through the send buffer over USB; over serial the serial texts go instead.
TEST_F(DisplayOutputTest, FramesTakeTheTransportsOwnContent) {
    rig.recorder.clear();
    display.OutputFrames({u"\x02"
                          u"A\x03",
                          u"B"},
                         {u"serial"});
    EXPECT_EQ(rig.recorder.calls(), (Calls{"write 02 41 03", "write 42"}));

    // The buffer holds indices 0 to 2048: a frame of 2049 bytes fits, one more does not.
    rig.recorder.clear();
    display.OutputFrames({std::u16string(2049, u'x')}, {});
    EXPECT_EQ(rig.recorder.calls().size(), 1u);
    EXPECT_TRUE(test::raisesError([&] { display.OutputFrames({std::u16string(2050, u'x')}, {}); },
                                  err::kSubscriptOutOfRange, "bytBuffer(2049)"));

    useSerialOpen();
    display.OutputFrames({u"usb"}, {u"eins", u"zwei"});
    EXPECT_EQ(pty.read(), "einszwei");
    EXPECT_EQ(rig.recorder.calls(), Calls{});
}

TEST_F(DisplayOutputTest, LinesAreTwentyWritesOverUsbAndOnePieceOverSerial) {
    rig.recorder.clear();
    state.strLine = u"Gegeben        20,00 and more";
    display.OutputLine();
    EXPECT_EQ(rig.recorder.calls().size(), 20u);
    EXPECT_EQ(rig.recorder.calls().back(), "write 30");
    EXPECT_EQ(state.intPos, 21);

    // A short line stops at its first missing character, after writing the ones it has.
    rig.recorder.clear();
    state.strLine = u"kurz";
    EXPECT_TRUE(test::raisesError([&] { display.OutputLine(); }, err::kInvalidCall, "Zeichen 5"));
    EXPECT_EQ(rig.recorder.calls().size(), 4u);

    useSerialOpen();
    display.OutputLine();
    EXPECT_EQ(pty.read(), "kurz");
}

} // namespace
} // namespace kd
