// The display model beyond the case files: running texts over time, the power-on state of a change
// of set, the log and its bounds, the languages, the clock and arbitrary bytes. The command sets'
// cases are in tests/sim/cases.
#include "model/display_model.h"

#include <QString>

#include <gtest/gtest.h>

#include <fstream>

#include "model/print_mode.h"

#include <iconv.h>

#include <functional>
#include <map>
#include <random>
#include <sstream>

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

std::string bytes(std::initializer_list<int> values) {
    std::string text;
    for (int value : values)
        text.push_back(static_cast<char>(value));
    return text;
}

TEST(StandardSet, GreetingRunsAcrossLineOne) {
    const std::string greeting = "  Willkommen bei Raumausstatter Zimbelwerk  ";
    DisplayModel model;
    model.feed("\x02\x05L1" + greeting + "\x03");
    model.feed(bytes({2, 5, 'D', 8, 3}));
    EXPECT_EQ(utf8(model.screen().marquee(0).text), greeting);
    EXPECT_EQ(model.tickIntervalMs(), 8 * 25);
    EXPECT_EQ(utf8(model.line(0)), "  Willkommen bei Rau");
    model.tick();
    model.tick();
    EXPECT_EQ(utf8(model.line(0)), "Willkommen bei Rauma");
    for (int i = 0; i < 40; ++i)
        model.tick();
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
              "Command set Epson ESC/POS · Code table PC437 · Character set USA · overwrite · "
              "Brightness 100 % · Cursor off · Device display");
}

// The state line and the log are read in English or German; the German texts are the same facts.
TEST(CommandSets, StateLineAndLogInEitherLanguage) {
    DisplayModel model(Emulation::LogicControls);
    model.setLanguage(Language::German);
    model.feed(bytes({0x00, 0x01, 0x02, 0x02, 0x04, 0x40}) + "ab" + bytes({0x04, 0x50}));
    EXPECT_EQ(model.stateLine(),
              "Befehlssatz Logic Controls (IBM-Modus) · Codetabelle PC858 · Zeichensatz USA · "
              "vertikal rollen · Helligkeit 40 % · Cursor an · Gerät Display");
    const std::vector<LogEntry> log = model.takeLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0].meaning, "00: IBM-Modus");
    EXPECT_EQ(log[1].meaning, "02: Codetabelle PC858");
    EXPECT_EQ(log[2].meaning, "04: Helligkeit 40 %");
    EXPECT_EQ(log[3].meaning, "Text \"ab\"");
    EXPECT_EQ(log[4].meaning, "verworfen: 04: 50 ist keine Helligkeit (20, 40, 60 oder FF)");

    model.setLanguage(Language::English);
    model.feed(bytes({0x04, 0x50}));
    EXPECT_EQ(model.takeLog().at(0).meaning, "refused: 04: 50 is no brightness (20, 40, 60 or FF)");
    EXPECT_NE(model.stateLine().find("(IBM mode)"), std::string::npos) << model.stateLine();
}

TEST(CommandSets, TheLogNamesEachCommandNextToItsHex) {
    DisplayModel model(Emulation::Epson);
    model.feed(bytes({0x1B, 't', 19}) + "ab" + bytes({0x1F, 0x24, 5, 2, 0x1B, 0x6C}));
    const std::vector<LogEntry> log = model.takeLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].bytes, "1B 74 13");
    EXPECT_EQ(log[0].meaning, "ESC t: code table PC858");
    EXPECT_EQ(log[1].bytes, "61 62");
    EXPECT_EQ(log[1].meaning, "text \"ab\"");
    EXPECT_EQ(log[2].meaning, "US $: cursor column 5, row 2");
    EXPECT_EQ(log[3].bytes, "1B 6C");
    EXPECT_EQ(log[3].meaning, "refused: unknown command in the command set Epson ESC/POS");
}

// The log is bounded twice in the model: entries per arrival (the rest counted in one line), and
// the bytes of a run of text shown in its entry (the run's length beside them).
TEST(CommandSets, TheLogIsBoundedPerArrivalAndPerRunOfText) {
    DisplayModel model(Emulation::Epson, LogLimits{3, 4});
    model.feed(bytes({0x0B, 0x0B, 0x0B, 0x0B, 0x0B}));
    std::vector<LogEntry> log = model.takeLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[2].meaning, "HOM: cursor to the upper left");
    EXPECT_EQ(log[3].meaning, "… 2 more entries of this arrival not logged");
    // The next arrival has its own budget.
    model.feed(bytes({0x0B, 0x0B, 0x0B}));
    EXPECT_EQ(model.takeLog().size(), 3u);

    model.feed("abcdefgh");
    log = model.takeLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].bytes, "61 62 63 64 …");
    EXPECT_EQ(log[0].meaning, "text \"abcd\" … (8 bytes)");
    model.feed("abcd");
    EXPECT_EQ(model.takeLog().at(0).meaning, "text \"abcd\"");
}

