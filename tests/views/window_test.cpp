// Windows: zoom, close (accepted, refused, modal), keyboard move and resize, Tab order,
// window numbers, the window command set, insertion order, scroll bars, palettes and the
// stored form with its frame reference.
#include "views/window.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "platform/cp866.h"
#include "tests/views/window_test_support.h"
#include "views/frame.h"
#include "views/indicator.h"
#include "views/list_viewer.h"
#include "views/scroll_bar.h"
#include "views/scroller.h"

namespace zarvo {
namespace {

using namespace testing_windows;

// A window whose Valid answers as told.
class tRefusingWindow : public tWindow {
  public:
    using tWindow::tWindow;
    bool Valid(std::uint16_t command) override {
        return command == cmdClose ? Agrees : tWindow::Valid(command);
    }
    bool Agrees = true;
};

void NoteFreed(void* data, EventFrame&) {
    *static_cast<bool*>(data) = true;
}

class WindowTest : public tWindowScreen {
  protected:
    template <class T = tWindow> T* AddWindow(const tRect& bounds, int number = 0) {
        auto* window = new T(bounds, "Окно"_oem, std::int16_t(number));
        Root->InsertView(window);
        return window;
    }
};

// Catches zoom that does not alternate between the owner's size and the old bounds, or that
// answers a command meant for another window.
TEST_F(WindowTest, ZoomAndUnzoom) {
    tWindow* window = AddWindow(MakeRect(10, 5, 40, 15));
    tWindow other(MakeRect(0, 0, 20, 5), "", 0);
    TEventRec elsewhere = Message(evtCommand, cmdZoom, &other);
    window->HandleEvent(elsewhere);
    EXPECT_EQ(elsewhere.what, evtCommand) << "a zoom for another window is left alone";
    EXPECT_EQ(window->BoundsRect(), MakeRect(10, 5, 40, 15));
    for (void* info : {static_cast<void*>(nullptr), static_cast<void*>(window)}) {
        TEventRec zoom = Message(evtCommand, cmdZoom, info);
        window->HandleEvent(zoom);
        EXPECT_EQ(zoom.what, evtNothing) << "consumed";
        EXPECT_EQ(window->BoundsRect(), MakeRect(0, 0, kCols, kRows)) << "zoomed to the owner";
        EXPECT_EQ(window->ZoomRect, MakeRect(10, 5, 40, 15)) << "remembers where it was";
        window->ToggleZoom();
        EXPECT_EQ(window->BoundsRect(), MakeRect(10, 5, 40, 15)) << "back again";
    }
    window->WindowFlags &= std::uint8_t(~WindowFlag::CanZoom);
    TEventRec zoom = Message(evtCommand, cmdZoom);
    window->HandleEvent(zoom);
    EXPECT_EQ(zoom.what, evtCommand) << "a window that cannot zoom leaves the command";
}

// Catches a close that ignores Valid, destroys a modal window under its loop, or consumes a
// refused close so outer views never see it.
TEST_F(WindowTest, CloseAcceptedRefusedAndModal) {
    struct tCase {
        const char* Name;
        bool Agrees;
        bool Modal;
        bool Freed;
        std::uint16_t What;   // of the event afterwards
        std::uint16_t Posted; // 0: nothing
    } cases[] = {
        {"accepted", true, false, true, evtNothing, 0},
        {"refused by Valid", false, false, false, evtCommand, 0},
        {"modal: cancelled instead", true, true, false, evtNothing, cmdCancel},
    };
    for (const tCase& c : cases) {
        auto* window = AddWindow<tRefusingWindow>(MakeRect(10, 5, 40, 15));
        window->Agrees = c.Agrees;
        bool freed = false;
        window->Subscribe(evnObjectFree, EventHandler(&NoteFreed, static_cast<void*>(&freed)));
        if (c.Modal)
            window->StateFlags |= ViewState::Modal;
        Root->Posted.clear();
        TEventRec close = Message(evtCommand, cmdClose);
        window->HandleEvent(close);
        EXPECT_EQ(freed, c.Freed) << c.Name;
        EXPECT_EQ(close.what, c.What) << c.Name;
        if (c.Freed) {
            EXPECT_EQ(close.message.info, window) << c.Name << ": info names the closed window";
        }
        if (c.Posted != 0) {
            ASSERT_EQ(Root->Posted.size(), 1u) << c.Name;
            EXPECT_EQ(Root->Posted[0].message.command, c.Posted) << c.Name;
            EXPECT_EQ(Root->Posted[0].message.info, window) << c.Name;
        } else {
            EXPECT_TRUE(Root->Posted.empty()) << c.Name;
        }
        if (!freed) {
            window->StateFlags &= std::uint16_t(~ViewState::Modal);
            FreeObject(window);
        }
    }
}

// Catches a window freed while its owner is still routing the close to it (run under the
// sanitizers), or the wrong window closed.
TEST_F(WindowTest, CloseThroughTheOwnersRouting) {
    tWindow* back = AddWindow(MakeRect(0, 0, 30, 10), 1);
    tWindow* front = AddWindow(MakeRect(20, 5, 50, 15), 2);
    bool freed = false;
    front->Subscribe(evnObjectFree, EventHandler(&NoteFreed, static_cast<void*>(&freed)));
    TEventRec close = Message(evtCommand, cmdClose);
    Root->HandleEvent(close);
    EXPECT_TRUE(freed) << "the current window closed";
    EXPECT_EQ(close.what, evtNothing);
    EXPECT_EQ(Root->FirstView(), back);
    EXPECT_EQ(Root->CurrentView, back) << "the other window is current now";
    EXPECT_TRUE(back->HasState(ViewState::Active));
}

// Catches keyboard moves and resizes that ignore the keys, Shift, the limits or Esc.
TEST_F(WindowTest, KeyboardMoveAndResize) {
    struct tCase {
        const char* Name;
        std::vector<TEventRec> Keys;
        tRect Expected;
    } cases[] = {
        {"move right twice, down once",
         {Key(kKeyRight), Key(kKeyRight), Key(kKeyDown), Key(kKeyEnter)},
         MakeRect(12, 6, 42, 16)},
        {"Shift grows",
         {Key(kKeyRight, shiftLeft), Key(kKeyDown, shiftRight), Key(kKeyEnter)},
         MakeRect(10, 5, 41, 16)},
        {"Esc puts it back",
         {Key(kKeyRight), Key(kKeyDown), Key(kKeyEsc)},
         MakeRect(10, 5, 40, 15)},
        {"the top row stays inside",
         {Key(kKeyPgUp), Key(kKeyUp), Key(kKeyEnter)},
         MakeRect(10, 0, 40, 10)},
        {"Home and End jump to the edges", {Key(kKeyEnd), Key(kKeyEnter)}, MakeRect(50, 5, 80, 15)},
    };
    for (const tCase& c : cases) {
        tWindow* window = AddWindow(MakeRect(10, 5, 40, 15));
        Root->Script.assign(c.Keys.begin(), c.Keys.end());
        TEventRec resize = Message(evtCommand, cmdResize);
        window->HandleEvent(resize);
        EXPECT_EQ(resize.what, evtNothing) << c.Name << ": consumed";
        EXPECT_EQ(window->BoundsRect(), c.Expected) << c.Name;
        EXPECT_FALSE(window->HasState(ViewState::Dragging)) << c.Name;
        FreeObject(window);
    }
}

// Catches Tab and Shift+Tab walking the ring the wrong way (Tab goes in creation order).
TEST_F(WindowTest, TabWalksInCreationOrder) {
    tWindow* window = AddWindow(MakeRect(0, 0, 40, 10));
    auto* a = new tView(MakeRect(2, 2, 10, 3));
    auto* b = new tView(MakeRect(2, 4, 10, 5));
    a->OptionFlags |= ViewOption::Selectable;
    b->OptionFlags |= ViewOption::Selectable;
    window->InsertView(a);
    window->InsertView(b);
    window->SetCurrentView(a, tSelectMode::Normal);
    struct tStep {
        std::uint16_t Key;
        std::uint16_t Posted;
        tView* Then;
    } steps[] = {{kKeyTab, cmdNextControl, b},
                 {kKeyTab, cmdNextControl, a},
                 {kKeyShiftTab, cmdPrevControl, b}};
    for (const tStep& step : steps) {
        Root->Posted.clear();
        TEventRec key = Key(step.Key);
        window->HandleEvent(key);
        EXPECT_EQ(key.what, evtNothing) << "the key is consumed";
        ASSERT_EQ(Root->Posted.size(), 1u);
        EXPECT_EQ(Root->Posted[0].message.command, step.Posted);
        TEventRec posted = Root->Posted[0];
        window->HandleEvent(posted);
        EXPECT_EQ(window->CurrentView, step.Then);
    }
}

// Catches window numbers that select the wrong window or are collected from modal windows.
TEST_F(WindowTest, WindowNumbers) {
    tWindow* one = AddWindow(MakeRect(0, 0, 30, 10), 1);
    tWindow* two = AddWindow(MakeRect(30, 0, 60, 10), 2);
    tWindow* modal = AddWindow(MakeRect(0, 10, 30, 20), 3);
    modal->StateFlags |= ViewState::Modal;
    AddWindow(MakeRect(30, 10, 60, 20), 0);
    std::uint8_t numbers[10] = {};
    TEventRec collect = Message(evtBroadcast, cmdCollectWindowNumbers, numbers);
    Root->HandleEvent(collect);
    EXPECT_EQ(collect.what, evtBroadcast) << "every window answers: not consumed";
    EXPECT_EQ(std::vector<std::uint8_t>(numbers, numbers + 5),
              (std::vector<std::uint8_t>{0, 1, 1, 0, 0}))
        << "1 and 2 in use; the modal window's 3 is not counted";
    modal->StateFlags &= std::uint16_t(~ViewState::Modal);
    TEventRec select = Message(evtBroadcast, cmdSelectWindowNum, reinterpret_cast<void*>(1));
    Root->HandleEvent(select);
    EXPECT_EQ(select.what, evtNothing) << "consumed by window 1";
    EXPECT_EQ(Root->CurrentView, one);
    EXPECT_NE(Root->CurrentView, two);
}

// Catches the window commands left on for a window that is no longer selected, or enabled
// for abilities the window lacks.
TEST_F(WindowTest, CommandSetFollowsSelection) {
    tWindow* first = AddWindow(MakeRect(0, 0, 30, 10));
    for (std::uint16_t command : {cmdClose, cmdZoom, cmdResize, cmdNext, cmdPrev})
        EXPECT_TRUE(IsCommandOn(command)) << "command " << command << " with a full window";
    auto* second = new tWindow(MakeRect(30, 0, 60, 10), "", 0);
    second->WindowFlags = WindowFlag::CanMove | WindowFlag::CanClose;
    Root->InsertView(second);
    EXPECT_TRUE(second->HasState(ViewState::Active));
    EXPECT_FALSE(first->HasState(ViewState::Active));
    EXPECT_TRUE(IsCommandOn(cmdClose));
    EXPECT_FALSE(IsCommandOn(cmdZoom)) << "the selected window cannot zoom";
    FreeObject(second);
    FreeObject(first);
    for (std::uint16_t command : {cmdClose, cmdZoom, cmdResize, cmdNext, cmdPrev})
        EXPECT_FALSE(IsCommandOn(command)) << "command " << command << " with no window left";
}

// Catches tInsert reversing creation order, the frame not kept last, or scroll bars placed
// off the window's edges.
TEST_F(WindowTest, InsertionOrderAndScrollBars) {
    tWindow window(MakeRect(0, 0, 30, 10), "", 0);
    auto* a = new tView(MakeRect(1, 1, 5, 2));
    auto* b = new tView(MakeRect(1, 2, 5, 3));
    window.tInsert(a);
    window.tInsert(b);
    EXPECT_EQ(window.FirstView(), a);
    EXPECT_EQ(a->Following(), b);
    EXPECT_EQ(b->Following(), window.Frame) << "the frame stays last";
    tScrollBar* vertical = window.AddScrollBar(ScrollBarOption::Vertical);
    tScrollBar* horizontal = window.AddScrollBar(ScrollBarOption::HandleKeys);
    EXPECT_EQ(vertical->BoundsRect(), MakeRect(29, 1, 30, 9));
    EXPECT_EQ(horizontal->BoundsRect(), MakeRect(2, 9, 28, 10));
    EXPECT_FALSE(vertical->HasOption(ViewOption::PostProcess));
    EXPECT_TRUE(horizontal->HasOption(ViewOption::PostProcess)) << "takes keys";
    EXPECT_EQ(window.FirstView(), horizontal) << "bars go in front";
}

// Catches a scheme mapped to the wrong palette, or a damaged scheme number read out of range.
TEST_F(WindowTest, SchemePalettes) {
    struct tCase {
        std::int16_t Scheme;
        std::uint8_t Passive; // index 1: the application palette's entry 8, 16 or 24
        std::uint8_t Active;  // index 2: entry 9, 17 or 25
    } cases[] = {{WindowScheme::Blue, 0x17, 0x1F},
                 {WindowScheme::Cyan, 0x37, 0x3F},
                 {WindowScheme::Gray, 0x70, 0x7F},
                 {9, 0x17, 0x1F}};
    tWindow* window = AddWindow(MakeRect(0, 0, 30, 10));
    for (const tCase& c : cases) {
        window->ColorScheme = c.Scheme;
        EXPECT_EQ(window->MapColor(1), c.Passive) << "scheme " << c.Scheme;
        EXPECT_EQ(window->MapColor(2), c.Active) << "scheme " << c.Scheme;
        EXPECT_EQ(window->MapColor(13), 0x1B) << "scheme " << c.Scheme;
        EXPECT_EQ(window->MapColor(14), ErrorAttr) << "past the window palette";
    }
}

// A window with every piece of the family, the scroller and list viewer referring to bars.
struct tStoredWindow {
    tObjectPtr<tWindow> Window;
    tScrollBar* VBar;
    tScrollBar* HBar;
    tScroller* Scroller;
    tListViewer* List;

