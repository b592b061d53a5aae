#include "messages/content_commands.h"
#include "support/window_rig.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace kd {
namespace {

using test::hex;
using test::PseudoTerminal;
using test::Rig;
using Texts = std::vector<std::string>;

const std::string kItem = "100 Rollringe  11,50";
const std::string kTotal = "Gesamt:\r\n               11,50";
const std::string kGreeting = "  Willkommen bei Raumausstatter Zimbelwerk  ";

Texts oneWriteEach(const std::string &bytes) {
    Texts writes;
    for (char byte : bytes)
        writes.push_back("write " + hex(std::string(1, byte)));
    return writes;
}

Texts concat(std::initializer_list<Texts> parts) {
    Texts all;
    for (const Texts &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

enum class Command { Clear, Hello, Text, Summe, GivenAndBack };

void click(Form &form, Command command) {
    switch (command) {
    case Command::Clear: form.cmdClear_Click(); break;
    case Command::Hello: form.cmdHello_Click(); break;
    case Command::Text: form.cmdText_Click(); break;
    case Command::Summe: form.cmdSumme_Click(); break;
    case Command::GivenAndBack: form.cmdGivenandback_Click(); break;
    }
}

// What reaches the display for each click, in a sequence that also walks the clear-first flag:
// start-up sets it, the first item line uses it up, greeting, total and tendered/change set it.
struct Step {
    const char *what;
    Command command;
    Texts usbWrites;
    std::string serialBytes;
};

const std::vector<Step> &steps() {
    static const Texts clear = {"write 0C"};
    static const Texts item = concat({oneWriteEach(kItem), {"write 0D"}});
    static const std::vector<Step> table = {
        {"clear", Command::Clear, clear, "\f"},
        {"item line after start-up clears first", Command::Text, concat({clear, item}),
         "\f\f" + kItem},
        {"second item line does not", Command::Text, item, "\f" + kItem},
        {"greeting",
         Command::Hello,
         {"write 02 05 4C 31 " + hex(kGreeting) + " 03", "write 02 05 44 08 03"},
         "Hallo Zeile 1       Hallo Zeile 2       "},
        {"item line after greeting clears first", Command::Text, concat({clear, item}),
         "\f\f" + kItem},
        {"total", Command::Summe, concat({clear, oneWriteEach(kTotal), {"write 0D"}}),
         "\f\f" + kTotal},
        {"item line after total clears first", Command::Text, concat({clear, item}),
         "\f\f" + kItem},
        {"tendered and change", Command::GivenAndBack,
         concat(
             {clear, oneWriteEach("Gegeben        20,00"), oneWriteEach("Zurueck         8,50")}),
         "\fGegeben        20,00Zurueck         8,50"},
        {"item line after tendered/change clears first", Command::Text, concat({clear, item}),
         "\f\f" + kItem},
    };
    return table;
}

// The byte table through real clicks on the real window.
class ClickedInTheWindow : public ::testing::Test, protected test::WindowRig {
  protected:
    ClickedInTheWindow() : WindowRig(1) {}

    void click(Command command) {
        QAbstractButton *const buttons[] = {window.cmdClear, window.cmdHello, window.cmdText,
                                            window.cmdSumme, window.cmdGivenandback};
        QTest::mouseClick(buttons[static_cast<int>(command)], Qt::LeftButton);
    }
};

TEST_F(ClickedInTheWindow, UsbWritesAreExact) {
    QTest::mouseClick(window.Option[0], Qt::LeftButton);
    ASSERT_EQ(recorder.calls(), (Texts{"close", "open", "write 0C"}));
    for (const Step &step : steps()) {
        recorder.clear();
        click(step.command);
        EXPECT_EQ(recorder.calls(), step.usbWrites) << step.what;
    }
    EXPECT_EQ(messages.errors.size(), 0u);
}

// Until a connection is chosen, the tool is in USB mode with nothing opened: every command still
// goes to the library, byte for byte.
TEST_F(ClickedInTheWindow, BeforeAnyConnectionTheUsbLibraryGetsThem) {
    for (const Step &step : steps()) {
        recorder.clear();
        click(step.command);
        EXPECT_EQ(recorder.calls(), step.usbWrites) << step.what;
    }
    EXPECT_EQ(hex(pty.read(50)), "");
    EXPECT_EQ(messages.errors.size(), 0u);
}

TEST_F(ClickedInTheWindow, SerialBytesAreExact) {
    QTest::mouseClick(window.Option[1], Qt::LeftButton);
    ASSERT_EQ(hex(pty.read()), "0C");
    recorder.clear();
    for (const Step &step : steps()) {
        click(step.command);
        EXPECT_EQ(hex(pty.read()), hex(step.serialBytes)) << step.what;
    }
    EXPECT_EQ(recorder.calls(), Texts{});
    EXPECT_EQ(messages.errors.size(), 0u);
}

TEST(ContentCommands, ComposedTextsStayInStrLine) {
    Rig rig;
    rig.form.cmdSumme_Click();
    EXPECT_EQ(rig.form.state().strLine, u"Gesamt:\r\n               11,50");
    EXPECT_EQ(rig.form.state().strLine.size(), 29u);
    rig.form.cmdGivenandback_Click();
    EXPECT_EQ(rig.form.state().strLine, u"Zurueck         8,50");
    EXPECT_EQ(rig.form.state().intPos, 21);
}

TEST(ContentCommands, ErrorsAreShownAndTheNextCommandStillRuns) {
    PseudoTerminal pty;
    Rig rig(test::tableWith(0, pty));
    rig.form.Option_Click(1); // no port: COM mode with nothing open
    for (Command command : {Command::Clear, Command::Hello, Command::Summe, Command::GivenAndBack})
        click(rig.form, command);
    ASSERT_EQ(rig.messages.errors.size(), 4u);
    for (const Error &error : rig.messages.errors)
        EXPECT_EQ(error.number, err::kPortNotOpen);
    EXPECT_EQ(errorMessageText(rig.messages.errors[0]),
              "Laufzeitfehler '8018':\n\n" + rig.messages.errors[0].description);

    // Nothing reached the display, so the flag from start-up is still set: the first item line
    // fails on its clear, the second one skips its failures silently.
    EXPECT_TRUE(rig.form.state().blnClearFirst);
    rig.form.cmdText_Click();
    EXPECT_EQ(rig.messages.errors.size(), 5u);
    EXPECT_FALSE(rig.form.state().blnClearFirst);
    rig.form.cmdText_Click();
    EXPECT_EQ(rig.messages.errors.size(), 5u);
    EXPECT_EQ(pty.read(50), "");
}

TEST(ContentCommands, MissingUsbLibraryIsShownWithItsNumber) {
    Rig rig({}, {"/nonexistent"});
    rig.form.cmdHello_Click();
    rig.form.cmdText_Click(); // SendText skips, its clear does not
    ASSERT_EQ(rig.messages.errors.size(), 2u);
    EXPECT_EQ(rig.messages.errors[0].number, err::kFileNotFound);
    EXPECT_NE(rig.messages.errors[0].description.find("libcd722dusb.so"), std::string::npos);
}

} // namespace
} // namespace kd
