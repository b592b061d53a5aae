#include "inputs/terminal_line.h"

#include <gtest/gtest.h>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace kd::sim {
namespace {

// A program sets its line on the terminal it opened; the display reads it from the other end.
TEST(TerminalLine, DisplayReadsTheSendersSettingsFromTheOtherEnd) {
    // Linux's pseudo-terminals keep the speed and the stop bits a program sets; they always report
    // eight data bits and no parity, whatever it set, so those come only through RFC 2217.
    const struct {
        speed_t speed;
        tcflag_t flags;
        const char *expected;
    } rows[] = {
        {B9600, CS8, "9600,N,8,1"},
        {B19200, CS8, "19200,N,8,1"},
        {B4800, CS8, "4800,N,8,1"},
        {B2400, CS8 | CSTOPB, "2400,N,8,2"},
        {B115200, CS8, "115200,N,8,1"},
        {B110, CS8 | CSTOPB, "110,N,8,2"},
    };
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    for (const auto &row : rows) {
        termios attributes{};
        ASSERT_EQ(::tcgetattr(slave, &attributes), 0);
        ::cfmakeraw(&attributes);
        attributes.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
        attributes.c_cflag |= row.flags;
        ::cfsetspeed(&attributes, row.speed);
        ASSERT_EQ(::tcsetattr(slave, TCSANOW, &attributes), 0);
        const auto line = terminalLine(master);
        ASSERT_TRUE(line.has_value()) << row.expected;
        EXPECT_EQ(formatLineSettings(*line), row.expected);
    }
    // The display gives its terminal its own line, for programs that never set one.
    ASSERT_TRUE(setTerminalLine(master, *parseLineSettings("19200,N,8,2").settings));
    EXPECT_EQ(formatLineSettings(*terminalLine(slave)), "19200,N,8,2");
    ::close(slave);
    ::close(master);
    EXPECT_FALSE(terminalLine(-1).has_value());
}

} // namespace
} // namespace kd::sim