    tStoredWindow() : Window(MakeObject<tWindow>(MakeRect(10, 5, 50, 20), "Окно"_oem, 4)) {
        Window->ColorScheme = WindowScheme::Cyan;
        Window->WindowFlags = WindowFlag::CanMove | WindowFlag::CanClose;
        Window->ZoomRect = MakeRect(1, 2, 3, 4);
        VBar = Window->AddScrollBar(ScrollBarOption::Vertical);
        HBar = Window->AddScrollBar(0);
        // The list viewer refers to a bar that comes later in the stream.
        List = new tListViewer(MakeRect(1, 1, 20, 8), 2, nullptr, VBar);
        Window->tInsert(List);
        Scroller = new tScroller(MakeRect(20, 1, 38, 8), HBar, VBar);
        Window->InsertView(Scroller);
        Window->InsertView(new tIndicator(MakeRect(2, 14, 14, 15)));
    }
    std::vector<std::uint8_t> Bytes() {
        tMemoryStream s;
        Put(s, Window.get());
        EXPECT_EQ(s.Status, stOk);
        return s.Bytes();
    }
};

class WindowStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterViewStreamClasses();
        RegisterWindowStreamClasses();
    }
    void TearDown() override { ClearError(); }
};

// Catches window fields, the frame reference or the bar references lost in a round trip.
TEST_F(WindowStreamTest, RoundTripKeepsFrameAndPeers) {
    tStoredWindow stored;
    tMemoryStream s(stored.Bytes());
    tObjectPtr<tSObject> object(Get(s));
    ASSERT_EQ(s.Status, stOk);
    auto* window = dynamic_cast<tWindow*>(object.get());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Title, "Окно"_oem);
    EXPECT_EQ(window->Number, 4);
    EXPECT_EQ(window->ColorScheme, WindowScheme::Cyan);
    EXPECT_EQ(window->WindowFlags, WindowFlag::CanMove | WindowFlag::CanClose);
    EXPECT_EQ(window->ZoomRect, MakeRect(1, 2, 3, 4));
    EXPECT_EQ(window->BoundsRect(), MakeRect(10, 5, 50, 20));
    ASSERT_NE(window->Frame, nullptr);
    EXPECT_EQ(window->IndexOfView(window->Frame), window->IndexOfView(window->LastView))
        << "the frame found again among the window's own subviews";
    int index = 1;
    for (tView* v = window->FirstView(); v != nullptr; v = v->Following(), ++index)
        EXPECT_EQ(typeid(*v), typeid(*stored.Window->ViewAt(index))) << "subview " << index;
    auto* scroller =
        dynamic_cast<tScroller*>(window->ViewAt(stored.Window->IndexOfView(stored.Scroller)));
    auto* list =
        dynamic_cast<tListViewer*>(window->ViewAt(stored.Window->IndexOfView(stored.List)));
    ASSERT_NE(scroller, nullptr);
    ASSERT_NE(list, nullptr);
    tView* vBar = window->ViewAt(stored.Window->IndexOfView(stored.VBar));
    tView* hBar = window->ViewAt(stored.Window->IndexOfView(stored.HBar));
    EXPECT_EQ(scroller->HBar, hBar);
    EXPECT_EQ(scroller->VBar, vBar);
    EXPECT_EQ(list->VBar, vBar) << "a reference to a later subview";
    EXPECT_EQ(list->HBar, nullptr);
    EXPECT_EQ(list->ColumnCount, 2);
    FreeObject(vBar);
    EXPECT_EQ(scroller->VBar, nullptr) << "loaded peers are watched too";
    EXPECT_EQ(list->VBar, nullptr);
}

