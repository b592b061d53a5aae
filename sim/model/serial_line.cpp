#include "model/serial_line.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace kd::sim {
namespace {

// Time is counted in ticks of 1 / (2 * sender baud * display baud) seconds, so that a sender bit
// (2 * display baud ticks), a display bit (2 * sender baud ticks) and half a display bit are all
// whole numbers and the sampling is exact.
using Ticks = std::int64_t;

// The line level from a time on; the line is high (idle) before the first and after the last.
struct Level {
    Ticks from;
    bool high;
};

bool parityBit(Parity parity, unsigned value) {
    const bool odd = std::popcount(value) % 2 != 0;
    switch (parity) {
    case Parity::Even: return odd;
    case Parity::Odd: return !odd;
    case Parity::Mark: return true;
    case Parity::Space:
    case Parity::None: break;
    }
    return false;
}

Ticks stopTicks(StopBits stop, Ticks halfBit) {
    switch (stop) {
    case StopBits::OneAndHalf: return 3 * halfBit;
    case StopBits::Two: return 4 * halfBit;
    case StopBits::One: break;
    }
    return 2 * halfBit;
}

// The sender's bit stream as the levels it changes to, merged so that levels alternate.
std::vector<Level> wire(std::string_view sent, const LineSettings &sender, Ticks bit) {
    std::vector<Level> levels;
    Ticks now = 0;
    const auto put = [&](bool high, Ticks length) {
        if (levels.empty() ? !high : levels.back().high != high)
            levels.push_back({now, high});
        now += length;
    };
    for (const char c : sent) {
        const unsigned value = static_cast<unsigned char>(c) & ((1u << sender.dataBits) - 1);
        put(false, bit);
        for (int i = 0; i < sender.dataBits; ++i)
            put(((value >> i) & 1u) != 0, bit);
        if (sender.parity != Parity::None)
            put(parityBit(sender.parity, value), bit);
        put(true, stopTicks(sender.stopBits, bit / 2));
    }
    return levels;
}

bool highAt(const std::vector<Level> &levels, Ticks time) {
    const auto after = std::upper_bound(levels.begin(), levels.end(), time,
                                        [](Ticks t, const Level &level) { return t < level.from; });
    return after == levels.begin() || std::prev(after)->high;
}

} // namespace

LineSettings usualLine(Emulation emulation) {
    switch (emulation) {
    case Emulation::Ba63:
        // 9600 baud with odd parity, as the BA63/BA66 ship (a jumper turns parity off).
        return LineSettings{9600, Parity::Odd, 8, StopBits::One};
    case Emulation::Dsp800:
        // The DSP-800 set's displays leave the factory at 19200 8N1.
        return LineSettings{19200, Parity::None, 8, StopBits::One};
    default:
        // 9600 baud, 8 data bits, no parity, 1 stop bit: what the other sets ship with.
        return LineSettings{};
    }
}

ReceivedBytes receiveOverLine(std::string_view sent, const LineSettings &sender,
                              const LineSettings &display) {
    ReceivedBytes received;
    if (sender == display) {
        received.bytes.assign(sent);
        return received;
    }
    const Ticks senderBit = 2 * static_cast<Ticks>(display.baudRate);
    const Ticks displayBit = 2 * static_cast<Ticks>(sender.baudRate);
    const std::vector<Level> levels = wire(sent, sender, senderBit);

    Ticks hunt = 0;
    auto next = levels.begin();
    while (true) {
        // A character starts at a falling edge: the next low level from the time the receiver
        // began to look for one.
        next = std::find_if(next, levels.end(), [hunt](const Level &level) {
            return !level.high && level.from >= hunt;
        });
        if (next == levels.end())
            break;
        const Ticks start = next->from;
        Ticks sample = start + displayBit / 2;
        if (highAt(levels, sample)) { // a glitch, not a start bit
            hunt = sample;
            continue;
        }
        unsigned value = 0;
        for (int i = 0; i < display.dataBits; ++i) {
            sample += displayBit;
            if (highAt(levels, sample))
                value |= 1u << i;
        }
        bool parityOk = true;
        if (display.parity != Parity::None) {
            sample += displayBit;
            parityOk = highAt(levels, sample) == parityBit(display.parity, value);
        }
        sample += displayBit;
        const bool framingOk = highAt(levels, sample);
        if (!framingOk)
            ++received.framingErrors;
        else if (!parityOk)
            ++received.parityErrors;
        else
            received.bytes.push_back(static_cast<char>(value));
        // The receiver looks for the next start bit from the middle of the stop bit on.
        hunt = sample;
    }
    return received;
}

} // namespace kd::sim
