#include "model/print_mode.h"

#include "model/display_model.h"
#include "model/recording.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace kd::sim {
std::string toUtf8(const std::u16string &text) {
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

int printScreen(Emulation emulation, const std::string &file, std::istream &standardInput,
                std::ostream &out, std::ostream &err, Language language) {
    const auto unreadable = [&](const std::string &reason) {
        err << "kundendisplay-sim: " << say(language, Msg::FileUnreadable, {file, reason}) << '\n';
        return 1;
    };
    std::string content;
    if (file.empty()) {
        content.assign(std::istreambuf_iterator<char>(standardInput), {});
    } else {
        std::ifstream input(file, std::ios::binary);
        if (!input)
            return unreadable(std::strerror(errno));
        content.assign(std::istreambuf_iterator<char>(input), {});
        if (input.bad())
            return unreadable(say(language, Msg::ReadFailed));
    }
    const ReadRecording recording = readRecording(content, language);
    if (!recording.error.empty()) {
        err << "kundendisplay-sim: " << (file.empty() ? say(language, Msg::StandardInput) : file)
            << ": " << recording.error << '\n';
        return 1;
    }
    DisplayModel model(emulation);
    model.setLanguage(language);
    for (const Arrival &arrival : recording.arrivals)
        model.feed(arrival.bytes);
    out << toUtf8(model.line(0)) << '\n'
        << toUtf8(model.line(1)) << '\n'
        << model.stateLine() << '\n';
    return 0;
}

} // namespace kd::sim