// Catches a frame index out of range, negative or naming something that is not a frame
// being trusted (a crash, or a window with a dangling frame) instead of a stream error.
TEST_F(WindowStreamTest, BadFrameIndexIsAStreamError) {
    tStoredWindow stored;
    stored.Window->Number = 0x5A4B;
    stored.Window->ColorScheme = 0x2C3D;
    std::vector<std::uint8_t> good = stored.Bytes();
    const std::uint8_t marker[] = {0x4B, 0x5A, 0x3D, 0x2C};
    auto at = std::search(good.begin(), good.end(), std::begin(marker), std::end(marker));
    ASSERT_NE(at, good.end());
    std::size_t frameIndex = std::size_t(at - good.begin()) + 4;
    for (std::int16_t bad : {std::int16_t(99), std::int16_t(-1), std::int16_t(1)}) {
        std::vector<std::uint8_t> bytes = good;
        bytes[frameIndex] = std::uint8_t(bad);
        bytes[frameIndex + 1] = std::uint8_t(std::uint16_t(bad) >> 8);
        tMemoryStream s(bytes);
        tSObject* object = Get(s);
        EXPECT_EQ(object, nullptr) << "frame index " << bad;
        EXPECT_NE(s.Status, stOk) << "frame index " << bad;
        FreeObject(object);
        ClearError();
    }
}

// Catches a window cut anywhere in its record read as a half-built window or a crash.
TEST_F(WindowStreamTest, TruncatedStreamGivesNil) {
    tStoredWindow stored;
    std::vector<std::uint8_t> good = stored.Bytes();
    for (std::size_t length = 0; length < good.size(); ++length) {
        tMemoryStream s(std::span(good.data(), length));
        tSObject* object = Get(s);
        if (object == nullptr) {
            EXPECT_NE(s.Status, stOk) << "cut at " << length;
        }
        FreeObject(object);
        ClearError();
    }
}

} // namespace
} // namespace zarvo
