// Short CP866 strings and the program's one letter-case rule, plus the small text helpers
// the UI and the reports lean on (tildes, alignment, line breaks).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zarvo {

// A short string holds at most this many CP866 characters (its length is one byte on disk).
inline constexpr std::size_t kMaxShortString = 255;

// An owned short string: a copy of S cut to kMaxShortString characters.
std::string NewStr(std::string_view s);
void DisposeStr(std::string& p);
void ReplaceStr(std::string& p, std::string_view s);

// Upper case of one CP866 character: a-z, а-п, р-я and ё; everything else unchanged.
constexpr char UpperCaseChar(char c) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z')
        return char(b - 32);
    if (b >= 0xA0 && b <= 0xAF)
        return char(b - 0x20);
    if (b >= 0xE0 && b <= 0xEF)
        return char(b - 0x50);
    if (b == 0xF1)
        return char(0xF0);
    return c;
}

// The inverse of UpperCaseChar.
constexpr char LowerCaseChar(char c) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 'A' && b <= 'Z')
        return char(b + 32);
    if (b >= 0x80 && b <= 0x8F)
        return char(b + 0x20);
    if (b >= 0x90 && b <= 0x9F)
        return char(b + 0x50);
    if (b == 0xF0)
        return char(0xF1);
    return c;
}

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);

// Case-insensitive comparison of the upper-cased bytes: negative, 0 or positive; on a
// common prefix the shorter text is smaller.
int CompareText(std::string_view a, std::string_view b);

std::string StripTildes(std::string_view s);
int VisibleLength(std::string_view s);

// How much of A's start B matches: case-insensitively, with spaces, "&" and "~" skipped in
// both. The count is A's characters up to and including the last one matched.
int MatchPrefix(std::string_view a, std::string_view b);

std::string CenterText(std::string_view s, char fill, int width);
std::string PadLeft(std::string_view s, char fill, int width);
std::string PadRight(std::string_view s, char fill, int width);

// Every lone CR and every lone LF becomes CR LF; existing CR LF pairs stay.
std::string NormalizeLineBreaks(std::string_view s);

// Drops the centring byte 3; one directly after a CR becomes the LF that ends the line.
std::string StripCentringMarks(std::string_view s);

// S without the spaces at either end (only spaces: a field's text pads with them).
std::string_view TrimBlanks(std::string_view s);

// Whether S is one or more of the decimal digits 0-9 and nothing else; false when empty.
bool IsDigits(std::string_view s);

} // namespace zarvo
