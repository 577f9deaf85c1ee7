// Short strings, case rules and text alignment.
#include "library/strings.h"

#include <algorithm>

#include "platform/cp866.h"

namespace zarvo {

namespace {

bool IsSkippedInPrefix(char c) {
    return c == ' ' || c == '&' || c == '~';
}

// Widths above the short-string limit would build strings no short string can hold.
std::size_t ClampWidth(int width) {
    return width <= 0 ? 0 : std::min<std::size_t>(std::size_t(width), kMaxShortString);
}

} // namespace

std::string NewStr(std::string_view s) {
    return std::string(s.substr(0, kMaxShortString));
}

void DisposeStr(std::string& p) {
    p.clear();
}

void ReplaceStr(std::string& p, std::string_view s) {
    p = NewStr(s);
}

std::string UpperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = UpperCaseChar(c);
    return out;
}

std::string LowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = LowerCaseChar(c);
    return out;
}

int CompareText(std::string_view a, std::string_view b) {
    std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        int left = static_cast<unsigned char>(UpperCaseChar(a[i]));
        int right = static_cast<unsigned char>(UpperCaseChar(b[i]));
        if (left != right)
            return left - right;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

std::string StripTildes(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (c != '~')
            out += c;
    return out;
}

int VisibleLength(std::string_view s) {
    return int(s.size() - std::count(s.begin(), s.end(), '~'));
}

int MatchPrefix(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0, matched = 0;
    while (true) {
        while (i < a.size() && IsSkippedInPrefix(a[i]))
            ++i;
        while (j < b.size() && IsSkippedInPrefix(b[j]))
            ++j;
        if (i == a.size() || j == b.size() || UpperCaseChar(a[i]) != UpperCaseChar(b[j]))
            return int(matched);
        matched = ++i;
        ++j;
    }
}

std::string CenterText(std::string_view s, char fill, int width) {
    std::size_t w = ClampWidth(width);
    if (s.size() >= w)
        return std::string(s);
    std::string out(w, fill);
    out.replace((w - s.size()) / 2, s.size(), s);
    return out;
}

std::string PadLeft(std::string_view s, char fill, int width) {
    std::size_t w = ClampWidth(width);
    if (s.size() >= w)
        return std::string(s);
    return std::string(w - s.size(), fill) + std::string(s);
}

std::string PadRight(std::string_view s, char fill, int width) {
    std::size_t w = ClampWidth(width);
    std::string out(s);
    if (out.size() < w)
        out.append(w - out.size(), fill);
    return out;
}

std::string NormalizeLineBreaks(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 8);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            out += "\r\n";
            if (i + 1 < s.size() && s[i + 1] == '\n')
                ++i;
        } else if (s[i] == '\n') {
            out += "\r\n";
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string StripCentringMarks(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != kCentreMark)
            out += s[i];
        else if (i > 0 && s[i - 1] == '\r')
            out += '\n';
    }
    return out;
}

std::string_view TrimBlanks(std::string_view s) {
    std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

bool IsDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace zarvo
