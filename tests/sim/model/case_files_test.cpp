// The command-set case files in tests/sim/cases: each case's bytes are fed whole, one byte at a
// time and cut in two at every point, and every way must leave the lines and state it names.
//
// A file starts with "set: <name>" and holds cases; a case starts with "case: <what>", and its
// lines are:
//   bytes: 1B 74 13 "Summe" 0D "x"*20 20*3   hex bytes as the manuals print them, quoted text,
//                                            either with *N to repeat it; several lines append
//   clock: 10:30          the clock the model reads (before the bytes)
//   ticks: N              running texts move on N times after the bytes
//   line1: <text>         what line 1 shows, padded with blanks to 20 (blank when not given)
//   line2: <text>         the same for line 2
//   cursor: <line> <column>   from 1
//   state: <text>         a part of the (English) state line
//   running: <line>       a text runs on that line
//   cell: <line> <column> reverse|blink|user|plain   the cell's attribute (plain: none of them)
//   answer: 06 01 "AB"    what the display sends back, in bytes as above (none when not given)
//   wrap: clamp           the BA63's 21st character overwrites column 20 (pending by default)
//   identification: "ID" 0D   the identification answer chosen (none: no answer)
// Lines starting with # are comments.
#include "model/display_model.h"
#include "model/print_mode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kd::sim {
namespace {

namespace fs = std::filesystem;

struct CellCheck {
    int row = 0;
    int column = 0;
    std::string attribute;
};

struct Case {
    std::string what;
    int lineNumber = 0;
    std::string bytes;
    std::optional<TimeOfDay> clock;
    int ticks = 0;
    std::string lines[2];
    std::optional<std::pair<int, int>> cursor;
    std::vector<std::string> states;
    std::vector<int> running;
    std::vector<CellCheck> cells;
    std::string answer;
    SetOptions options;
};

struct CaseFile {
    Emulation emulation = Emulation::Standard;
    std::vector<Case> cases;
    std::string error;
};

// Appends the tokens of a bytes line; returns an error text or nothing.
std::string appendBytes(std::string_view text, std::string &bytes) {
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        std::string token;
        if (text[at] == '"') {
            const std::size_t end = text.find('"', at + 1);
            if (end == std::string_view::npos)
                return "unclosed quote";
            token = std::string(text.substr(at + 1, end - at - 1));
            at = end + 1;
        } else {
            if (at + 2 > text.size())
                return "odd hex digit";
            const std::string hex(text.substr(at, 2));
            std::size_t used = 0;
            const unsigned long value = std::stoul(hex, &used, 16);
            if (used != 2)
                return "bad hex byte " + hex;
            token = std::string(1, static_cast<char>(value));
            at += 2;
        }
        int repeat = 1;
        if (at < text.size() && text[at] == '*') {
            std::size_t used = 0;
            repeat = std::stoi(std::string(text.substr(at + 1)), &used);
            at += 1 + used;
        }
        for (int i = 0; i < repeat; ++i)
            bytes += token;
    }
    return {};
}

CaseFile readCaseFile(const fs::path &path) {
    CaseFile file;
    std::ifstream input(path);
    std::string line;
    int number = 0;
    const auto fail = [&](const std::string &why) {
        file.error = path.filename().string() + ":" + std::to_string(number) + ": " + why;
        return file;
    };
    while (std::getline(input, line)) {
        ++number;
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos)
            return fail("no key");
        const std::string key = line.substr(0, colon);
        const std::string value = colon + 2 <= line.size() ? line.substr(colon + 2) : std::string();
        if (key == "set") {
            const auto emulation = emulationNamed(value);
            if (!emulation)
                return fail("unknown set " + value);
            file.emulation = *emulation;
            continue;
        }
        if (key == "case") {
            Case started;
            started.what = value;
            started.lineNumber = number;
            file.cases.push_back(std::move(started));
            continue;
        }
        if (file.cases.empty())
            return fail("a " + key + " before the first case");
        Case &current = file.cases.back();
        std::istringstream words(value);
        if (key == "bytes") {
            if (const std::string error = appendBytes(value, current.bytes); !error.empty())
                return fail(error);
        } else if (key == "answer") {
            if (const std::string error = appendBytes(value, current.answer); !error.empty())
                return fail(error);
        } else if (key == "wrap") {
            if (value != "pending" && value != "clamp")
                return fail("wrap is pending or clamp");
            current.options.pendingWrap = value == "pending";
        } else if (key == "identification") {
            std::string identification;
            if (value != "none") {
                if (const std::string error = appendBytes(value, identification); !error.empty())
                    return fail(error);
            }
            current.options.identification = identification;
        } else if (key == "clock") {
            current.clock = TimeOfDay{std::stoi(value.substr(0, 2)), std::stoi(value.substr(3, 2))};
        } else if (key == "ticks") {
            current.ticks = std::stoi(value);
        } else if (key == "line1" || key == "line2") {
            current.lines[key == "line1" ? 0 : 1] = value;
        } else if (key == "cursor") {
            int row = 0, column = 0;
            if (!(words >> row >> column))
                return fail("cursor needs line and column");
            current.cursor = {row - 1, column - 1};
        } else if (key == "state") {
            current.states.push_back(value);
        } else if (key == "running") {
            current.running.push_back(std::stoi(value) - 1);
        } else if (key == "cell") {
            CellCheck check;
            if (!(words >> check.row >> check.column >> check.attribute))
                return fail("cell needs line, column and attribute");
            --check.row;
            --check.column;
            current.cells.push_back(check);
        } else {
            return fail("unknown key " + key);
        }
    }
    return file;
}

