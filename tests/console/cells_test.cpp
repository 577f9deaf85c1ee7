// Cell routines: attributes, hot text and the 132-cell limit.
#include "console/cells.h"

#include <gtest/gtest.h>

#include <array>

#include "platform/cp866.h"

namespace zarvo {
namespace {

constexpr tCell kGuard = 0xABCD;

// Catches FillCells ignoring the "0 means keep" rules or writing past 132 cells.
TEST(CellsTest, FillCellsRulesAndLimit) {
    std::array<tCell, 200> line;
    line.fill(MakeCell('x', 0x17));
    FillCells(line.data(), 0, 0, 200);
    EXPECT_EQ(line[0], MakeCell('x', 0)) << "ch 0 and attr 0 clear attributes only";
    EXPECT_EQ(line[131], MakeCell('x', 0));
    EXPECT_EQ(line[132], MakeCell('x', 0x17)) << "cell 133 untouched";
    FillCells(line.data(), '#', 0, 3);
    EXPECT_EQ(line[2], MakeCell('#', 0)) << "attr 0 with a character keeps the attribute";
    FillCells(line.data(), '*', 0x4F, 2);
    EXPECT_EQ(line[1], MakeCell('*', 0x4F));
    EXPECT_EQ(line[2], MakeCell('#', 0));
    FillCells(line.data(), 'z', 0x11, 0);
    EXPECT_EQ(line[0], MakeCell('*', 0x4F)) << "count 0 writes nothing";
}

// Catches CopyChars overwriting attributes when told to keep them, and RecolorCells mixing up
// the source and destination.
TEST(CellsTest, CopyAndRecolor) {
    std::array<tCell, 4> line{MakeCell(' ', 0x1E), MakeCell(' ', 0x2F), kGuard, kGuard};
    CopyCharsToCells(line.data(), "ab", 0, 2);
    EXPECT_EQ(line[0], MakeCell('a', 0x1E));
    EXPECT_EQ(line[1], MakeCell('b', 0x2F));
    EXPECT_EQ(line[2], kGuard);
    CopyTextToCells(line.data(), "cd", 0x70);
    EXPECT_EQ(line[1], MakeCell('d', 0x70));
    std::array<tCell, 2> recoloured{};
    RecolorCells(recoloured.data(), line.data(), 0x4E, 2);
    EXPECT_EQ(recoloured[0], MakeCell('c', 0x4E));
    EXPECT_EQ(recoloured[1], MakeCell('d', 0x4E));
}

// Catches the tilde swap going the wrong way or a tilde being drawn.
TEST(CellsTest, HotTextSwapsAttributes) {
    std::array<tCell, 6> line;
    line.fill(kGuard);
    std::string_view text = "~Ф~айл"_oem;
    EXPECT_EQ(CopyHotTextToCells(line.data(), text, 0x1E70), 4);
    EXPECT_EQ(line[0], MakeCell(std::uint8_t(text[1]), 0x1E));
    EXPECT_EQ(line[1], MakeCell(std::uint8_t(text[3]), 0x70));
    EXPECT_EQ(line[3], MakeCell(std::uint8_t(text[5]), 0x70));
    EXPECT_EQ(line[4], kGuard) << "four cells, no more";
    EXPECT_EQ(HotTextLength(text), 4);
    EXPECT_EQ(HotTextLength(""), 0);
}

// Catches hot text longer than a line writing past 132 cells.
TEST(CellsTest, HotTextStopsAt132Characters) {
    std::array<tCell, 140> line;
    line.fill(kGuard);
    std::string text(139, 'w');
    EXPECT_EQ(CopyHotTextToCells(line.data(), text, 0x0007), 132);
    EXPECT_EQ(line[132], kGuard);
    CopyTextToCells(line.data(), std::string(139, 'v'), 0x07);
    EXPECT_EQ(line[131], MakeCell('v', 0x07));
    EXPECT_EQ(line[132], kGuard);
}

} // namespace
} // namespace zarvo
