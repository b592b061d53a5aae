#include "core/error.h"
#include "display/serial_settings.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

TEST(SerialSettings, AcceptsEveryFieldForm) {
    const struct {
        const char *text;
        LineSettings expected;
    } cases[] = {
        {"9600,N,8,1", {9600, Parity::None, 8, StopBits::One}},
        {"19200,e,7,2", {19200, Parity::Even, 7, StopBits::Two}},
        {"110,O,5,1.5", {110, Parity::Odd, 5, StopBits::OneAndHalf}},
        {"115200,m,6,1", {115200, Parity::Mark, 6, StopBits::One}},
        {"2400,S,8,2", {2400, Parity::Space, 8, StopBits::Two}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(parseSettings(c.text), c.expected) << c.text;
        EXPECT_EQ(parseSettings(formatSettings(c.expected)), c.expected) << c.text;
    }
    EXPECT_EQ(formatSettings(parseSettings("9600,n,8,1")), "9600,N,8,1");
}

TEST(SerialSettings, RefusalNamesTheBadField) {
    const struct {
        const char *text;
        const char *named;
    } cases[] = {
        {"", "4 Felder"},
        {"9600,N,8", "4 Felder"},
        {"9600,N,8,1,", "4 Felder"},
        {"9601,N,8,1", "Baudrate \"9601\""},
        {"fast,N,8,1", "Baudrate \"fast\""},
        {"-9600,N,8,1", "Baudrate"},
        {"99999999999,N,8,1", "Baudrate"},
        {"9600,X,8,1", "Parität \"X\""},
        {"9600,NN,8,1", "Parität \"NN\""},
        {"9600,,8,1", "Parität \"\""},
        {"9600,N,9,1", "Datenbits \"9\""},
        {"9600,N,4,1", "Datenbits \"4\""},
        {"9600,N,8,3", "Stoppbits \"3\""},
        {"9600,N,8,1.0", "Stoppbits \"1.0\""},
        {"9600, N,8,1", "Parität \" N\""},
    };
    for (const auto &c : cases) {
        try {
            parseSettings(c.text);
            ADD_FAILURE() << "accepted \"" << c.text << "\"";
        } catch (const RuntimeError &error) {
            EXPECT_EQ(error.error().number, err::kInvalidPropertyValue) << c.text;
            EXPECT_NE(error.error().description.find(c.named), std::string::npos)
                << c.text << ": " << error.error().description;
        }
    }
}

} // namespace
} // namespace kd
