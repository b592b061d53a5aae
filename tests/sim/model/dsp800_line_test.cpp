// The DSP-800's 04 01 42 n p 17 sets the display's own serial line: the case files check its
// answers, this checks the line it asks for.
#include "model/display_model.h"

#include <gtest/gtest.h>

namespace kd::sim {
namespace {

struct LineCase {
    std::string bytes;
    std::optional<LineSettings> line;
};

LineSettings line(int baudRate, Parity parity, int dataBits) {
    return LineSettings{baudRate, parity, dataBits, StopBits::One};
}

TEST(Dsp800Line, TheFrameAsksForTheLineItNamesAfterItsAck) {
    const std::vector<LineCase> cases = {
        {"\x04\x01\x42\x30N\x17", line(19200, Parity::None, 8)},
        {"\x04\x01\x42\x31O\x17", line(9600, Parity::Odd, 7)},
        {"\x04\x01\x42\x32"
         "E\x17",
         line(4800, Parity::Even, 7)},
        {"\x04\x01\x42\x35N\x17", line(600, Parity::None, 8)},
        {"\x04\x01\x42\x36N\x17", line(38400, Parity::None, 8)},
        // Refused: no speed 37, no parity X, a frame cut short.
        {"\x04\x01\x42\x37N\x17", std::nullopt},
        {"\x04\x01\x42\x31X\x17", std::nullopt},
        {"\x04\x01\x42\x31\x17", std::nullopt},
    };
    for (const LineCase &c : cases) {
        DisplayModel model(Emulation::Dsp800);
        model.feed(c.bytes);
        EXPECT_EQ(model.takeLineRequest(), c.line) << hexBytes(c.bytes);
        EXPECT_EQ(model.takeAnswers(), c.line ? "\x06" : "\x15") << hexBytes(c.bytes);
        EXPECT_EQ(model.takeLineRequest(), std::nullopt) << "asked once";
    }
}

TEST(Dsp800Line, OtherSetsNeverAskForALine) {
    for (Emulation set : {Emulation::UtcEnhanced, Emulation::Adm787, Emulation::LogicControls}) {
        DisplayModel model(set);
        model.feed(std::string("\x04\x01\x42\x31O\x17", 6));
        EXPECT_EQ(model.takeLineRequest(), std::nullopt) << emulationName(set);
    }
}

} // namespace
} // namespace kd::sim
