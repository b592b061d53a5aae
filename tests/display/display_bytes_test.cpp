#include "core/error.h"
#include "display/display_bytes.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

TEST(DisplayBytes, CharacterWithoutByteIsAnOverflowNamingIt) {
    for (char16_t character : {u'\x0100', u'\x0080', u'\x2028', u'\xFFFD'}) {
        try {
            toWindows1252(character);
            FAIL() << "no error for " << int(character);
        } catch (const RuntimeError &error) {
            EXPECT_EQ(error.error().number, err::kOverflow);
            EXPECT_NE(error.error().description.find("U+"), std::string::npos);
        }
    }
}

TEST(DisplayBytes, TextEncodesInOrderOrFailsWhole) {
    EXPECT_EQ(toWindows1252(u"Grüße\r\n"), std::string("Gr\xFC\xDF"
                                                       "e\r\n"));
    EXPECT_EQ(toWindows1252(u""), "");
    EXPECT_THROW(toWindows1252(u"ok \x4E2D"), RuntimeError);
}

} // namespace
} // namespace kd
