#include "model/print_mode.h"

#include "model/display_model.h"
#include "model/recording.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ostream>
#include <vector>

namespace kd::sim {
namespace {

constexpr std::size_t kChunk = 64 * 1024;
// A recording's arrival is one line; a line longer than this is no recording of ours, and keeping
// it would let one endless line take all memory.
constexpr std::size_t kLongestRecordingLine = 16 * 1024 * 1024;

// The input as it is read: plain bytes go to the display at once, a recording line by line.
class PrintFeed {
  public:
    explicit PrintFeed(DisplayModel &model) : m_model(model) {}

    // An empty text, or why the input is not a readable recording.
    std::string take(std::string_view bytes) {
        switch (m_kind) {
        case Kind::Undecided:
            m_pending.append(bytes);
            if (m_pending.size() < kRecordingHeader.size() &&
                kRecordingHeader.substr(0, m_pending.size()) == m_pending)
                return {};
            return decide();
        case Kind::Plain: feed(bytes); return {};
        case Kind::Recording: m_pending.append(bytes); return takeLines(false);
        }
        return {};
    }

    std::string finish() {
        if (m_kind == Kind::Undecided) {
            if (std::string error = decide(); !error.empty())
                return error;
        }
        return m_kind == Kind::Recording ? takeLines(true) : std::string();
    }

  private:
    enum class Kind { Undecided, Plain, Recording };

    std::string decide() {
        std::string pending;
        pending.swap(m_pending);
        if (pending.compare(0, kRecordingHeader.size(), kRecordingHeader) == 0 &&
            pending.size() >= kRecordingHeader.size()) {
            m_kind = Kind::Recording;
            m_pending = std::move(pending);
            return takeLines(false);
        }
        m_kind = Kind::Plain;
        feed(pending);
        return {};
    }

    std::string takeLines(bool atEnd) {
        std::size_t start = 0;
        for (std::size_t end; (end = m_pending.find('\n', start)) != std::string::npos;
             start = end + 1) {
            if (std::string error =
                    takeLine(std::string_view(m_pending).substr(start, end - start));
                !error.empty())
                return error;
        }
        m_pending.erase(0, start);
        if (atEnd && !m_pending.empty())
            return takeLine(m_pending);
        if (m_pending.size() > kLongestRecordingLine)
            return "Zeile " + std::to_string(m_line + 1) + " der Aufzeichnung ist länger als " +
                   std::to_string(kLongestRecordingLine / (1024 * 1024)) + " MiB";
        return {};
    }

    std::string takeLine(std::string_view line) {
        ++m_line;
        if (line.empty() || line.front() == '#')
            return {};
        const std::optional<Arrival> arrival = parseRecordingLine(line);
        if (!arrival)
            return malformedRecordingLine(m_line);
        feed(arrival->bytes);
        return {};
    }

    // The log is not printed; it is taken after every piece so that it does not grow.
    void feed(std::string_view bytes) {
        m_model.feed(bytes);
        m_model.takeLog();
    }

    DisplayModel &m_model;
    Kind m_kind = Kind::Undecided;
    std::string m_pending;
    int m_line = 0;
};

} // namespace

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
                std::ostream &err, Screen *lastScreen) {
    const std::string name = file.empty() ? "Standardeingabe" : "Datei " + file;
    const auto refuse = [&](const std::string &reason) {
        err << "kundendisplay-sim: " << name << " lässt sich nicht lesen: " << reason << '\n';
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

    DisplayModel model(emulation);
    PrintFeed feed(model);
    std::vector<char> buffer(kChunk);
    for (;;) {
        const ssize_t count = ::read(fd, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return refuse(std::strerror(errno));
        if (count == 0)
            break;
        if (std::string error = feed.take({buffer.data(), static_cast<std::size_t>(count)});
            !error.empty())
            return refuse(error);
    }
    if (std::string error = feed.finish(); !error.empty())
        return refuse(error);
    out << utf8(model.line(0)) << '\n' << utf8(model.line(1)) << '\n' << model.stateLine() << '\n';
    if (lastScreen)
        *lastScreen = model.screen();
    return 0;
}

} // namespace kd::sim
