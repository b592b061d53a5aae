#include "display_model.h"

#include <gtest/gtest.h>

#include <random>

namespace kd::sim {
namespace {

std::string utf8(const std::u16string &text) {
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

TEST(DisplayModel, ByteStreamsToScreens) {
    const struct {
        const char *what;
        std::string bytes;
        const char *line1;
        const char *line2;
        int row;
        int column;
    } cases[] = {
        {"blank at start", "", "                    ", "                    ", 0, 0},
        {"text advances", "Hallo", "Hallo               ", "                    ", 0, 5},
        {"clear homes", "Hallo\fAb", "Ab                  ", "                    ", 0, 2},
        {"CR returns to column 1", "Hallo\rJ", "Jallo               ", "                    ", 0,
         1},
        {"CR LF", "Gesamt:\r\n               11,50", "Gesamt:             ", "               11,50",
         0, 0},
        {"LF from line 2 goes to line 1", "\n\nX", "X                   ", "                    ",
         0, 1},
        {"wrap after column 20 of line 1", "Gegeben        20,00Z", "Gegeben        20,00",
         "Z                   ", 1, 1},
        {"wrap after line 2 overwrites the top", "Gegeben        20,00Zurueck         8,50Q",
         "Qegeben        20,00", "Zurueck         8,50", 0, 1},
        {"item line then CR", "\f100 Rollringe  11,50\r", "100 Rollringe  11,50",
         "                    ", 1, 0},
        {"Windows-1252 letters",
         "Gr\xFC\xDF"
         "e \x80",
         "Grüße €             ", "                    ", 0, 7},
        {"other controls ignored",
         std::string("a\x01\x07\x1B\x7F"
                     "b",
                     6),
         "ab                  ", "                    ", 0, 2},
        {"unassigned high bytes ignored",
         "a\x81\x8D"
         "b",
         "ab                  ", "                    ", 0, 2},
        {"step-time frame shows nothing",
         "a\x02\x05"
         "D\x08\x03"
         "b",
         "ab                  ", "                    ", 0, 2},
        {"unknown frame dropped",
         "a\x02\x05Zxyz\x03"
         "b",
         "ab                  ", "                    ", 0, 2},
        {"frame without ENQ dropped",
         "a\x02L1xyz\x03"
         "b",
         "ab                  ", "                    ", 0, 2},
        {"over-long frame dropped up to its ETX",
         "a\x02\x05L1" + std::string(200, 'x') +
             "\x03"
             "b",
         "ab                  ", "                    ", 0, 2},
        {"unterminated frame ends at the next clear",
         "a\x02\x05L1" + std::string(200, 'x') + "\fok", "ok                  ",
         "                    ", 0, 2},
        {"short running text stands still", "\x02\x05L2Hi\x03", "                    ",
         "Hi                  ", 0, 0},
    };
    for (const auto &c : cases) {
        DisplayModel model;
        model.feed(c.bytes);
        EXPECT_EQ(utf8(model.line(0)), c.line1) << c.what;
        EXPECT_EQ(utf8(model.line(1)), c.line2) << c.what;
        EXPECT_EQ(model.cursorRow(), c.row) << c.what;
        EXPECT_EQ(model.cursorColumn(), c.column) << c.what;
    }
}

TEST(DisplayModel, DroppedFramesAreNoticed) {
    DisplayModel model;
    model.feed("\x02\x05Zxyz\x03");
    model.feed("\x02\x05L1" + std::string(200, 'x') + "\x03");
    model.feed("\x01");
    const auto notices = model.takeNotices();
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_EQ(notices[0], "Unbekannter Rahmen verworfen: 05 5A 78 79 7A");
    EXPECT_EQ(notices[1], "Rahmen länger als 128 Bytes verworfen");
    EXPECT_EQ(notices[2], "Steuerbyte 01 ignoriert");
    EXPECT_TRUE(model.takeNotices().empty());
}

TEST(DisplayModel, GreetingRunsAcrossLineOne) {
    const std::string greeting = "  Willkommen bei Raumausstatter Zimbelwerk  ";
    DisplayModel model;
    model.feed("\x02\x05L1" + greeting + "\x03");
    model.feed(std::string("\x02\x05\x44\x08\x03", 5));
    EXPECT_TRUE(model.running(0));
    EXPECT_EQ(utf8(model.runningText(0)), greeting);
    EXPECT_EQ(model.stepMs(), 8 * DisplayModel::kStepUnitMs);
    EXPECT_EQ(utf8(model.line(0)), "  Willkommen bei Rau");
    model.step();
    model.step();
    EXPECT_EQ(utf8(model.line(0)), "Willkommen bei Rauma");
    for (int i = 0; i < 40; ++i)
        model.step();
    EXPECT_EQ(utf8(model.line(0)), "    Willkommen bei R"); // around the end and back
    EXPECT_EQ(utf8(model.line(1)), "                    ");

    // Writing to the line stops the running text where it stands; a clear removes it.
    model.feed("X");
    EXPECT_FALSE(model.running(0));
    EXPECT_EQ(utf8(model.line(0)), "X   Willkommen bei R");
    model.feed("\x02\x05L1" + greeting + "\x03\f");
    EXPECT_FALSE(model.running(0));
    EXPECT_EQ(utf8(model.line(0)), "                    ");
}

TEST(DisplayModel, ArbitraryBytesKeepTheScreenInShape) {
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> byte(0, 255);
    DisplayModel model;
    for (int round = 0; round < 20000; ++round) {
        model.feed(static_cast<std::uint8_t>(byte(random)));
        if (round % 97 == 0)
            model.step();
        ASSERT_EQ(model.line(0).size(), 20u);
        ASSERT_EQ(model.line(1).size(), 20u);
        ASSERT_GE(model.cursorRow(), 0);
        ASSERT_LT(model.cursorRow(), 2);
        ASSERT_GE(model.cursorColumn(), 0);
        ASSERT_LT(model.cursorColumn(), 20);
    }
    for (char16_t c : model.line(0) + model.line(1))
        EXPECT_FALSE(c < 0x20 || (c >= 0x7F && c < 0xA0)) << int(c);
}

} // namespace
} // namespace kd::sim
