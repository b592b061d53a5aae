#include "encoding/windows1252.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

TEST(Windows1252, EncodesEveryCharacterAsItsCodePageByte) {
    const struct {
        char16_t character;
        std::uint8_t byte;
    } cases[] = {
        {u'A', 0x41}, {u'\f', 0x0C}, {u'\x7F', 0x7F}, {u'€', 0x80}, {u'\x81', 0x81},
        {u'‚', 0x82}, {u'Ÿ', 0x9F},  {u'\xA0', 0xA0}, {u'ä', 0xE4}, {u'ß', 0xDF},
        {u'ÿ', 0xFF}, {u'Š', 0x8A},  {u'™', 0x99},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(windows1252Byte(c.character), c.byte) << int(c.character);
        EXPECT_EQ(fromWindows1252(c.byte), c.character) << int(c.byte);
    }
}

TEST(Windows1252, EveryByteRoundTrips) {
    for (int byte = 0; byte < 256; ++byte)
        EXPECT_EQ(windows1252Byte(fromWindows1252(static_cast<std::uint8_t>(byte))), byte);
}

TEST(Windows1252, CharacterWithoutByteHasNone) {
    for (char16_t character : {u'\x0100', u'\x0080', u'\x2028', u'\xFFFD'})
        EXPECT_EQ(windows1252Byte(character), std::nullopt) << int(character);
    EXPECT_EQ(characterCode(u'\x20AC'), "U+20AC");
}

} // namespace
} // namespace kd
