#pragma once

#include "model/messages.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kd::sim {

// What the virtual display received, as --record writes it: a header line, then one line an
// arrival, "<milliseconds since the start> <source> <bytes in hex>". --print reads it back (and
// also plain bytes), --replay plays it at its pace.
inline constexpr std::string_view kRecordingHeader = "# kundendisplay-sim Aufzeichnung 1";

struct Arrival {
    std::int64_t atMs = 0;
    std::string source;
    std::string bytes;
};

// The latest time a recording may give an arrival: about 24 days, the longest a timer waits.
inline constexpr std::int64_t kLatestArrivalMs = 2147483647;
// The most bytes one line of a recording holds; a longer arrival is written as several lines of
// the same time, so that a reader needs no more than a line's worth of memory.
inline constexpr std::size_t kMostBytesPerLine = 64 * 1024;

// One line of a recording, with its line end.
std::string recordLine(const Arrival &arrival);

// Reads a recording as it goes, so that its length costs no memory. A text that does not start
// with the header is raw bytes, handed out in pieces at time 0 from the source "Datei".
class RecordingReader {
  public:
    // Fills the buffer with up to size bytes: how many, 0 at the end, or -1 on a read error (then
    // errno says why).
    using Read = std::function<std::ptrdiff_t(char *buffer, std::size_t size)>;

    // Errors are worded in the given language.
    explicit RecordingReader(Read read, Language language = Language::English);

    // The next arrival; nothing at the end or on an error, which error() then names with the
    // number of its line.
    std::optional<Arrival> next();
    const std::string &error() const { return m_error; }
    // The system's reason when the error was one of reading (errno), or 0 when the text was
    // malformed.
    int readError() const { return m_readError; }

  private:
    // Reads more; false at the end or on an error.
    bool fill();
    std::optional<Arrival> nextRaw();
    std::optional<Arrival> fail(const std::string &error);

    Read m_read;
    Language m_language;
    std::string m_buffer;
    std::size_t m_position = 0;
    bool m_atEnd = false;
    bool m_started = false;
    bool m_raw = false;
    int m_lineNumber = 0;
    std::string m_error;
    int m_readError = 0;
};

// The arrivals of a recording in memory; a text that does not start with the header is raw bytes.
// A malformed line gives an error naming its number.
struct ReadRecording {
    std::vector<Arrival> arrivals;
    std::string error;
};
ReadRecording readRecording(std::string_view content, Language language = Language::English);

} // namespace kd::sim
