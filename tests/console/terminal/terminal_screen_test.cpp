// What the terminal host writes: only changed cells, few bytes for a small change, nothing
// past the terminal's edge, and palette colours mapped sensibly onto 16-colour terminals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/host_settings.h"
#include "console/terminal/terminal_screen.h"
#include "platform/cp866.h"

namespace zarvo {
namespace {

constexpr int kCols = 80;
constexpr int kRows = 25;

std::string Utf8Of(std::uint8_t character) {
    std::string text;
    AppendUtf8(text, Cp866ToGlyph(character));
    return text;
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

class TerminalScreenTest : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_Caps.Load("xterm-256color", GetParam()))
            << "expected the xterm-256color terminfo entry";
        m_Cells.assign(std::size_t(kCols) * kRows, 0);
        for (std::size_t i = 0; i < m_Cells.size(); ++i)
            m_Cells[i] =
                std::uint16_t((i % 256) | ((i * 7 % 256) << 8)); // every glyph, many colours
    }

    std::string PaintAll(tTerminalScreen& screen) {
        for (int y = 0; y < kRows; ++y)
            screen.Put(0, y, &m_Cells[std::size_t(y) * kCols], kCols);
        return screen.Finish();
    }

    tTerminalCaps m_Caps;
    std::vector<std::uint16_t> m_Cells;
};

// Catches a host that redraws the whole screen, or spends hundreds of bytes, for one cell.
TEST_P(TerminalScreenTest, OneCellChangeWritesAFewDozenBytes) {
    tTerminalScreen screen(m_Caps);
    screen.SetPalette(kDefaultHostPalette);
    screen.Resize(kCols, kRows);
    screen.PlaceCursor(10, 20, 9, true);
    PaintAll(screen);
    EXPECT_TRUE(PaintAll(screen).empty()) << "expected nothing written when nothing changed";

    std::uint16_t& cell = m_Cells[std::size_t(12) * kCols + 40];
    cell = std::uint16_t(0xF1C9); // ╔ in white on white: both colours differ from the neighbour's
    screen.Put(40, 12, &cell, 1);
    std::string bytes = screen.Finish();
    EXPECT_LE(bytes.size(), 64u) << "expected a few dozen bytes for one cell, got " << bytes.size();
    EXPECT_EQ(Occurrences(bytes, Utf8Of(0xC9)), 1u) << "expected the new glyph written once";
}

// Catches cells past a small terminal's edge being written (they would wrap or scroll).
TEST_P(TerminalScreenTest, SmallTerminalShowsWhatFits) {
    tTerminalScreen screen(m_Caps);
    screen.SetPalette(kDefaultHostPalette);
    screen.Resize(40, 10);
    std::vector<std::uint16_t> row(kCols, 0x07DB);                 // █ across the row
    std::fill(row.begin() + 40, row.end(), std::uint16_t(0x07B0)); // ░ past column 40
    for (int y = 0; y < kRows; ++y)
        screen.Put(0, y, row.data(), kCols);
    std::string bytes = screen.Finish();
    EXPECT_EQ(Occurrences(bytes, Utf8Of(0xDB)), 40u * 10u) << "expected the 40 x 10 cells that fit";
    EXPECT_EQ(Occurrences(bytes, Utf8Of(0xB0)), 0u) << "expected nothing past the right edge";
}

// Catches the cursor left hidden after the terminal was given back and taken again (Ctrl+Z,
// fg): taking it hides the cursor behind the screen's back, so a refit must show it anew.
TEST_P(TerminalScreenTest, RefitShowsTheCursorAgain) {
    tTerminalScreen screen(m_Caps);
    screen.SetPalette(kDefaultHostPalette);
    screen.Resize(kCols, kRows);
    screen.PlaceCursor(3, 4, 0, true);
    ASSERT_NE(screen.Finish().find(m_Caps.ShowCursor), std::string::npos);
    EXPECT_EQ(screen.Finish().find(m_Caps.ShowCursor), std::string::npos) << "shown already";
    screen.Resize(kCols, kRows);
    EXPECT_NE(screen.Finish().find(m_Caps.ShowCursor), std::string::npos)
        << "expected the cursor shown again after the refit";
}

INSTANTIATE_TEST_SUITE_P(ColourDepths, TerminalScreenTest, ::testing::Values("", "truecolor"),
                         [](const auto& info) {
                             return std::string(info.param[0] ? "Direct" : "Ansi16");
                         });

// Catches 16-colour terminals getting colours that swap meaning (red for blue) or merge (two
// palette colours on one terminal colour).
TEST(TerminalColourTest, PaletteIndicesMapOntoTheSixteenAnsiColours) {
    // CGA order (black, blue, green, cyan, red, magenta, brown, ...) -> ANSI order.
    const int expected[16] = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(tTerminalScreen::AnsiColourOf(i), expected[i])
            << "palette index " << i << ": expected ANSI colour " << expected[i];
}

// Catches colour codes sent to a terminal that has none (vt100 showed them as garbage or
// ignored them, losing every highlight), and highlights turned inside out there: an input
// line as plain as the dialog around it, or the progress bar's done part plain while the
// part still to go is reverse video.
TEST(TerminalColourTest, TerminalsWithoutColoursGetBoldAndReverse) {
    tTerminalCaps caps;
    ASSERT_TRUE(caps.Load("vt100", "")) << "expected the vt100 terminfo entry";
    ASSERT_EQ(caps.Colours, tColourDepth::Monochrome) << "expected vt100 to have no colours";
    struct tCase {
        std::uint16_t Cell;
        const char* Expected;
    } cases[] = {
        {0x1F41, "\x1b[0;1;4;7mA"}, // white on blue (input line, bar done): all three
        {0x2041, "\x1b[0;7mA"},     // black on green (button): reverse
        {0x3041, "\x1b[0;7mA"},     // black on cyan (list row): reverse
        {0x7041, "\x1b[0mA"},       // black on light grey (dialog): plain
        {0x7F41, "\x1b[0;1mA"},     // white on light grey (dialog frame): bold
        {0xF141, "\x1b[0mA"},       // blue on white (bar still to go): plain
        {0x0741, "\x1b[0mA"},       // light grey on black: plain
    };
    for (const tCase& c : cases) {
        tTerminalScreen screen(caps);
        screen.SetPalette(kDefaultHostPalette);
        screen.Resize(1, 1);
        screen.Finish();
        screen.Put(0, 0, &c.Cell, 1);
        std::string out = screen.Finish();
        EXPECT_NE(out.find(c.Expected), std::string::npos)
            << "cell " << std::hex << c.Cell << ": expected " << c.Expected;
        EXPECT_EQ(out.find("\x1b[3"), std::string::npos) << "expected no colour code";
        EXPECT_EQ(out.find("\x1b[4"), std::string::npos) << "expected no colour code";
    }
}

} // namespace
} // namespace zarvo
