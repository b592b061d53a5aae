#include "headless/json_lines.h"

#include "model/display_model.h"
#include "model/print_mode.h"

namespace kd::sim {
namespace {

std::string orNull(const std::optional<std::string> &text) {
    return text ? jsonString(*text) : "null";
}

std::string writeModeKey(WriteMode mode) {
    switch (mode) {
    case WriteMode::Overwrite: return "overwrite";
    case WriteMode::VerticalScroll: return "vertical-scroll";
    case WriteMode::HorizontalScroll: return "horizontal-scroll";
    }
    return {};
}

const char *boolean(bool value) {
    return value ? "true" : "false";
}

} // namespace

std::string jsonString(std::string_view utf8) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\u00";
            out += kDigits[byte >> 4];
            out += kDigits[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string readyEvent(const ReadyFacts &facts) {
    std::string problems;
    for (const std::string &problem : facts.problems)
        problems += (problems.empty() ? "" : ",") + jsonString(problem);
    return R"({"event":"ready","pid":)" + std::to_string(facts.pid) + R"(,"pty":)" +
           orNull(facts.pty) + R"(,"tcp":)" + orNull(facts.tcp) + R"(,"rfc2217":)" +
           orNull(facts.rfc2217) + R"(,"socket":)" + orNull(facts.socket) + R"(,"com":)" +
           (facts.com ? std::to_string(*facts.com) : "null") + R"(,"serialLink":)" +
           orNull(facts.serialLink) + R"(,"emulation":)" +
           jsonString(emulationName(facts.emulation)) + R"(,"problems":[)" + problems + "]}";
}

std::string screenEvent(const ScreenFacts &facts) {
    const Screen &screen = facts.screen;
    std::string lines, running;
    for (int row = 0; row < Screen::kRows; ++row) {
        lines += (row ? "," : "") + jsonString(utf8(screen.line(row)));
        running += std::string(row ? "," : "") + boolean(screen.marquee(row).active());
    }
    const bool undecided = facts.emulation == Emulation::Auto && facts.detected == Emulation::Auto;
    return R"({"event":"screen","lines":[)" + lines + R"(],"cursor":{"row":)" +
           std::to_string(screen.cursorRow() + 1) + R"(,"column":)" +
           std::to_string(screen.cursorColumn() + 1) + R"(,"visible":)" +
           boolean(screen.cursorVisible()) + R"(},"emulation":)" +
           jsonString(emulationName(facts.emulation)) + R"(,"detected":)" +
           (undecided ? "null" : jsonString(emulationName(facts.detected))) + R"(,"detection":)" +
           jsonString(facts.detection) + R"(,"brightness":)" + std::to_string(screen.brightness()) +
           R"(,"displayOn":)" + boolean(screen.displayOn()) + R"(,"blinkMs":)" +
           std::to_string(screen.blinkMs()) + R"(,"codeTable":)" +
           jsonString(codeTableName(screen.codeTable())) + R"(,"nationalSet":)" +
           jsonString(nationalSetName(screen.nationalSet(), Language::English)) + R"(,"mode":)" +
           jsonString(writeModeKey(screen.mode())) + R"(,"running":[)" + running + R"(],"state":)" +
           jsonString(facts.state) + R"(,"line":{"display":)" + jsonString(facts.line.display) +
           R"(,"sender":)" + orNull(facts.line.sender) + R"(,"mismatch":)" +
           boolean(facts.line.sender && *facts.line.sender != facts.line.display) +
           R"(,"framingErrors":)" + std::to_string(facts.line.framingErrors) +
           R"(,"parityErrors":)" + std::to_string(facts.line.parityErrors) +
           R"(,"answersDropped":)" + std::to_string(facts.line.answersDropped) +
           R"(,"description":)" + jsonString(facts.line.description) + "}}";
}

std::string commandEvent(std::string_view source, std::string_view bytes, std::string_view name) {
    return R"({"event":"command","source":)" + jsonString(source) + R"(,"bytes":)" +
           jsonString(bytes) + R"(,"name":)" + jsonString(name) + "}";
}

std::string commandsDroppedEvent(long long count) {
    return R"({"event":"commands-dropped","count":)" + std::to_string(count) + "}";
}

} // namespace kd::sim
