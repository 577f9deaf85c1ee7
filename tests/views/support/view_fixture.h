// What the view-core tests share: a headless console with a screen root over it, views that
// fill themselves with one character and record what reaches them, and event builders.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/console.h"
#include "console/event_makers.h"
#include "console/headless/headless_host.h"
#include "platform/cp866.h"
#include "tests/views/support/screen_root.h"

namespace zarvo::testing_views {

// Fills itself with one character in a fixed attribute (not mapped, so screens show it as is).
class tFill : public tView {
  public:
    tFill(const tRect& bounds, char ch, std::uint8_t attr = 0x07)
        : tView(bounds), Ch(ch), Attr(attr) {}
    void Draw() override {
        ++Draws;
        tCell line[MaxLineCells];
        FillCells(line, std::uint8_t(Ch), Attr, MaxLineCells);
        PutLine(0, 0, Width, Height, line);
    }
    char Ch;
    std::uint8_t Attr;
    int Draws = 0;
};

// A group with a filling background view at its back.
inline tGroup* MakeBox(const tRect& bounds, char ch, std::uint8_t attr = 0x07) {
    auto* group = new tGroup(bounds);
    group->tInsert(new tFill(MakeRect(0, 0, bounds.Right - bounds.Left, bounds.Bottom - bounds.Top),
                             ch, attr));
    return group;
}

// A 40 x 12 screen with a root whose back view fills it with '.'.
class ScreenTest : public ::testing::Test {
  protected:
    static constexpr int kCols = 40;
    static constexpr int kRows = 12;

    ScreenTest() : Screen(kCols, kRows) {}
    void SetUp() override {
        InputList.Clear();
        StartConsoleDriver();
        CurrentConsole->Activate();
        Root = MakeObject<tScreenRoot>();
        Background = new tFill(Root->ExtentRect(), '.', 0x07);
        Root->tInsert(Background);
        Root->Repaint();
        Screen.Pump();
    }
    void TearDown() override {
        Root.reset();
        StopConsoleDriver();
        InputList.Clear();
        RestoreCommandSet(InitialCommandSet());
        CommandSetChanged = false;
    }
    // The screen's rows, only the first WIDTH columns of the first HEIGHT rows.
    std::vector<std::string> Grid(int width = kCols, int height = kRows) {
        Screen.Pump();
        std::vector<std::string> out;
        for (int y = 0; y < height; ++y) {
            std::string row;
            for (int x = 0; x < width; ++x)
                AppendUtf8(row, Cp866ToGlyph(CellChar(Screen.Host().CellAt(x, y))));
            out.push_back(row);
        }
        return out;
    }
    std::uint8_t AttrAt(int x, int y) {
        Screen.Pump();
        return CellAttr(Screen.Host().CellAt(x, y));
    }
    tHeadlessConsole Screen;
    tObjectPtr<tScreenRoot> Root;
    tFill* Background = nullptr;
};

} // namespace zarvo::testing_views
