#include "model/print_mode.h"

#include "model/display_model.h"
#include "model/recording.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ostream>

namespace kd::sim {

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

int printScreen(Emulation emulation, const std::string &file, int standardInput, std::ostream &out,
                std::ostream &err, Screen *lastScreen, Language language,
                const SetOptions &options) {
    const auto refuse = [&](const std::string &reason) {
        err << "kundendisplay-sim: "
            << (file.empty() ? say(language, Msg::StandardInputUnreadable, {reason})
                             : say(language, Msg::FileUnreadable, {file, reason}))
            << '\n';
        return 1;
    };
    const int fd = file.empty() ? standardInput : ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return refuse(std::strerror(errno));
    struct Closer {
        int fd;
        bool own;
        ~Closer() {
            if (own)
                ::close(fd);
        }
    } closer{fd, !file.empty()};

    // The input is fed as it is read, a recording line by line, so that its length costs no
    // memory; the log is taken after every piece so that it does not grow either.
    DisplayModel model(emulation);
    model.setOptions(options);
    model.setLanguage(language);
    RecordingReader reader(
        [fd](char *buffer, std::size_t size) { return ::read(fd, buffer, size); }, language);
    while (const std::optional<Arrival> arrival = reader.next()) {
        model.feed(arrival->bytes);
        model.takeLog();
    }
    if (reader.readError() != 0)
        return refuse(std::strerror(reader.readError()));
    if (!reader.error().empty()) {
        err << "kundendisplay-sim: " << (file.empty() ? say(language, Msg::StandardInput) : file)
            << ": " << reader.error() << '\n';
        return 1;
    }
    out << utf8(model.line(0)) << '\n' << utf8(model.line(1)) << '\n' << model.stateLine() << '\n';
    if (lastScreen)
        *lastScreen = model.screen();
    return 0;
}

} // namespace kd::sim
