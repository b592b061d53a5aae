#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kd {

// How a serial line frames its bytes, as written in the text "9600,N,8,1". Shared by the tool (its
// Settings box) and the virtual display (its own line and the sender's), so it knows nothing of
// either: no errors, no Qt, no language.

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct LineSettings {
    int baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    bool operator==(const LineSettings &) const = default;
};

// Which field of a settings text is wrong, so that each program can word the refusal in its own
// language.
struct LineSettingsFault {
    enum Field { FieldCount, BaudRate, Parity, DataBits, StopBits };
    Field field = FieldCount;
    // The offending field as written, or, for FieldCount, the number of fields found.
    std::string text;
};

// A standard baud rate from 110 to 230400, parity N/E/O/M/S in either case, 5 to 8 data bits, stop
// bits 1, 1.5 or 2; or which field is not.
struct ParsedLineSettings {
    std::optional<LineSettings> settings;
    LineSettingsFault fault;
};
ParsedLineSettings parseLineSettings(std::string_view text);

// "9600,N,8,1".
std::string formatLineSettings(const LineSettings &settings);
// "9600 8N1": the short form a technician reads off a label.
std::string shortLineSettings(const LineSettings &settings);

} // namespace kd
