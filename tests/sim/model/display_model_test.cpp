// The command sets, case by case: a byte stream and the two lines (and state) it must leave, one
// table per set, each case fed whole and again one byte at a time.
#include "model/display_model.h"
#include "model/emulation/auto_detect.h"

#include <QString>

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace kd::sim {
namespace {

std::string utf8(const std::u16string &text) {
    return QString::fromStdU16String(text).toStdString();
}

std::string blank(std::size_t count = 20) {
    return std::string(count, ' ');
}

// The line as it must read: the text, padded with spaces to 20 characters.
std::string padded(const std::string &text) {
    return text + blank(20 - static_cast<std::size_t>(QString::fromStdString(text).size()));
}

struct Case {
    const char *what;
    std::string bytes;
    std::string line1 = {};
    std::string line2 = {};
    // More to check on the model after the bytes, when the lines do not tell all.
    std::function<void(const DisplayModel &)> check = {};
};

std::string bytes(std::initializer_list<int> values) {
    std::string text;
    for (int value : values)
        text.push_back(static_cast<char>(value));
    return text;
}

void runTable(Emulation emulation, const std::vector<Case> &cases) {
    for (const Case &c : cases) {
        for (const bool split : {false, true}) {
            DisplayModel model(emulation);
            if (split) {
                for (char byte : c.bytes)
                    model.feed(std::string_view(&byte, 1));
            } else {
                model.feed(c.bytes);
            }
            const std::string where = std::string(c.what) + (split ? " (byte by byte)" : "");
            EXPECT_EQ(utf8(model.line(0)), padded(c.line1)) << where;
            EXPECT_EQ(utf8(model.line(1)), padded(c.line2)) << where;
            if (c.check) {
                SCOPED_TRACE(where);
                c.check(model);
            }
        }
    }
}

const auto cursorAt = [](int row, int column) {
    return [=](const DisplayModel &model) {
        EXPECT_EQ(model.screen().cursorRow(), row);
        EXPECT_EQ(model.screen().cursorColumn(), column);
    };
};

TEST(StandardSet, TheToolsBytesAndFrames) {
    runTable(
        Emulation::Standard,
        {
            {"blank at start", "", "", "", cursorAt(0, 0)},
            {"text advances", "Hallo", "Hallo", "", cursorAt(0, 5)},
            {"clear homes", "Hallo\fAb", "Ab", "", cursorAt(0, 2)},
            {"CR returns to column 1", "Hallo\rJ", "Jallo", "", cursorAt(0, 1)},
            {"the total", "\f\fGesamt:\r\n               11,50", "Gesamt:", "               11,50",
             cursorAt(0, 0)},
            {"LF from line 2 goes to line 1", "\n\nX", "X", ""},
            {"wrap after column 20 of line 1", "Gegeben        20,00Z", "Gegeben        20,00", "Z",
             cursorAt(1, 1)},
            {"wrap after line 2 overwrites the top", "Gegeben        20,00Zurueck         8,50Q",
             "Qegeben        20,00", "Zurueck         8,50", cursorAt(0, 1)},
            {"item line then CR", "\f100 Rollringe  11,50\r", "100 Rollringe  11,50", "",
             cursorAt(1, 0)},
            {"Windows-1252 letters, the tool's code page",
             "Gr\xFC\xDF"
             "e \x80",
             "Grüße €", ""},
            {"other controls are dropped, not drawn", bytes({'a', 1, 7, 0x1B, 0x7F, 'b'}), "ab",
             ""},
            {"unassigned high bytes are dropped",
             "a\x81\x8D"
             "b",
             "ab", ""},
            {"step-time frame shows nothing", bytes({'a', 2, 5, 'D', 8, 3, 'b'}), "ab", ""},
            {"unknown frame dropped",
             "a\x02\x05Zxyz\x03"
             "b",
             "ab", ""},
            {"frame without ENQ dropped",
             "a\x02L1xyz\x03"
             "b",
             "ab", ""},
            {"over-long frame dropped up to its ETX",
             "a\x02\x05L1" + std::string(200, 'x') +
                 "\x03"
                 "b",
             "ab", ""},
            {"a frame whose ETX was lost ends at the next clear",
             "a\x02\x05L1" + std::string(30, 'x') + "\fok", "ok", ""},
            {"a frame whose ETX was lost ends at the next STX", "a\x02\x05L1lost\x02\x05L2Hi\x03",
             "a", "Hi"},
            {"short running text stands still", "\x02\x05L2Hi\x03", "", "Hi"},
            // Epson and CD5220 commands mixed, as till programs send them.
            {"Epson cursor off, CD5220 positioning", bytes({0x1F, 0x43, 0, 0x1B, 'l', 5, 2}) + "XY",
             "", "    XY"},
            {"CD5220 line string and Epson code table",
             bytes({0x1B, 't', 19}) + "\x1BQA"
                                      "Summe \xD5"
                                      "\r",
             "Summe €", ""},
        });
}

TEST(StandardSet, GreetingRunsAcrossLineOne) {
    const std::string greeting = "  Willkommen bei Raumausstatter Zimbelwerk  ";
    DisplayModel model;
    model.feed("\x02\x05L1" + greeting + "\x03");
    model.feed(bytes({2, 5, 'D', 8, 3}));
    EXPECT_EQ(utf8(model.screen().marquee(0).text), greeting);
    EXPECT_EQ(model.stepMs(), 8 * 25);
    EXPECT_EQ(utf8(model.line(0)), "  Willkommen bei Rau");
    model.step();
    model.step();
    EXPECT_EQ(utf8(model.line(0)), "Willkommen bei Rauma");
    for (int i = 0; i < 40; ++i)
        model.step();
    EXPECT_EQ(utf8(model.line(0)), "    Willkommen bei R"); // around the end and back
    EXPECT_EQ(utf8(model.line(1)), blank());

    // Writing to the line stops the running text where it stands; a clear removes it.
    model.feed("X");
    EXPECT_FALSE(model.screen().marquee(0).active());
    EXPECT_EQ(utf8(model.line(0)), "X   Willkommen bei R");
    model.feed("\x02\x05L1" + greeting + "\x03\f");
    EXPECT_FALSE(model.screen().marquee(0).active());
    EXPECT_EQ(utf8(model.line(0)), blank());
}

TEST(EpsonSet, WritingPositioningAndTheThreeModes) {
    const std::string init = bytes({0x1B, '@'});
    runTable(
        Emulation::Epson,
        {
            {"initialise and write past line 1", init + "ABCDEFGHIJKLMNOPQRSTUV",
             "ABCDEFGHIJKLMNOPQRST", "UV"},
            {"move cursor, binary column and row", init + bytes({0x1F, '$', 5, 2}) + "XY", "",
             "    XY", cursorAt(1, 6)},
            {"a position outside the display is ignored", bytes({0x1F, '$', 21, 1}) + "X", "X", ""},
            {"overwrite: after line 2 the cursor is home", std::string(40, 'a') + "Z",
             "Z" + std::string(19, 'a'), std::string(20, 'a'), cursorAt(0, 1)},
            {"vertical scroll: the 40th character scrolls at once",
             bytes({0x1F, 2}) + std::string(20, 'A') + std::string(20, 'B') + "C",
             std::string(20, 'B'), "C"},
            {"horizontal scroll: the line moves left under the parked cursor",
             bytes({0x1F, 3}) + "ABCDEFGHIJKLMNOPQRSTU", "BCDEFGHIJKLMNOPQRSTU", "",
             cursorAt(0, 19)},
            {"initialise returns to overwrite", bytes({0x1F, 3, 0x1B, '@'}) + std::string(21, 'x'),
             std::string(20, 'x'), "x"},
            {"BS at the upper left goes to the lower right, erasing nothing", "\x08X", "",
             blank(19) + "X"},
            {"BS in vertical scroll at the upper left scrolls down",
             "AB\r" + bytes({0x1F, 2, 8}) + "Z", blank(19) + "Z", "AB"},
            {"HT moves without erasing", "ABC\r\t\tx", "ABx", ""},
            {"LF on line 2 in vertical scroll scrolls up, column kept",
             "A" + bytes({0x1F, 'B'}) + "B" + bytes({0x1F, 2, 0x0A}) + "C", "B", " C"},
            {"US LF from line 1 in overwrite goes to line 2", "AB" + bytes({0x1F, 0x0A}) + "C",
             "AB", "  C"},
            {"home, bottom, line end",
             bytes({0x1F, 'B'}) + "L" + bytes({0x0B}) + "H" + bytes({0x1F, 0x0D}) + "E",
             "H                  E", "L"},
            {"CAN clears the cursor's line and puts the cursor at its start",
             "ABC" + bytes({0x1F, 'B'}) + "DEF" + bytes({0x18}) + "G", "ABC", "G"},
        });
}

TEST(EpsonSet, CodeTablesNationalSetsAndThePrinter) {
    runTable(
        Emulation::Epson,
        {
            {"PC437 at power-on: D5 is a box corner, not the euro", "\xD5 \x84 \xE1", "╒ ä ß"},
            {"ESC t 19 PC858: D5 is the euro", bytes({0x1B, 't', 19}) + "11,50 \xD5", "11,50 €", "",
             [](const DisplayModel &m) { EXPECT_EQ(m.screen().codeTable(), CodeTable::Pc858); }},
            {"ESC t 16 Windows-1252: 80 is the euro", bytes({0x1B, 't', 16}) + "\x80 \xE4\xF6\xFC",
             "€ äöü"},
            {"ESC t 2 PC850: umlauts and sharp s",
             bytes({0x1B, 't', 2}) + "Gr\x81\xE1"
                                     "e",
             "Grüße"},
            {"ESC t 17 PC866: Cyrillic", bytes({0x1B, 't', 17}) + "\x8F\xE0\xA8\xA2\xA5\xE2",
             "Привет"},
            {"an unknown table keeps the one chosen", bytes({0x1B, 't', 19, 0x1B, 't', 7}) + "\xD5",
             "€"},
            {"ESC R 2 Germany replaces brackets and braces", bytes({0x1B, 'R', 2}) + "[\\]{|}~@",
             "ÄÖÜäöüß§", "",
             [](const DisplayModel &m) {
                 EXPECT_EQ(m.screen().nationalSet(), NationalSet::Germany);
             }},
            {"ESC R 0 back to USA", bytes({0x1B, 'R', 2, 0x1B, 'R', 0}) + "[Menu]", "[Menu]"},
            {"data for the printer is not shown",
             bytes({0x1B, '=', 1}) + "Beleg 0815\x0C" + bytes({0x1B, '=', 2}) + "OK", "OK", "",
             [](const DisplayModel &m) {
                 EXPECT_EQ(m.screen().peripheral(), Peripheral::Display);
             }},
            {"both selected: the display shows it", bytes({0x1B, '=', 3}) + "Beide", "Beide"},
        });
}

TEST(EpsonSet, CursorBrightnessBlinkReverseAndUserCharacters) {
    const Glyph arrow = {0x08, 0x1C, 0x3E, 0x08, 0x08};
    runTable(
        Emulation::Epson,
        {
            {"cursor on", bytes({0x1F, 'C', 1}), "", "",
             [](const DisplayModel &m) { EXPECT_TRUE(m.screen().cursorVisible()); }},
            {"brightness 2 of 4", bytes({0x1F, 'X', 2}), "", "",
             [](const DisplayModel &m) { EXPECT_EQ(m.screen().brightness(), 40); }},
            {"blink every 250 ms", bytes({0x1F, 'E', 5}), "", "",
             [](const DisplayModel &m) { EXPECT_EQ(m.screen().blinkMs(), 250); }},
            {"blink 255 turns the display off, its content kept", "Hi" + bytes({0x1F, 'E', 255}),
             "Hi", "", [](const DisplayModel &m) { EXPECT_FALSE(m.screen().displayOn()); }},
            {"reverse characters", "a" + bytes({0x1F, 'r', 1}) + "b", "ab", "",
             [](const DisplayModel &m) {
                 EXPECT_FALSE(m.screen().cell(0, 0).reverse);
                 EXPECT_TRUE(m.screen().cell(0, 1).reverse);
             }},
            {"a user character is drawn once its set is selected",
             bytes({0x1B, '&', 1, 'A', 'A', 5, 0x08, 0x1C, 0x3E, 0x08, 0x08}) + "A" +
                 bytes({0x1B, '%', 1}) + "A",
             "A□", "",
             [arrow](const DisplayModel &m) {
                 EXPECT_FALSE(m.screen().cell(0, 0).user);
                 EXPECT_TRUE(m.screen().cell(0, 1).user);
                 EXPECT_EQ(m.screen().cell(0, 1).glyph, arrow);
             }},
            {"CD5220 commands are not Epson's: dropped, never drawn",
             bytes({0x1B, 'l', 5, 2}) + "X", "X", ""},
        });
}

TEST(Cd5220Set, StringsMarqueeCursorAndModes) {
    runTable(
        Emulation::Cd5220,
        {
            {"both lines as strings",
             "\x1B@\x1BQAUPPER" + blank(15) + "\r\x1BQBLOWER" + blank(15) + "\r", "UPPER", "LOWER"},
            {"a string blanks the rest of its line", "Hallo Welt\x1BQAok\r", "ok", ""},
            {"characters past 20 are ignored", "\x1BQA" + std::string(25, 'x') + "\r",
             std::string(20, 'x'), ""},
            {"a string whose CR was lost ends at the next clear", "\x1BQAabc\x0Cok", "ok", ""},
            {"ESC l, binary column and row", bytes({0x1B, 'l', 3, 2}) + "Z", "", "  Z"},
            {"ESC [ K bottom left, ESC [ H home", "\x1B[KL\x1B[HH", "H", "L"},
            {"ESC [ R line end, ESC [ L line start", "\x1B[RE\x1B[LX", "                   E", "X"},
            {"ESC DC2 vertical scroll",
             bytes({0x1B, 0x12}) + std::string(20, 'A') + std::string(20, 'B') + "C",
             std::string(20, 'B'), "C"},
            {"ESC DC3 horizontal scroll", bytes({0x1B, 0x13}) + "ABCDEFGHIJKLMNOPQRSTU",
             "BCDEFGHIJKLMNOPQRSTU", ""},
            {"brightness and cursor", bytes({0x1B, '*', 1, 0x1B, '_', 1}), "", "",
             [](const DisplayModel &m) {
                 EXPECT_EQ(m.screen().brightness(), 20);
                 EXPECT_TRUE(m.screen().cursorVisible());
             }},
            {"ESC f G: German national characters",
             "\x1B"
             "fG[\\]{|}~",
             "ÄÖÜäöüß"},
            {"the hybrid US commands are understood", bytes({0x1F, 'B'}) + "x", "", "x"},
            {"other US commands are not CD5220's", bytes({0x1F, '$', 5, 2}) + "X", "X", ""},
        });
}

TEST(Cd5220Set, MarqueeRunsUntilTheNextCommand) {
    DisplayModel model(Emulation::Cd5220);
    model.feed("\x1BQDSonderangebot heute: Rollringe 11,50\r");
    ASSERT_TRUE(model.screen().marquee(0).active());
    EXPECT_EQ(model.stepMs(), 1000);
    EXPECT_EQ(utf8(model.line(0)), "Sonderangebot heute:");
    model.step();
    EXPECT_EQ(utf8(model.line(0)), "onderangebot heute: ");
    // The next command clears line 1 and puts the cursor home.
    model.feed(bytes({0x1B, 'l', 1, 2}) + "X");
    EXPECT_FALSE(model.screen().marquee(0).active());
    EXPECT_EQ(utf8(model.line(0)), blank());
    EXPECT_EQ(utf8(model.line(1)), padded("X"));
}

TEST(LogicControlsSet, SingleByteCommands) {
    runTable(
        Emulation::LogicControls,
        {
            {"reset, normal mode, position 14: line 2", bytes({0x1F, 0x11, 0x10, 0x14}) + "XY", "",
             "XY"},
            {"power-on is vertical scroll: 40 characters leave only the second 20",
             std::string(20, 'A') + std::string(20, 'B'), std::string(20, 'B'), "",
             [](const DisplayModel &m) {
                 EXPECT_EQ(m.screen().mode(), WriteMode::VerticalScroll);
                 EXPECT_TRUE(m.screen().cursorVisible());
                 EXPECT_EQ(m.screen().codeTable(), CodeTable::Pc437);
             }},
            {"DC1 wraps from line 2 to the top", bytes({0x11}) + std::string(40, 'a') + "Z",
             "Z" + std::string(19, 'a'), std::string(20, 'a')},
            {"BS moves left and erases", "ABC\x08", "AB", "", cursorAt(0, 2)},
            {"BS at the upper left wraps to the lower right, erasing",
             bytes({0x11}) + "X\r\x08\x08"
                             "Q",
             "X", blank(18) + "Q"},
            {"a position past 27h is ignored", bytes({0x10, 0x28}) + "A", "A", ""},
            {"CR in vertical scroll does not scroll", bytes({0x10, 0x14}) + "AB\rC", "", "CB"},
            {"0C is no clear in this set", "AB\x0C", "AB", ""},
            {"reset clears and returns to power-on",
             bytes({0x11, 0x04, 0x40}) + "AB" + bytes({0x1F}), "", "",
             [](const DisplayModel &m) {
                 EXPECT_EQ(m.screen().mode(), WriteMode::VerticalScroll);
                 EXPECT_EQ(m.screen().brightness(), 100);
             }},
            {"brightness 40 %", bytes({0x04, 0x40}), "", "",
             [](const DisplayModel &m) { EXPECT_EQ(m.screen().brightness(), 40); }},
            {"cursor off and on", bytes({0x14}), "", "",
             [](const DisplayModel &m) { EXPECT_FALSE(m.screen().cursorVisible()); }},
            {"IBM mode chooses PC858 with 02 02: the euro",
             bytes({0x00, 0x01, 0x02, 0x02}) + "\xD5", "€", "",
             [](const DisplayModel &m) { EXPECT_EQ(m.stateLine().find("IBM-Modus") > 0, true); }},
            {"02 nn outside IBM mode is refused", bytes({0x02, 0x02}) + "\xD5", "╒"},
            {"ESC % 3: PC858", bytes({0x1B, '%', 3}) + "\xD5 \x84", "€ ä"},
            {"IBM mode ESC [ clears and places",
             bytes({0x00, 0x01}) + "abc\x1B[2J\x1B[2;3H"
                                   "x",
             "", "  x"},
            {"message scroll on line 1", bytes({0x05}) + "Heute alle Rollringe zum halben Preis\r",
             "Heute alle Rollringe", "",
             [](const DisplayModel &m) { EXPECT_TRUE(m.screen().marquee(0).active()); }},
        });
}

TEST(AedexSet, LineCommandsAndTheAttentionCode) {
    runTable(Emulation::Aedex,
             {
                 {"line 1", "!#1HELLO\r", "HELLO", ""},
                 {"line 2", "!#2Summe 11,50\r", "", "Summe 11,50"},
                 {"both lines from 40 characters",
                  "!#9" + std::string(20, 'a') + std::string(20, 'b') + "\r", std::string(20, 'a'),
                  std::string(20, 'b')},
                 {"a line command blanks the rest of its line", "!#1Hallo Welt\r!#1ok\r", "ok", ""},
                 {"plain text passes through and is not shown", "Beleg 0815\r\n\x0C", "", ""},
                 {"a new attention code: two spaces, as lcdproc sets it",
                  "!#8  \r  1OK\r!#1nicht\r", "OK", "",
                  [](const DisplayModel &m) {
                      EXPECT_NE(m.stateLine().find("Attention-Code \"  \""), std::string::npos);
                  }},
                 {"reset returns to !#", "!#8@@\r@@A\r!#1wieder\r", "wieder", ""},
                 {"continuous scroll on line 1", "!#4Rollringe heute im Angebot\r",
                  "Rollringe heute im A", "",
                  [](const DisplayModel &m) { EXPECT_TRUE(m.screen().marquee(0).active()); }},
                 {"the time on line 2", "!#512:34\r", "", "12:34"},
             });
}

TEST(AedexSet, ScrollOnceStopsWithTheTextShown) {
    DisplayModel model(Emulation::Aedex);
    model.feed("!#6Danke\r");
    EXPECT_EQ(utf8(model.line(0)), blank());
    for (int i = 0; i < 10 && model.screen().marquee(0).active(); ++i)
        model.step();
    EXPECT_FALSE(model.screen().marquee(0).active());
    EXPECT_EQ(utf8(model.line(0)), blank(15) + "Danke");
}

TEST(AutoSet, LocksOnTheFirstCommandOnlyOneSetHas) {
    const auto locked = [](Emulation expected, std::string reason) {
        return [=](const DisplayModel &m) {
            EXPECT_EQ(m.detection(), reason);
            EXPECT_NE(m.stateLine().find(emulationTitle(expected)), std::string::npos);
        };
    };
    runTable(Emulation::Auto,
             {
                 {"Logic Controls by its reset and mode", bytes({0x1F, 0x11, 0x10, 0x14}) + "XY",
                  "", "XY",
                  locked(Emulation::LogicControls, "erkannt: Logic Controls, an 1F 11 bei Byte 0")},
                 {"Epson by its code table, after text shown as standard",
                  "Hallo" + bytes({0x1B, 't', 19}) + " \xD5", "Hallo €", "",
                  locked(Emulation::Epson, "erkannt: Epson ESC/POS, an 1B 74 bei Byte 5")},
                 {"CD5220 by a line string", "\x1BQAHallo\r", "Hallo", "",
                  locked(Emulation::Cd5220, "erkannt: CD5220, an 1B 51 41 bei Byte 0")},
                 {"AEDEX by a line command", "!#1HELLO\rBeleg", "HELLO", "",
                  locked(Emulation::Aedex, "erkannt: AEDEX, an 21 23 31 bei Byte 0")},
                 {"undecided: standard meaning", "\f\fGesamt:\r\n               11,50",
                  "Gesamt:", "               11,50",
                  [](const DisplayModel &m) { EXPECT_EQ(m.detection(), ""); }},
                 {"a frame's text is no signature", "\x02\x05L1!#1x\r\x03", "!#1x", "",
                  [](const DisplayModel &m) { EXPECT_EQ(m.detection(), ""); }},
                 {"it never changes its mind", bytes({0x1F, 0x11}) + "\x1BQAx\r" + "AB", "AB", "",
                  locked(Emulation::LogicControls, "erkannt: Logic Controls, an 1F 11 bei Byte 0")},
             });
}

TEST(CommandSets, ChangingTheSetIsItsPowerOnState) {
    DisplayModel model(Emulation::Epson);
    model.feed(bytes({0x1F, 0x03, 0x1F, 'X', 1, 0x1B, 't', 19}) + "Hallo");
    model.setEmulation(Emulation::LogicControls);
    EXPECT_EQ(utf8(model.line(0)), blank());
    EXPECT_EQ(model.screen().mode(), WriteMode::VerticalScroll);
    EXPECT_EQ(model.screen().brightness(), 100);
    EXPECT_EQ(model.screen().codeTable(), CodeTable::Pc437);
    model.setEmulation(Emulation::Epson);
    EXPECT_EQ(model.screen().mode(), WriteMode::Overwrite);
    EXPECT_FALSE(model.screen().cursorVisible());
    EXPECT_EQ(model.stateLine(),
              "Befehlssatz Epson ESC/POS · Codetabelle PC437 · Zeichensatz USA · "
              "Überschreiben · Helligkeit 100 % · Cursor aus · Gerät Display");
}

TEST(CommandSets, TheLogNamesEachCommandNextToItsHex) {
    DisplayModel model(Emulation::Epson);
    model.feed(bytes({0x1B, 't', 19}) + "ab" + bytes({0x1F, 0x24, 5, 2, 0x1B, 0x6C}));
    const std::vector<LogEntry> log = model.takeLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].bytes, "1B 74 13");
    EXPECT_EQ(log[0].meaning, "ESC t 19 → PC858");
    EXPECT_EQ(log[1].bytes, "61 62");
    EXPECT_EQ(log[1].meaning, "Text \"ab\"");
    EXPECT_EQ(log[2].meaning, "US $: Cursor Spalte 5, Zeile 2");
    EXPECT_EQ(log[3].bytes, "1B 6C");
    EXPECT_EQ(log[3].meaning.rfind("verworfen: unbekannter Befehl", 0), 0u) << log[3].meaning;
}

// Random bytes through every set: the screen stays 2 × 20 and the cursor in it.
TEST(CommandSets, ArbitraryBytesKeepTheScreenInShape) {
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> byte(0, 255);
    for (Emulation emulation : allEmulations()) {
        DisplayModel model(emulation);
        for (int round = 0; round < 20000; ++round) {
            const char value = static_cast<char>(byte(random));
            model.feed(std::string_view(&value, 1));
            if (round % 97 == 0)
                model.step();
            ASSERT_EQ(model.line(0).size(), 20u) << emulationName(emulation);
            ASSERT_EQ(model.line(1).size(), 20u) << emulationName(emulation);
            ASSERT_GE(model.screen().cursorRow(), 0);
            ASSERT_LT(model.screen().cursorRow(), 2);
            ASSERT_GE(model.screen().cursorColumn(), 0);
            ASSERT_LT(model.screen().cursorColumn(), 20);
        }
        for (char16_t c : model.line(0) + model.line(1))
            EXPECT_FALSE(c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xFFFD)
                << emulationName(emulation) << " " << int(c);
        model.takeLog();
    }
}

} // namespace
} // namespace kd::sim
