// Word wrapping of message texts: breaks, centring marks, tildes and the joined forms.
#include "library/text_wrap.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zarvo {
namespace {

struct tLine {
    std::string Text;
    int VisibleLength;
    bool Centered;
    bool operator==(const tLine&) const = default;
};

std::ostream& operator<<(std::ostream& out, const tLine& line) {
    return out << "{\"" << line.Text << "\", " << line.VisibleLength << ", "
               << (line.Centered ? "centred" : "plain") << "}";
}

std::vector<tLine> Wrap(std::string_view text, int width, bool tildeAware) {
    tWrapState state;
    state.Width = width;
    state.TildeAware = tildeAware;
    std::vector<tLine> lines;
    // More lines than characters would mean the wrapper does not advance.
    while (lines.size() <= text.size() + 1 && WrapNextLine(text, state))
        lines.push_back({std::string(state.Line(text)), state.VisibleLength, state.Centered});
    return lines;
}

struct tWrapCase {
    const char* Name;
    std::string_view Text;
    int Width;
    bool TildeAware;
    std::vector<tLine> Lines;
};

// Catches wrong break points, lost words, a missed CR LF or centring mark, and tildes that
// take width when they should not.
TEST(WrapNextLine, BreaksLinesAsTheRulesSay) {
    const tWrapCase cases[] = {
        {"two words at their width", "abc def", 3, false, {{"abc", 3, false}, {"def", 3, false}}},
        {"centring mark on the second line",
         "abc\3def",
         3,
         false,
         {{"abc", 3, false}, {"def", 3, true}}},
        {"words fit together", "abc def", 10, false, {{"abc def", 7, false}}},
        {"break at the last space",
         "abc defgh",
         5,
         false,
         {{"abc", 3, false}, {"defgh", 5, false}}},
        {"long word cut at the width",
         "abcdefgh",
         3,
         false,
         {{"abc", 3, false}, {"def", 3, false}, {"gh", 2, false}}},
        {"CR LF breaks and is skipped",
         "ab\r\ncd",
         10,
         false,
         {{"ab", 2, false}, {"cd", 2, false}}},
        {"two CRs give an empty line",
         "a\r\rb",
         10,
         false,
         {{"a", 1, false}, {"", 0, false}, {"b", 1, false}}},
        {"spaces after a break are skipped",
         "abc    def",
         4,
         false,
         {{"abc", 3, false}, {"def", 3, false}}},
        {"free tildes widen the line",
         "~A~bc de",
         3,
         true,
         {{"~A~bc", 3, false}, {"de", 2, false}}},
        {"counted tildes take width",
         "~A~bc de",
         3,
         false,
         {{"~A~", 3, false}, {"bc", 2, false}, {"de", 2, false}}},
        {"an open tilde pair closes past the limit",
         "ab~c~ d",
         3,
         true,
         {{"ab~c~", 3, false}, {"d", 1, false}}},
        {"empty text gives no line", "", 5, false, {}},
    };
    for (const tWrapCase& c : cases)
        EXPECT_EQ(Wrap(c.Text, c.Width, c.TildeAware), c.Lines) << c.Name;
}

// Catches a wrapper that loops forever on a width of 0 or less.
TEST(WrapNextLine, ZeroWidthStillAdvances) {
    std::vector<tLine> lines = Wrap("ab cd", 0, false);
    ASSERT_EQ(lines.size(), 4u) << "width 0 is taken as 1: one character per line";
    EXPECT_EQ(lines[0].Text, "a") << "first line is the first character";
}

// Catches a miscounted widest line or line count.
TEST(MeasureTextTest, ReportsWidestLineAndCount) {
    int maxWidth = -1, lineCount = -1;
    MeasureText("one three\r\n\3five", 6, maxWidth, lineCount);
    EXPECT_EQ(lineCount, 3) << "one / three / five";
    EXPECT_EQ(maxWidth, 5) << "three is the widest";
    MeasureText("", 6, maxWidth, lineCount);
    EXPECT_EQ(lineCount, 0) << "empty text has no lines";
    EXPECT_EQ(maxWidth, 0) << "empty text has no width";
}

// Catches a missing indent, a trailing CR LF or an uncentred centred line.
TEST(WrapTextTest, JoinsIndentedLines) {
    // The space before a centring mark stays with the line it ends.
    EXPECT_EQ(WrapText("abc def \3gh", 5, 2), "  abc\r\n  def \r\n   gh  ")
        << "lines after two spaces, the centred one centred in the width";
    EXPECT_EQ(WrapText("", 5, 2), "") << "empty text wraps to nothing";
}

// Catches a protocol text wider than 74 characters.
TEST(WrapTextTest, WrapText74KeepsLinesWithin74) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "word" + std::to_string(i) + " ";
    std::string wrapped = WrapText74(text);
    std::size_t start = 0;
    while (start <= wrapped.size()) {
        std::size_t end = wrapped.find("\r\n", start);
        std::size_t length = (end == std::string::npos ? wrapped.size() : end) - start;
        EXPECT_LE(length, 74u) << "every line of WrapText74 holds at most 74 characters";
        if (end == std::string::npos)
            break;
        start = end + 2;
    }
}

} // namespace
} // namespace zarvo
