// Score text's code page and the UTF-8 that scripts bring.
#include <gtest/gtest.h>

#include "core/TextUtil.h"

namespace sw {
namespace {

// Typed text reaches a score as Windows-1252 bytes; scripts bring UTF-8.
TEST(ScoreText, CodePageAndUtf8) {
    EXPECT_EQ(Cp1252Byte(U'\u00E9'), uint8_t{0xE9});
    EXPECT_EQ(Cp1252Byte(U'\u20AC'), uint8_t{0x80});
    EXPECT_EQ(Cp1252Byte(U'\u0153'), uint8_t{0x9C});
    EXPECT_FALSE(Cp1252Byte(U'\u4E2D'));
    EXPECT_FALSE(Cp1252Byte(U'\u0100'));
    EXPECT_EQ(Cp1252Char(0x9C), U'\u0153');
    EXPECT_EQ(DecodeUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5"),
              (std::vector<char32_t>{U'a', U'\u00E9', U'\u20AC', U'\U0001F3B5'}));
    // Cut short, overlong and surrogate forms are no characters; what follows still is.
    EXPECT_EQ(DecodeUtf8("\xE2\x82"), (std::vector<char32_t>{0xFFFD, 0xFFFD}));
    EXPECT_EQ(DecodeUtf8("\xC0\xAFx"), (std::vector<char32_t>{0xFFFD, 0xFFFD, U'x'}));
    EXPECT_EQ(DecodeUtf8("\xED\xA0\x80").front(), char32_t{0xFFFD});
    EXPECT_EQ(Utf8Of(U'\u20AC'), "\xE2\x82\xAC");
    EXPECT_EQ(Utf8Of(U'\U0001F3B5'), "\xF0\x9F\x8E\xB5");
}

}  // namespace
}  // namespace sw
