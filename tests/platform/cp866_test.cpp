// The program's code page: literals, the conversions at the edges and the cell glyphs.
#include "platform/cp866.h"

#include <gtest/gtest.h>

namespace zarvo {
namespace {

// Catches a literal converted to the wrong bytes.
TEST(Cp866, LiteralsBecomeCp866Bytes) {
    static_assert("АЯаяпрёЁ"_oem == "\x80\x9F\xA0\xEF\xAF\xE0\xF1\xF0");
    EXPECT_EQ("Запись"_oem.size(), 6u) << "one byte per letter";
    EXPECT_EQ("abc"_oem, "abc") << "ASCII stays";
}

// Catches a byte that does not survive the trip to UTF-8 and back.
TEST(Cp866, EveryByteRoundTrips) {
    for (int b = 1; b < 256; ++b) {
        std::string one(1, char(b));
        EXPECT_EQ(Utf8ToCp866(Cp866ToUtf8(one)), one) << "byte " << b << " round trip";
    }
}

// Catches wrong handling of characters CP866 lacks and of broken UTF-8.
TEST(Cp866, MissingAndMalformedInput) {
    EXPECT_EQ(Utf8ToCp866("a€b"), "a?b") << "a missing character becomes ?";
    EXPECT_EQ(Utf8ToCp866("a€b", 0), "ab") << "or is dropped when asked";
    EXPECT_EQ(Utf8ToCp866("a\xD0"), "a?") << "a cut sequence at the end is one bad character";
    EXPECT_EQ(Utf8ToCp866("\xFF"
                          "a"),
              "?a")
        << "an invalid lead byte is one bad character";
    EXPECT_EQ(UnicodeToCp866(U'日'), -1) << "no CP866 byte for this character";
    EXPECT_EQ(UnicodeToCp866(U'№'), 0xFC) << "number sign";
}

// Catches control codes drawn as control codes, or text conversion turned into glyphs.
TEST(Cp866, GlyphsAndTextDiffer) {
    EXPECT_EQ(Cp866ToGlyph(0x01), U'☺') << "cell glyph of 1";
    EXPECT_EQ(Cp866ToGlyph(0x7F), U'⌂') << "cell glyph of 127";
    EXPECT_EQ(Cp866ToGlyph(0xB3), U'│') << "box drawing";
    EXPECT_EQ(Cp866ToUtf8("\r\n"), "\r\n") << "text keeps its control codes";
}

} // namespace
} // namespace zarvo