// Epson's time counter runs on from what US T set, by the clock, across midnight.
TEST(CommandSets, TheTimeCounterRunsOnWithTheClock) {
    TimeOfDay now{23, 50};
    DisplayModel model(Emulation::Epson);
    model.setClock([&now] { return now; });
    model.feed(bytes({0x1F, 'T', 10, 30}));
    now = {0, 15};
    model.feed(bytes({0x1F, 'U'}));
    EXPECT_EQ(utf8(model.line(1)), blank(15) + "10:55");
    // A reset forgets the counter: it follows the clock again.
    model.feed(bytes({0x1B, '@', 0x1F, 'U'}));
    EXPECT_EQ(utf8(model.line(1)), blank(15) + "00:15");
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
                model.tick();
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

// Every byte a code table maps is the character the system's iconv gives for it (the tables
// leave unassigned only what iconv cannot convert either).
TEST(CodeTables, AgreeWithTheSystemsIconv) {
    const std::map<CodeTable, const char *> iconvNames = {
        {CodeTable::Pc437, "CP437"},       {CodeTable::Pc850, "CP850"},
        {CodeTable::Pc852, "CP852"},       {CodeTable::Pc858, "CP858"},
        {CodeTable::Pc860, "CP860"},       {CodeTable::Pc863, "CP863"},
        {CodeTable::Pc865, "CP865"},       {CodeTable::Pc866, "CP866"},
        {CodeTable::Windows1252, "CP1252"}};
    for (CodeTable table : allCodeTables()) {
        ASSERT_TRUE(iconvNames.count(table)) << codeTableName(table);
        const iconv_t convert = ::iconv_open("UTF-16LE", iconvNames.at(table));
        ASSERT_NE(convert, reinterpret_cast<iconv_t>(-1)) << iconvNames.at(table);
        int mapped = 0;
        for (int byte = 0x20; byte <= 0xFF; ++byte) {
            if (byte == 0x7F)
                continue;
            char in = static_cast<char>(byte);
            char16_t out[2] = {};
            char *inAt = &in;
            char *outAt = reinterpret_cast<char *>(out);
            std::size_t inLeft = 1, outLeft = sizeof out;
            const bool converted =
                ::iconv(convert, &inAt, &inLeft, &outAt, &outLeft) != static_cast<std::size_t>(-1);
            const char16_t ours = glyphOf(static_cast<std::uint8_t>(byte), table, NationalSet::Usa);
            if (ours == u'\uFFFD') {
                EXPECT_FALSE(converted && out[0] >= 0xA0)
                    << codeTableName(table) << " leaves "
                    << hexByte(static_cast<std::uint8_t>(byte)) << " unassigned, iconv gives U+"
                    << std::hex << int(out[0]);
                continue;
            }
            ++mapped;
            EXPECT_TRUE(converted) << codeTableName(table) << " " << byte;
            EXPECT_EQ(int(ours), int(out[0]))
                << codeTableName(table) << " byte " << hexByte(static_cast<std::uint8_t>(byte));
        }
        EXPECT_GE(mapped, 0xFF - 0x20 - 5) << codeTableName(table);
        ::iconv_close(convert);
    }
}

// --print writes the lines in UTF-8: two bytes for Greek, Cyrillic and Polish letters, three for
// the euro and the box characters.
TEST(PrintMode, WritesGreekCyrillicAndPolishInUtf8) {
    struct Sample {
        std::string bytes;
        std::string line;
    };
    const std::vector<Sample> samples = {
        {"\xE0\xE1\xE2\xE3\xE4", "αßΓπΣ"},
        {bytes({0x1B, 't', 17}) + "\x8F\xE0\xA8\xA2\xA5\xE2", "Привет"},
        {bytes({0x1B, 't', 18}) + "\xA5\xA4\x86\xA9\x88\xE4\xBE\xAB", "ąĄćęłńżź"},
        {bytes({0x1B, 't', 19}) + "\xD5\xC9", "€╔"},
    };
    const std::string file = ::testing::TempDir() + "kd-print-utf8";
    for (const Sample &sample : samples) {
        std::ofstream(file, std::ios::binary) << sample.bytes;
        std::ostringstream out, err;
        ASSERT_EQ(printScreen(Emulation::Epson, file, -1, out, err), 0) << err.str();
        EXPECT_EQ(out.str().substr(0, out.str().find('\n')), padded(sample.line));
    }
}

} // namespace
} // namespace kd::sim
