// Short strings, the CP866 case rule and the text helpers.
#include "library/strings.h"

#include <gtest/gtest.h>

#include "platform/cp866.h"

namespace zarvo {
namespace {

// Catches a case map that misses a Cyrillic block, ё, or touches other bytes.
TEST(CaseMapping, UpperAndLowerCaseFollowTheCp866Rule) {
    struct tCase {
        std::string_view Lower, Upper;
    };
    const tCase cases[] = {
        {"abcxyz", "ABCXYZ"},
        {"абвгдежзийклмноп"_oem, "АБВГДЕЖЗИЙКЛМНОП"_oem},
        {"рстуфхцчшщъыьэюя"_oem, "РСТУФХЦЧШЩЪЫЬЭЮЯ"_oem},
        {"ё"_oem, "Ё"_oem},
    };
    for (const tCase& c : cases) {
        EXPECT_EQ(UpperCase(c.Lower), c.Upper) << "upper case of " << Cp866ToUtf8(c.Lower);
        EXPECT_EQ(LowerCase(c.Upper), c.Lower) << "lower case of " << Cp866ToUtf8(c.Upper);
    }
    // Box drawing (B0-DF), Єє and the rest of the high half must stay as they are.
    for (int b = 0; b < 256; ++b) {
        bool letter = (b >= 'a' && b <= 'z') || (b >= 0xA0 && b <= 0xAF) ||
                      (b >= 0xE0 && b <= 0xEF) || b == 0xF1;
        if (!letter) {
            EXPECT_EQ(UpperCaseChar(char(b)), char(b)) << "byte " << b << " must map to itself";
        }
    }
}

// Catches a signed-char comparison (Cyrillic sorting before Latin) or a wrong prefix rule.
TEST(CaseMapping, CompareTextIgnoresCaseAndOrdersByBytes) {
    struct tCase {
        std::string_view A, B;
        int Sign;
    };
    const tCase cases[] = {
        {"Привет"_oem, "пРИВЕТ"_oem, 0},
        {"abc", "ABD", -1},
        {"ab", "abc", -1},
        {"abc", "ab", 1},
        {"z", "а"_oem, -1},
        {"ёлка"_oem, "ЁЛКА"_oem, 0},
        {"", "", 0},
    };
    for (const tCase& c : cases) {
        int result = CompareText(c.A, c.B);
        int sign = (result > 0) - (result < 0);
        EXPECT_EQ(sign, c.Sign) << "CompareText(" << Cp866ToUtf8(c.A) << ", " << Cp866ToUtf8(c.B)
                                << ")";
    }
}

// Catches short strings growing past the one-byte length.
TEST(ShortStrings, NewStrKeepsAtMost255Characters) {
    std::string longText(300, 'x');
    EXPECT_EQ(NewStr(longText).size(), 255u) << "a short string holds at most 255 characters";
    std::string p = NewStr("old");
    ReplaceStr(p, "new");
    EXPECT_EQ(p, "new") << "ReplaceStr gives the new text";
    DisposeStr(p);
    EXPECT_TRUE(p.empty()) << "a disposed string is the empty value";
}

// Catches tildes miscounted in hot-letter texts.
TEST(Tildes, StripAndVisibleLength) {
    EXPECT_EQ(StripTildes("~О~тмена"_oem), "Отмена"_oem) << "tildes removed";
    EXPECT_EQ(VisibleLength("~О~тмена"_oem), 6) << "tildes take no width";
    EXPECT_EQ(VisibleLength(""), 0) << "empty text has no width";
}

// Catches prefix matching that is case-sensitive or does not skip the marks.
TEST(MatchPrefixTest, CountsMatchedCharactersOfA) {
    struct tCase {
        std::string_view A, B;
        int Count;
    };
    const tCase cases[] = {
        {"Открыть"_oem, "от"_oem, 2},
        {"~О~ткрыть"_oem, "От"_oem, 4},
        {"Save As", "saveA", 6},
        {"abc", "abx", 2},
        {"abc", "", 0},
        {"", "abc", 0},
        {"a&b", "ab", 3},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(MatchPrefix(c.A, c.B), c.Count)
            << "MatchPrefix(" << Cp866ToUtf8(c.A) << ", " << Cp866ToUtf8(c.B) << ")";
}

// Catches off-by-one offsets in centring and padding.
TEST(Alignment, CenterAndPad) {
    EXPECT_EQ(CenterText("ab", '*', 7), "**ab***") << "offset (7 - 2) / 2 rounded down";
    EXPECT_EQ(CenterText("abcdefgh", '*', 7), "abcdefgh") << "longer text unchanged";
    EXPECT_EQ(PadLeft("42", ' ', 5), "   42") << "fill in front";
    EXPECT_EQ(PadRight("42", '.', 5), "42...") << "fill after";
    EXPECT_EQ(PadLeft("123456", ' ', 5), "123456") << "longer text unchanged";
    EXPECT_EQ(PadRight("x", ' ', 0), "x") << "width 0 leaves the text";
}

// Catches doubled pairs or lost lone breaks.
TEST(LineBreaks, NormalizeAndStripCentringMarks) {
    struct tCase {
        std::string_view In, Normalized;
    };
    const tCase normal[] = {
        {"a\rb", "a\r\nb"},   {"a\nb", "a\r\nb"},         {"a\r\nb", "a\r\nb"},
        {"\n\r", "\r\n\r\n"}, {"a\r\n\nb", "a\r\n\r\nb"}, {"", ""},
    };
    for (const tCase& c : normal)
        EXPECT_EQ(NormalizeLineBreaks(c.In), c.Normalized) << "normalizing a case of line breaks";

    EXPECT_EQ(StripCentringMarks("\3Title\r\3Centred\r\nplain"), "Title\r\nCentred\r\nplain")
        << "byte 3 after CR becomes LF, others vanish";
}

// Catches a trim that takes other blanks than spaces, stops after one space, or keeps a
// lone run of spaces; and a digit check that passes an empty text, a sign or a letter.
TEST(FieldText, TrimBlanksAndIsDigits) {
    struct tTrim {
        std::string_view In, Out;
    };
    const tTrim trims[] = {{"  12  ", "12"}, {"a b", "a b"}, {"   ", ""},  {"", ""},
                           {"\t1 ", "\t1"},  {" x", "x"},    {"x  ", "x"}, {" a  b ", "a  b"}};
    for (const tTrim& c : trims)
        EXPECT_EQ(TrimBlanks(c.In), c.Out) << "trimming \"" << c.In << "\"";

    struct tDigits {
        std::string_view In;
        bool Digits;
    };
    const tDigits digits[] = {{"0", true},   {"0123456789", true}, {"", false},
                              {"-1", false}, {"+1", false},        {"1 ", false},
                              {"1a", false}, {"/", false},         {":", false}};
    for (const tDigits& c : digits)
        EXPECT_EQ(IsDigits(c.In), c.Digits) << "digits in \"" << c.In << "\"";
}

} // namespace
} // namespace zarvo
