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

} // namespace

int printScreen(Emulation emulation, const std::string &file, std::istream &standardInput,
                std::ostream &out, std::ostream &err) {
    std::string content;
    if (file.empty()) {
        content.assign(std::istreambuf_iterator<char>(standardInput), {});
    } else {
        std::ifstream input(file, std::ios::binary);
        if (!input) {
            err << "kundendisplay-sim: Datei " << file
                << " lässt sich nicht lesen: " << std::strerror(errno) << '\n';
            return 1;
        }
        content.assign(std::istreambuf_iterator<char>(input), {});
        if (input.bad()) {
            err << "kundendisplay-sim: Datei " << file << " lässt sich nicht lesen\n";
            return 1;
        }
    }
    const ReadRecording recording = readRecording(content);
    if (!recording.error.empty()) {
        err << "kundendisplay-sim: " << (file.empty() ? "Standardeingabe" : file) << ": "
            << recording.error << '\n';
        return 1;
    }
    DisplayModel model(emulation);
    for (const Arrival &arrival : recording.arrivals)
        model.feed(arrival.bytes);
    out << utf8(model.line(0)) << '\n' << utf8(model.line(1)) << '\n' << model.stateLine() << '\n';
    return 0;
}

} // namespace kd::sim
