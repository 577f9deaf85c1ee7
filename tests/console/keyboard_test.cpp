// Keyboard routines: Alt and Ctrl codes, the layout tables and the CP866 upper case.
#include "console/keyboard.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "platform/cp866.h"

namespace zarvo {
namespace {

char Oem(std::string_view text) {
    return text[0];
}

// Catches a wrong entry in the Latin-to-Cyrillic table or a broken round trip through it.
TEST(KeyboardTest, LayoutTablesMapEveryLetterBothWays) {
    constexpr std::string_view cyrillic = "ФИСВУАПРШОЛДЬТЩЗЙКЫЕГМЦЧНЯ"_oem;
    for (char latin = 'A'; latin <= 'Z'; ++latin) {
        char expected = cyrillic[std::size_t(latin - 'A')];
        EXPECT_EQ(LatinKeyToCyrillic(latin), expected) << "Latin " << latin;
        EXPECT_EQ(CyrillicKeyToLatin(expected), latin) << "back to Latin " << latin;
    }
    EXPECT_EQ(LatinKeyToCyrillic('a'), 'a') << "lower case is not a key";
    EXPECT_EQ(LatinKeyToCyrillic('1'), '1');
}

// Catches the Cyrillic letters that sit on punctuation keys being mapped wrongly.
TEST(KeyboardTest, CyrillicOnPunctuationKeys) {
    struct tCase {
        std::string_view cyrillic;
        char latin;
    };
    const tCase cases[] = {{"Б"_oem, ','}, {"Ж"_oem, ';'}, {"Х"_oem, '['},
                           {"Ъ"_oem, ']'}, {"Э"_oem, '"'}, {"Ю"_oem, '.'}};
    for (const tCase& c : cases)
        EXPECT_EQ(CyrillicKeyToLatin(Oem(c.cyrillic)), c.latin) << "expected " << c.latin;
    EXPECT_EQ(CyrillicKeyToLatin(Oem("ж"_oem)), Oem("ж"_oem)) << "lower case stays";
}

// Catches an upper-case rule that misses a CP866 range or touches other bytes.
TEST(KeyboardTest, UpCase866Ranges) {
    EXPECT_EQ(UpCase866('q'), 'Q');
    EXPECT_EQ(UpCase866(Oem("а"_oem)), Oem("А"_oem));
    EXPECT_EQ(UpCase866(Oem("п"_oem)), Oem("П"_oem));
    EXPECT_EQ(UpCase866(Oem("р"_oem)), Oem("Р"_oem));
    EXPECT_EQ(UpCase866(Oem("я"_oem)), Oem("Я"_oem));
    EXPECT_EQ(UpCase866(Oem("ё"_oem)), Oem("Ё"_oem));
    EXPECT_EQ(UpCase866(Oem("░"_oem)), Oem("░"_oem)) << "box drawing between the ranges";
    EXPECT_EQ(UpCase866('1'), '1');
}

// Catches hot letters that answer only in one layout, or the scan-code strings misaligned.
TEST(KeyboardTest, AltCodesOfLettersAndDigits) {
    EXPECT_EQ(CharToAltCode('q'), kKeyAltQ);
    EXPECT_EQ(CharToAltCode(Oem("й"_oem)), kKeyAltQ);
    EXPECT_EQ(AltCodeToChar(kKeyAltQ), Oem("Й"_oem));
    EXPECT_EQ(CharToAltCode(Oem("Ф"_oem)), kKeyAltA) << "Ф is on the A key";
    EXPECT_EQ(CharToAltCode('M'), kKeyAltM);
    EXPECT_EQ(AltCodeToChar(kKeyAlt1), '1');
    EXPECT_EQ(AltCodeToChar(kKeyAltEqual), '=');
    EXPECT_EQ(CharToAltCode('0'), kKeyAlt0);
    EXPECT_EQ(CharToAltCode('-'), kKeyAltMinus);
    EXPECT_EQ(AltCodeToChar(0x0200), char(0xF0));
    EXPECT_EQ(CharToAltCode(Oem("ё"_oem)), 0x0200);
}

// Catches codes outside the tables producing a hot key instead of 0.
TEST(KeyboardTest, AltCodesOutsideTheTablesAreZero) {
    EXPECT_EQ(AltCodeToChar(0x1E41), 0) << "low byte not 0";
    EXPECT_EQ(AltCodeToChar(0x1A00), 0) << "a gap of the scan-code string";
    EXPECT_EQ(AltCodeToChar(0x3300), 0) << "past the letters";
    EXPECT_EQ(AltCodeToChar(kKeyCtrlPgUp), 0);
    EXPECT_EQ(CharToAltCode(Oem("Ж"_oem)), 0) << "the ; key has no Alt code";
    EXPECT_EQ(CharToAltCode(0), 0);
    EXPECT_EQ(CharToAltCode(' '), 0) << "a blank must not match a gap of the table";
}

// Catches a wrong Ctrl code for letters typed in either layout.
TEST(KeyboardTest, CtrlCodes) {
    EXPECT_EQ(CharToCtrlCode('a'), kKeyCtrlA);
    EXPECT_EQ(CharToCtrlCode(Oem("ф"_oem)), kKeyCtrlA);
    EXPECT_EQ(CharToCtrlCode('Z'), kKeyCtrlZ);
    EXPECT_EQ(CtrlCodeToChar(kKeyCtrlA), 'A');
    EXPECT_EQ(CtrlCodeToChar(0x001A), 'Z');
    EXPECT_EQ(CtrlCodeToChar(0x001B), 0);
    EXPECT_EQ(CtrlCodeToChar(0x0000), 0);
}

// Catches a wrong row of the Ctrl-to-cursor table.
TEST(KeyboardTest, CtrlKeyToCursorKeyTable) {
    struct tCase {
        std::uint16_t in, out;
    };
    const tCase cases[] = {
        {kKeyCtrlS, kKeyLeft}, {kKeyCtrlD, kKeyRight},         {kKeyCtrlE, kKeyUp},
        {kKeyCtrlX, kKeyDown}, {kKeyCtrlA, kKeyHome},          {kKeyCtrlF, kKeyEnd},
        {kKeyCtrlG, kKeyDel},  {kKeyCtrlV, kKeyIns},           {kKeyCtrlR, kKeyPgUp},
        {kKeyCtrlC, kKeyPgDn}, {kKeyBackspace, kKeyBackspace}, {0x1E41, 0x1E41},
        {kKeyLeft, kKeyLeft}};
    for (const tCase& c : cases)
        EXPECT_EQ(CtrlKeyToCursorKey(c.in), c.out) << std::hex << "for " << c.in;
}

} // namespace
} // namespace zarvo
