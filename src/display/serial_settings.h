#pragma once

#include <string>
#include <string_view>

namespace kd {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

// Line parameters of the serial port, as written in the settings text "9600,N,8,1".
struct LineSettings {
    int baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    bool operator==(const LineSettings &) const = default;
};

// Parses "baud,parity,data,stop": a standard baud rate, parity N/E/O/M/S in either case, 5 to 8
// data bits, stop bits 1, 1.5 or 2. Anything else raises an invalid-property-value error that
// names the bad field.
LineSettings parseSettings(std::string_view text);

// The settings in their canonical text form, e.g. "9600,N,8,1".
std::string formatSettings(const LineSettings &settings);

} // namespace kd
