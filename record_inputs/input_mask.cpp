// Placeholder rules of input masks and the text layout in and out of them (CP866 letters).
#include "record_inputs/input_mask.h"

#include <algorithm>

#include "library/strings.h"

namespace zarvo {

namespace {

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
bool IsLatinUpper(unsigned char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsLatinLower(unsigned char c) {
    return c >= 'a' && c <= 'z';
}
bool IsLatin(unsigned char c) {
    return IsLatinUpper(c) || IsLatinLower(c);
}
// А-Я.
bool IsCyrillicUpper(unsigned char c) {
    return c >= 0x80 && c <= 0x9F;
}
// а-п and р-я.
bool IsCyrillicLower(unsigned char c) {
    return (c >= 0xA0 && c <= 0xAF) || (c >= 0xE0 && c <= 0xEF);
}
bool IsCyrillic(unsigned char c) {
    return IsCyrillicUpper(c) || IsCyrillicLower(c);
}
bool IsYo(unsigned char c) {
    return c == 0xF0 || c == 0xF1;
}
bool IsOneOf(unsigned char c, std::string_view set) {
    return set.find(char(c)) != std::string_view::npos;
}

bool Accepted(char placeholder, unsigned char c) {
    switch (placeholder) {
    case '#':
        return IsDigit(c);
    case '9':
        return IsDigit(c) || c == '-' || c == '.';
    case 'X':
        return true;
    case 'A':
        return c == ' ' || IsLatin(c) || IsCyrillic(c);
    case 'R':
        return c == ' ' || c == '-' || c == '.' || IsCyrillic(c);
    case 'L':
        return c == ' ' || IsDigit(c) || IsLatinUpper(c) || IsCyrillicUpper(c);
    case 'x':
        return c == ' ' || IsDigit(c) || IsLatinLower(c) || IsCyrillicLower(c);
    case 'F':
        return c == ' ' || IsDigit(c) || IsLatin(c) || IsOneOf(c, "@!#$%'().^{}~");
    case 'N':
        return c == ' ' || IsDigit(c) || IsLatin(c) || IsCyrillic(c) || IsYo(c) ||
               IsOneOf(c, "()-./");
    default:
        return false;
    }
}

} // namespace

bool IsMaskPlaceholder(char c) {
    return std::string_view("#9XARLxFN").find(c) != std::string_view::npos;
}

char MaskAccepts(char placeholder, char ch) {
    if (placeholder == 'L')
        ch = UpperCaseChar(ch);
    else if (placeholder == 'x')
        ch = LowerCaseChar(ch);
    return Accepted(placeholder, static_cast<unsigned char>(ch)) ? ch : char(0);
}

std::string FillMaskText(std::string_view mask, std::string_view text) {
    std::string out(mask);
    std::size_t next = 0;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (!IsMaskPlaceholder(mask[i])) {
            if (next < text.size() && text[next] == mask[i])
                ++next;
            continue;
        }
        out[i] = next < text.size() ? text[next++] : ' ';
    }
    return out;
}

std::string MaskPlaceholderText(std::string_view mask, std::string_view text) {
    std::string out;
    std::size_t count = std::min(mask.size(), text.size());
    for (std::size_t i = 0; i < count; ++i)
        if (IsMaskPlaceholder(mask[i]))
            out.push_back(text[i]);
    return out;
}

std::string BlankMaskText(std::string_view mask) {
    return FillMaskText(mask, {});
}

int NextPlaceholder(std::string_view mask, int from) {
    int size = int(mask.size());
    for (int i = std::max(from, 0); i < size; ++i)
        if (IsMaskPlaceholder(mask[std::size_t(i)]))
            return i;
    return size;
}

int PreviousPlaceholder(std::string_view mask, int before) {
    for (int i = std::min(before, int(mask.size())) - 1; i >= 0; --i)
        if (IsMaskPlaceholder(mask[std::size_t(i)]))
            return i;
    return -1;
}

} // namespace zarvo