// The line as it must read: the text, padded with blanks to 20 characters.
std::string padded(const std::string &text) {
    std::size_t characters = 0;
    for (unsigned char c : text)
        characters += (c & 0xC0) != 0x80;
    return text + std::string(characters < 20 ? 20 - characters : 0, ' ');
}

// What differs between the model and the case, or an empty text.
std::string differences(const DisplayModel &model, const Case &c, const std::string &answer) {
    std::string found;
    if (answer != c.answer)
        found += "\n  answer \"" + hexBytes(answer) + "\", expected \"" + hexBytes(c.answer) + "\"";
    for (int row = 0; row < 2; ++row) {
        const std::string shown = utf8(model.line(row));
        if (shown != padded(c.lines[row]))
            found += "\n  line" + std::to_string(row + 1) + ": \"" + shown + "\", expected \"" +
                     padded(c.lines[row]) + "\"";
    }
    const Screen &screen = model.screen();
    if (c.cursor &&
        (screen.cursorRow() != c.cursor->first || screen.cursorColumn() != c.cursor->second))
        found += "\n  cursor at " + std::to_string(screen.cursorRow() + 1) + " " +
                 std::to_string(screen.cursorColumn() + 1);
    for (const std::string &state : c.states) {
        if (model.stateLine().find(state) == std::string::npos)
            found += "\n  state \"" + model.stateLine() + "\" lacks \"" + state + "\"";
    }
    for (int row : c.running) {
        if (!screen.marquee(row).active())
            found += "\n  no running text on line " + std::to_string(row + 1);
    }
    for (const CellCheck &check : c.cells) {
        const Cell cell = screen.cell(check.row, check.column);
        const bool holds = check.attribute == "reverse" ? cell.reverse
                           : check.attribute == "blink" ? cell.blink
                           : check.attribute == "user"  ? cell.user
                                                       : !cell.reverse && !cell.blink && !cell.user;
        if (!holds)
            found += "\n  cell " + std::to_string(check.row + 1) + " " +
                     std::to_string(check.column + 1) + " is not " + check.attribute;
    }
    return found;
}

std::string run(Emulation emulation, const Case &c, const std::vector<std::string_view> &chunks) {
    DisplayModel model(emulation);
    model.setOptions(c.options);
    if (c.clock)
        model.setClock([time = *c.clock] { return time; });
    std::string answer;
    for (std::string_view chunk : chunks) {
        model.feed(chunk);
        answer += model.takeAnswers();
    }
    for (int i = 0; i < c.ticks; ++i)
        model.tick();
    return differences(model, c, answer);
}

std::vector<fs::path> caseFiles() {
    std::vector<fs::path> files;
    for (const auto &entry : fs::directory_iterator(fs::path(KD_TEST_SOURCE_DIR) / "sim/cases")) {
        if (entry.path().extension() == ".cases")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class CaseFiles : public ::testing::TestWithParam<fs::path> {};

TEST_P(CaseFiles, EveryCaseHoldsWholeByteByByteAndSplitAnywhere) {
    const CaseFile file = readCaseFile(GetParam());
    ASSERT_EQ(file.error, "");
    ASSERT_FALSE(file.cases.empty());
    for (const Case &c : file.cases) {
        const std::string where =
            GetParam().filename().string() + ":" + std::to_string(c.lineNumber) + " " + c.what;
        const std::string_view bytes = c.bytes;
        std::string found = run(file.emulation, c, {bytes});
        if (!found.empty()) {
            ADD_FAILURE() << where << " (whole):" << found;
            continue;
        }
        std::vector<std::string_view> single;
        for (std::size_t i = 0; i < bytes.size(); ++i)
            single.push_back(bytes.substr(i, 1));
        if (found = run(file.emulation, c, single); !found.empty()) {
            ADD_FAILURE() << where << " (byte by byte):" << found;
            continue;
        }
        for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
            if (found = run(file.emulation, c, {bytes.substr(0, cut), bytes.substr(cut)});
                !found.empty()) {
                ADD_FAILURE() << where << " (cut after byte " << cut << "):" << found;
                break;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(CommandSets, CaseFiles, ::testing::ValuesIn(caseFiles()),
                         [](const auto &info) { return info.param.stem().string(); });

} // namespace
} // namespace kd::sim
