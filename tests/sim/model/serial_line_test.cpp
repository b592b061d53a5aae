#include "encoding/hex.h"
#include "model/serial_line.h"

#include <gtest/gtest.h>

#include <string>

namespace kd::sim {
namespace {

LineSettings line(std::string_view text) {
    return *parseLineSettings(text).settings;
}

// Each row worked out by hand, bit by bit: the sender's frame written out at its speed, sampled in
// the middle of each of the display's bits from the falling edge of a start bit.
TEST(SerialLine, DisplayReadsWhatItsReceiverSamples) {
    const struct {
        const char *sender;
        const char *display;
        std::string sent;
        const char *received; // hex
        std::uint64_t framing;
        std::uint64_t parity;
    } rows[] = {
        // Alike: every byte as sent.
        {"9600,N,8,1", "9600,N,8,1", "Hallo", "48 61 6C 6C 6F", 0, 0},
        // A second stop bit is only a longer idle line; a display that wants two reads the first.
        {"9600,N,8,2", "9600,N,8,1", "Hallo", "48 61 6C 6C 6F", 0, 0},
        {"9600,N,8,1", "9600,N,8,2", "Hallo", "48 61 6C 6C 6F", 0, 0},
        // 7E1 into 8N1: the parity bit arrives as bit 7 ('C' has three ones, so it is set).
        {"9600,E,7,1", "9600,N,8,1", "AC", "41 C3", 0, 0},
        // 8N1 into 7E1: bit 7 is read as parity. 'A' passes, 'C' fails its parity and is dropped,
        // and an 'ä' (E4) loses bit 7 and arrives as 'd'.
        {"9600,N,8,1", "9600,E,7,1", "AC\xE4", "41 64", 0, 1},
        // Twice the display's speed: the start bit's middle is the sender's first data bit, a one,
        // so the receiver starts at the next falling edge and reads mostly idle line: FE.
        {"19200,N,8,1", "9600,N,8,1", "A", "FE", 0, 0},
        // Half the display's speed: the first character ends in the middle of a data bit (a
        // framing error, dropped), the next starts at the sender's last data bit and reads FE.
        {"4800,N,8,1", "9600,N,8,1", "A", "FE", 1, 0},
        // Odd parity against even: every character fails.
        {"9600,O,8,1", "9600,E,8,1", "AB", "", 0, 2},
    };
    for (const auto &row : rows) {
        const ReceivedBytes got = receiveOverLine(row.sent, line(row.sender), line(row.display));
        const std::string where = std::string(row.sender) + " into " + row.display;
        EXPECT_EQ(hexBytes(got.bytes), row.received) << where;
        EXPECT_EQ(got.framingErrors, row.framing) << where;
        EXPECT_EQ(got.parityErrors, row.parity) << where;
    }
}

TEST(SerialLine, SameBytesAlwaysGiveTheSameResult) {
    std::string sent;
    for (int i = 0; i < 256; ++i)
        sent.push_back(static_cast<char>(i));
    for (const char *sender : {"19200,N,8,1", "4800,E,7,2", "2400,N,8,1", "115200,O,8,1"}) {
        const ReceivedBytes first = receiveOverLine(sent, line(sender), line("9600,N,8,1"));
        const ReceivedBytes again = receiveOverLine(sent, line(sender), line("9600,N,8,1"));
        EXPECT_EQ(first.bytes, again.bytes) << sender;
        EXPECT_EQ(first.framingErrors, again.framingErrors) << sender;
        // A mismatch never passes the text through as it was sent.
        EXPECT_NE(first.bytes, sent) << sender;
    }
}

} // namespace
} // namespace kd::sim
