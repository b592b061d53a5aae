#include "encoding/hex.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

TEST(HexBytes, UpperCasePairsSeparatedBySpaces) {
    EXPECT_EQ(hexBytes(""), "");
    EXPECT_EQ(hexBytes("\f"), "0C");
    EXPECT_EQ(hexBytes(std::string("\x00\x7F\x80\xFF", 4)), "00 7F 80 FF");
    EXPECT_EQ(hexBytes("Ab\r\n"), "41 62 0D 0A");
}

} // namespace
} // namespace kd
