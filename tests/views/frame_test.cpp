// Window frames on the headless screen: lines, title, number and icons in the active and
// passive styles, borders joined around framed subviews, and the mouse on the icons and
// the border.
#include "views/frame.h"

#include <gtest/gtest.h>

#include "platform/cp866.h"
#include "tests/views/window_test_support.h"
#include "views/window.h"

namespace zarvo {
namespace {

using namespace testing_windows;

class FrameTest : public tWindowScreen {
  protected:
    // A window on the root; the newest one inserted is the active one.
    tWindow* AddWindow(const tRect& bounds, std::string_view title, int number,
                       std::uint8_t flags = WindowFlag::All) {
        auto* window = new tWindow(bounds, title, std::int16_t(number));
        window->WindowFlags = flags;
        Root->InsertView(window);
        return window;
    }
    std::vector<std::string> WindowRows(const tWindow& window) {
        std::vector<std::string> rows;
        for (int y = 0; y < window.Height; ++y)
            rows.push_back(Cells(window.Top + y, window.Left, window.Width));
        return rows;
    }

  public:
    std::string Held;
};

// Catches the digit, the icons or the title cut landing in the wrong columns, or the number
// hidden under a long title.
TEST_F(FrameTest, TopRowOfTwentyWideWindow) {
    struct tCase {
        std::string_view Title;
        const char* Expected;
    } cases[] = {
        {"Тест"_oem, "╔═[■]══ Тест 3═[↑]═╗"},
        // Cut to 10 characters from column 5; the number still shows at column 13.
        {"Параметры теста"_oem, "╔═[■]Параметр3 [↑]═╗"},
        {""_oem, "╔═[■]════════3═[↑]═╗"},
    };
    for (const tCase& c : cases) {
        tWindow* window = AddWindow(MakeRect(0, 0, 20, 6), c.Title, 3);
        EXPECT_EQ(Cells(0, 0, 20), c.Expected) << "title " << Cp866ToUtf8(c.Title);
        FreeObject(window);
    }
}

// Catches icons drawn on a passive window, or the wrong line style for either state.
TEST_F(FrameTest, ActiveAndPassiveStyles) {
    tWindow* back = AddWindow(MakeRect(0, 0, 20, 5), "Тест"_oem, 3);
    tWindow* front = AddWindow(MakeRect(30, 0, 50, 5), "Тест"_oem, 3);
    EXPECT_EQ(WindowRows(*back), (std::vector<std::string>{
                                     "┌────── Тест 3─────┐",
                                     "│                  │",
                                     "│                  │",
                                     "│                  │",
                                     "└──────────────────┘",
                                 }))
        << "passive: single lines, no icons";
    EXPECT_EQ(WindowRows(*front), (std::vector<std::string>{
                                      "╔═[■]══ Тест 3═[↑]═╗",
                                      "║                  ║",
                                      "║                  ║",
                                      "║                  ║",
                                      "╚═════════════════─┘",
                                  }))
        << "active: double lines, close, zoom and resize icons";
    // Index 1 of the frame is the passive frame, 3 the active one, 5 the icons: entries 8,
    // 9 and 10 of the application palette through the blue window palette.
    EXPECT_EQ(AttrAt(0, 0), 0x17) << "passive line colour";
    EXPECT_EQ(AttrAt(30, 0), 0x1F) << "active line colour";
    EXPECT_EQ(AttrAt(32, 0), 0x1F) << "icon bracket in the line colour";
    EXPECT_EQ(AttrAt(33, 0), 0x1A) << "icon letter in the icon colour";
    back->SelectView();
    EXPECT_EQ(Cells(0, 30, 20), "┌────── Тест 3─────┐") << "the other window turned passive";
    EXPECT_EQ(Cells(0, 0, 20), "╔═[■]══ Тест 3═[↑]═╗");
}

// Catches a zoomed window not marked in its zoom icon, or flags ignored by the icons.
TEST_F(FrameTest, IconsFollowWindowFlagsAndZoom) {
    struct tCase {
        std::uint8_t Flags;
        const char* Top;
        const char* Bottom;
    } cases[] = {
        {WindowFlag::CanMove | WindowFlag::CanClose, "╔═[■]══ Тест ════3═╗",
         "╚══════════════════╝"},
        {WindowFlag::CanMove | WindowFlag::CanZoom, "╔══════ Тест 3═[↑]═╗", "╚══════════════════╝"},
        {WindowFlag::CanMove, "╔══════ Тест ════3═╗", "╚══════════════════╝"},
        {WindowFlag::CanGrow, "╔══════ Тест ════3═╗", "╚═════════════════─┘"},
    };
    for (const tCase& c : cases) {
        tWindow* window = AddWindow(MakeRect(0, 0, 20, 5), "Тест"_oem, 3, c.Flags);
        EXPECT_EQ(Cells(0, 0, 20), c.Top) << "flags " << int(c.Flags);
        EXPECT_EQ(Cells(4, 0, 20), c.Bottom) << "flags " << int(c.Flags);
        FreeObject(window);
    }
    // At the owner's size (its maximum) the zoom icon shows the zoomed mark.
    tWindow* window = AddWindow(MakeRect(0, 0, 20, 5), "Тест"_oem, 3);
    window->ToggleZoom();
    EXPECT_EQ(Cells(0, kCols - 8, 8), "═3═[↕]═╗");
    window->ToggleZoom();
    EXPECT_EQ(Cells(0, 12, 8), " 3═[↑]═╗") << "unzoomed to the creation bounds";
}

// Catches framed subviews whose borders are not joined into the frame's lines.
TEST_F(FrameTest, FramedSubviewsJoinTheBorder) {
    auto* window = new tWindow(MakeRect(0, 0, 20, 7), "", 0);
    window->WindowFlags = WindowFlag::CanMove;
    auto* inner = new tView(MakeRect(5, 2, 10, 4));
    inner->OptionFlags |= ViewOption::Framed;
    window->InsertView(inner);
    auto* wide = new tView(MakeRect(1, 5, 19, 6));
    wide->OptionFlags |= ViewOption::Framed;
    window->InsertView(wide);
    Root->InsertView(window);
    EXPECT_EQ(WindowRows(*window), (std::vector<std::string>{
                                       "╔══════════════════╗",
                                       "║   ┌─────┐        ║",
                                       "║   │     │        ║",
                                       "║   │     │        ║",
                                       "╟───┴─────┴────────╢",
                                       "║                  ║",
                                       "╚══════════════════╝",
                                   }));
}

// Catches clicks on the icons that close or zoom without a release on the icon, or a double
// click that does not zoom (or that zooms a window that cannot zoom instead of moving it).
TEST_F(FrameTest, MouseOnTheTopRow) {
    struct tCase {
        const char* Name;
        std::uint8_t Flags;
        int DownX; // from the window's left edge
        bool Double;
        std::vector<TEventRec> Then; // relative to the window's origin (10, 5)
        std::uint16_t Posted;        // 0: nothing
        tPoint Origin;
    } cases[] = {
        {"close released on it",
         WindowFlag::All,
         3,
         false,
         {Mouse(evtMouseUp, 13, 5)},
         cmdClose,
         {10, 5}},
        {"close released off it",
         WindowFlag::All,
         3,
         false,
         {Mouse(evtMouseMove, 20, 8), Mouse(evtMouseUp, 20, 8)},
         0,
         {10, 5}},
        {"zoom released on it",
         WindowFlag::All,
         16,
         false,
         {Mouse(evtMouseUp, 26, 5)},
         cmdZoom,
         {10, 5}},
        {"double click on the title", WindowFlag::All, 8, true, {}, cmdZoom, {10, 5}},
        {"double click without zoom moves",
         WindowFlag::CanMove,
         8,
         true,
         {Mouse(evtMouseMove, 23, 7), Mouse(evtMouseUp, 23, 7)},
         0,
         {15, 7}},
        {"drag on the title",
         WindowFlag::All,
         8,
         false,
         {Mouse(evtMouseMove, 16, 9), Mouse(evtMouseUp, 16, 9)},
         0,
         {8, 9}},
    };
    for (const tCase& c : cases) {
        tWindow* window = AddWindow(MakeRect(10, 5, 30, 11), "Окно"_oem, 1, c.Flags);
        Root->Posted.clear();
        Root->Script.assign(c.Then.begin(), c.Then.end());
        TEventRec down = Mouse(evtMouseDown, 10 + c.DownX, 5, c.Double);
        Root->HandleEvent(down);
        EXPECT_EQ(down.what, evtNothing) << c.Name << ": consumed";
        if (c.Posted != 0) {
            ASSERT_EQ(Root->Posted.size(), 1u) << c.Name;
            EXPECT_EQ(Root->Posted[0].what, evtCommand) << c.Name;
            EXPECT_EQ(Root->Posted[0].message.command, c.Posted) << c.Name;
            EXPECT_EQ(Root->Posted[0].message.info, window) << c.Name << ": names the window";
        } else {
            EXPECT_TRUE(Root->Posted.empty()) << c.Name << ": nothing posted";
        }
        EXPECT_EQ(window->Left, c.Origin.X) << c.Name;
        EXPECT_EQ(window->Top, c.Origin.Y) << c.Name;
        EXPECT_EQ(window->Frame->FrameMode, FrameModes::Normal) << c.Name << ": icon released";
        FreeObject(window);
    }
}

// Catches a pressed icon not drawn pressed while the button is held over it.
TEST_F(FrameTest, PressedCloseIconWhileHeld) {
    tWindow* window = AddWindow(MakeRect(0, 0, 20, 5), "", 0);
    // The frame's first fetch happens while the icon is held down; look at the screen then.
    auto look = [](void* data, EventFrame&) {
        auto* self = static_cast<FrameTest*>(data);
        self->Held = self->Cells(0, 0, 6);
    };
    window->Frame->Subscribe(evnFetchEvent, EventHandler(+look, static_cast<void*>(this)));
    Script({Mouse(evtMouseUp, 13, 3)});
    TEventRec down = Mouse(evtMouseDown, 3, 0);
    Root->HandleEvent(down);
    EXPECT_EQ(Held, "╔═[☼]═") << "the pressed close icon";
    EXPECT_EQ(Cells(0, 0, 6), "╔═[■]═") << "released again";
    EXPECT_TRUE(Root->Posted.empty()) << "released away from the icon: no close";
}

// Catches the resize corner ignored, or growing past the owner's size.
TEST_F(FrameTest, ResizeCornerGrows) {
    tWindow* window = AddWindow(MakeRect(10, 5, 30, 11), "", 0);
    Script({Mouse(evtMouseMove, 33, 12), Mouse(evtMouseUp, 33, 12)});
    TEventRec down = Mouse(evtMouseDown, 29, 10);
    Root->HandleEvent(down);
    EXPECT_EQ(window->BoundsRect(), MakeRect(10, 5, 34, 13)) << "grown by the drag";
}

} // namespace
} // namespace zarvo
