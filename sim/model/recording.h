#pragma once

#include <cstdint>
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

std::string recordLine(const Arrival &arrival);

// The arrivals of a recording; a text that does not start with the header is one arrival of raw
// bytes. A malformed line gives an error naming its number.
struct ReadRecording {
    std::vector<Arrival> arrivals;
    std::string error;
};
ReadRecording readRecording(std::string_view content);

// One arrival line of a recording (not the header, not a comment), or nothing when it is malformed.
std::optional<Arrival> parseRecordingLine(std::string_view line);
// The error for a malformed line, by its number from 1.
std::string malformedRecordingLine(int number);

} // namespace kd::sim
