// The word-wrap routine shared by static texts, labels, message boxes, the log and the
// protocol file.
#include "library/text_wrap.h"

#include <algorithm>

#include "library/strings.h"
#include "platform/cp866.h"

namespace zarvo {

namespace {

constexpr char kCarriageReturn = 13;
constexpr char kLineFeed = 10;

// Text[p] with 1-based p; 0 past the end so that no rule matches there.
char At(std::string_view text, int p) {
    return p >= 1 && p <= int(text.size()) ? text[std::size_t(p - 1)] : '\0';
}

int SkipSpaces(std::string_view text, int p) {
    while (p <= int(text.size()) && At(text, p) == ' ')
        ++p;
    return p;
}

bool EndsWord(char c) {
    return c == ' ' || c == kCentreMark || c == kCarriageReturn;
}

} // namespace

bool WrapNextLine(std::string_view text, tWrapState& state) {
    const int size = int(text.size());
    // A width below 1 would give empty lines that never advance: callers would loop forever.
    const int width = std::max(state.Width, 1);
    if (state.Pos == 0)
        state.Pos = 1;
    if (state.Pos > size)
        return false;

    int start = state.Pos;
    state.Centered = At(text, start) == kCentreMark;
    if (state.Centered)
        ++start;

    int lastBreak = start;
    int breakTildes = 0;
    int p = start;
    int count = 0;
    int limit = start + width;
    while (true) {
        p = SkipSpaces(text, lastBreak);
        count = breakTildes;
        while (p <= size && !EndsWord(At(text, p))) {
            limit = start + width + count;
            if (state.TildeAware && At(text, p) == '~' && (p < limit || count % 2 == 1))
                ++count;
            ++p;
        }
        limit = start + width + count;
        if (p > size || p >= limit || At(text, p) == kCentreMark || At(text, p) == kCarriageReturn)
            break;
        lastBreak = p;
        breakTildes = count;
    }
    if (limit < p) {
        p = limit;
        if (start < lastBreak) {
            p = lastBreak;
            count = breakTildes;
        }
    }

    state.Start = start;
    state.Length = p - start;
    state.VisibleLength = state.Length - count;
    int next = SkipSpaces(text, p);
    if (At(text, next) == kCarriageReturn) {
        ++next;
        if (At(text, next) == kLineFeed)
            ++next;
    }
    state.Pos = next;
    return true;
}

void MeasureText(std::string_view text, int width, int& maxWidth, int& lineCount) {
    tWrapState state;
    state.Width = width;
    maxWidth = 0;
    lineCount = 0;
    while (WrapNextLine(text, state)) {
        maxWidth = std::max(maxWidth, state.VisibleLength);
        ++lineCount;
    }
}

std::string WrapText(std::string_view text, int width, int indent) {
    tWrapState state;
    state.Width = width;
    const std::string margin(std::size_t(std::max(indent, 0)), ' ');
    std::string out;
    bool first = true;
    while (WrapNextLine(text, state)) {
        if (!first)
            out += "\r\n";
        first = false;
        out += margin;
        std::string_view line = state.Line(text);
        if (state.Centered)
            out += CenterText(line, ' ', width);
        else
            out += line;
    }
    return out;
}

std::string WrapText74(std::string_view text) {
    return WrapText(text, 74, 0);
}

} // namespace zarvo
