// The shared host logic through the headless console: the input queue with repeat counts
// and wake-ups, close requests, cells and dirty flags, the draw lock's single repaint, the
// painted-cell count, the cursor and console activation.
#include "console/drivers_console.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "console/headless/headless_host.h"
#include "console/key_codes.h"

namespace zarvo {
namespace {

TConsoleMsg Key(std::uint32_t vk, std::uint8_t scan, std::uint16_t repeat = 1) {
    return {WM_KEYDOWN, vk, MakeKeyData(scan, repeat), 0};
}

class DriversConsoleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        InputList.Clear();
        DropThreadMessages();
        StartConsoleDriver();
        Console().Activate();
        Screen.Pump();
        Screen.Host().ResetPaintCount();
    }
    void TearDown() override {
        StopConsoleDriver();
        InputList.Clear();
        DropThreadMessages();
    }
    // The wake-ups left on this thread's queue by an earlier test.
    static void DropThreadMessages() {
        tThreadMessage message;
        while (PeekThreadMessage(message, true)) {
        }
    }
    static std::size_t WakeCount() { return ThreadMessageCount(CurrentThreadQueue()); }
    tDriversConsole& Console() { return *static_cast<tDriversConsole*>(CurrentConsole); }
    // One draw bracket, as a view makes it.
    void Draw(int x, int y, std::vector<std::uint16_t> cells) {
        tScreenDrawBracket bracket(this);
        Console().WriteCells(x, y, cells.data(), int(cells.size()));
    }
    TEventRec Read() {
        TEventRec event;
        ReadConsoleEvent(event, false);
        return event;
    }

    tHeadlessConsole Screen;
};

// Catches a held key's repeat count being lost or handed out as one event.
TEST_F(DriversConsoleTest, RepeatCountGivesOneEventPerRepeat) {
    Screen.Feed(Key(VK_DOWN, 0x50, 3));
    Screen.Feed(Key(VK_UP, 0x48));
    for (int i = 0; i < 3; ++i) {
        TEventRec event = Read();
        ASSERT_EQ(event.what, evtKeyDown) << "repeat " << i;
        EXPECT_EQ(event.key.keyCode, kKeyDown) << "repeat " << i;
    }
    EXPECT_EQ(Read().key.keyCode, kKeyUp) << "the next record after the repeats";
    EXPECT_EQ(Read().what, evtNothing) << "then nothing, without waiting";
}

// Catches a wake message for every record instead of only when the queue was empty.
TEST_F(DriversConsoleTest, WakeOnlyWhenTheQueueWasEmpty) {
    Screen.Feed(Key('A', 0x1E));
    Screen.Feed(Key('B', 0x30));
    Screen.Feed(Key('C', 0x2E));
    EXPECT_EQ(WakeCount(), 1u) << "one wake for three records";
    EXPECT_EQ(InputList.Count(), 3u);
    while (Read().what != evtNothing) {
    }
    EXPECT_EQ(WakeCount(), 0u) << "the reader drains the wake";
    Screen.Feed(Key('D', 0x20));
    EXPECT_EQ(WakeCount(), 1u) << "empty again, so a new wake";
}

// Catches close requests reaching the event stream, going unanswered, or a second one
// overtaking the first.
TEST_F(DriversConsoleTest, CloseRequestIsForwardedAndAnswered) {
    std::vector<std::uint32_t> seen;
    Console().OnMessage = [&](TConsoleMsg& msg) {
        if (msg.message != WM_TIMER) {
            seen.push_back(msg.message);
            Console().CloseAnswer = 7;
        }
    };
    Screen.Form().ForwardCloseRequest(WM_CLOSE);
    EXPECT_TRUE(Screen.Form().ClosePending());
    EXPECT_EQ(Screen.Form().LastCloseAnswer(), -1) << "waiting for the answer";
    Screen.Form().ForwardCloseRequest(WM_QUERYENDSESSION);
    EXPECT_EQ(InputList.Count(), 1u) << "a second request while one is forwarded is dropped";

    EXPECT_EQ(Read().what, evtNothing) << "the request goes to OnMessage, not to the views";
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], WM_CLOSE);
    Screen.Pump();
    EXPECT_FALSE(Screen.Form().ClosePending());
    EXPECT_EQ(Screen.Form().LastCloseAnswer(), 7);

    Screen.Form().ForwardCloseRequest(WM_QUERYENDSESSION);
    EXPECT_EQ(InputList.Count(), 1u) << "after the answer a new request is forwarded";
}

// Catches the own stack read oldest first, or taking priority over nothing.
TEST_F(DriversConsoleTest, OwnStackIsNewestFirstAndBeforeInput) {
    Screen.Feed(Key(VK_HOME, 0x47));
    Console().PutMessage(Key(VK_LEFT, 0x4B));
    Console().PutMessage(Key(VK_RIGHT, 0x4D));
    EXPECT_EQ(Read().key.keyCode, kKeyRight);
    EXPECT_EQ(Read().key.keyCode, kKeyLeft);
    EXPECT_EQ(Read().key.keyCode, kKeyHome);
}

// Catches an inactive console handing out input meant for the shown one.
TEST_F(DriversConsoleTest, SecondConsoleTakesOverAndFirstStopsReading) {
    tDriversConsole second;
    second.Activate();
    EXPECT_FALSE(Console().Active);
    EXPECT_EQ(ActiveConsole, &second);
    Screen.Feed(Key(VK_HOME, 0x47));
    EXPECT_EQ(Read().what, evtNothing) << "the inactive console reads nothing";
    TConsoleMsg msg;
    second.ReadMessage(false, msg);
    EXPECT_EQ(msg.message, WM_CAPTURECHANGED) << "the new console first sees the change";
    second.ReadMessage(false, msg);
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    Console().Activate();
}

// Catches one repaint per bracket instead of one outstanding, or a nested bracket posting.
TEST_F(DriversConsoleTest, DrawLockKeepsOneRepaintOutstanding) {
    {
        tScreenDrawBracket outer(this);
        {
            tScreenDrawBracket inner(this);
            std::uint16_t cell = 0x1E41;
            Console().WriteCells(0, 0, &cell, 1);
        }
        EXPECT_FALSE(Screen.Form().IsPosted(HM_REPAINT)) << "inner bracket posts nothing";
    }
    EXPECT_TRUE(Screen.Form().IsPosted(HM_REPAINT));
    Draw(1, 0, {0x1E42});
    Draw(2, 0, {0x1E43});
    Screen.Pump();
    EXPECT_EQ(Screen.Host().PaintCalls(), 1u) << "three brackets, one repaint";
    EXPECT_EQ(Screen.Host().CellAt(2, 0), 0x1E43);
    Draw(3, 0, {0x1E44});
    EXPECT_TRUE(Screen.Form().IsPosted(HM_REPAINT)) << "after a repaint the next change posts";
}

// Catches a closing call without an opening one leaving HostLock held for good (a checking
// build stops at it).
TEST_F(DriversConsoleTest, UnbalancedDrawLockDoesNotKeepTheLock) {
    EXPECT_DEBUG_DEATH(ScreenDrawLock(this), "draw bracket closed but never opened");
    bool locked = false;
    std::thread other([&] {
        locked = HostLock.try_lock();
        if (locked)
            HostLock.unlock();
    });
    other.join();
    EXPECT_TRUE(locked) << "HostLock free for the host thread";
}

// Catches unchanged cells being repainted: a one-cell change paints one cell, a full
// screen update paints each cell once, and rewriting the same cells paints nothing.
TEST_F(DriversConsoleTest, OnlyChangedCellsArePainted) {
    Draw(40, 12, {0x4F2A});
    Screen.Pump();
    EXPECT_EQ(Screen.Host().PaintedCells(), 1u);
    EXPECT_EQ(Screen.Host().CellAt(40, 12), 0x4F2A);

    Screen.Host().ResetPaintCount();
    {
        tScreenDrawBracket bracket(this);
        for (int y = 0; y < 25; ++y) {
            std::vector<std::uint16_t> row(80, std::uint16_t(0x1700 | ('a' + y)));
            Console().WriteCells(0, y, row.data(), 80);
        }
    }
    Screen.Pump();
    EXPECT_EQ(Screen.Host().PaintedCells(), 2000u);
    EXPECT_EQ(Screen.Host().PaintCalls(), 25u) << "one run per row";

    Screen.Host().ResetPaintCount();
    Draw(0, 0, std::vector<std::uint16_t>(80, 0x1761));
    Screen.Pump();
    EXPECT_EQ(Screen.Host().PaintedCells(), 0u) << "same contents, nothing to paint";
    EXPECT_EQ(Screen.Lines()[24], std::string(80, 'y'));
}

// Catches a write past the screen corrupting memory instead of being clipped (a checking
// build stops at each such write).
TEST_F(DriversConsoleTest, WriteCellsClipsToTheScreen) {
    std::vector<std::uint16_t> cells(10, 0x0758);
    {
        tScreenDrawBracket bracket(this);
        constexpr const char* kOutside = "cell write outside the screen";
        EXPECT_DEBUG_DEATH(Console().WriteCells(75, 24, cells.data(), 10), kOutside);
        EXPECT_DEBUG_DEATH(Console().WriteCells(-3, 0, cells.data(), 5), kOutside);
        EXPECT_DEBUG_DEATH(Console().WriteCells(0, 25, cells.data(), 10), kOutside);
        EXPECT_DEBUG_DEATH(Console().WriteCells(0, -1, cells.data(), 10), kOutside);
    }
#ifdef NDEBUG // a checking build stopped at each write; clipping is the release build's answer
    EXPECT_EQ(Console().CellAt(79, 24), 0x0758);
    EXPECT_EQ(Console().CellAt(1, 0), 0x0758);
    EXPECT_EQ(Console().CellAt(2, 0), 0) << "only the visible part of the second write";
#endif
}

// Catches a new screen size that loses the cells that still fit, leaves the text UI
// unaware of it, or goes below the smallest screen.
TEST_F(DriversConsoleTest, ScreenSizeFromTheHostResizesOnTheReadingThread) {
    Draw(3, 2, {0x1E41});
    Draw(79, 24, {0x1E42});
    std::vector<std::uint32_t> sizes;
    Console().OnMessage = [&sizes](TConsoleMsg& msg) {
        if (msg.message == WM_SIZE)
            sizes.push_back(msg.lParam);
    };
    struct tCase {
        int Cols, Rows;         // what the host asks for
        int WantCols, WantRows; // what the console takes
    };
    for (const tCase& c : {tCase{40, 10, 40, 10}, tCase{3, 2, 10, 5}}) {
        sizes.clear();
        PostThreadMessage(Console().ReaderQueue(),
                          {HM_SCREENSIZE, std::uintptr_t(c.Cols), std::intptr_t(c.Rows)});
        Read();
        EXPECT_EQ(Console().Cols, c.WantCols) << "asked for " << c.Cols << "x" << c.Rows;
        EXPECT_EQ(Console().Rows, c.WantRows) << "asked for " << c.Cols << "x" << c.Rows;
        ASSERT_EQ(sizes.size(), 1u) << "expected OnMessage to hear WM_SIZE once";
        EXPECT_EQ(sizes[0], std::uint32_t(c.WantCols) | std::uint32_t(c.WantRows) << 16)
            << "expected the new size in WM_SIZE";
        EXPECT_EQ(Console().CellAt(3, 2), 0x1E41) << "expected a cell that still fits kept";
    }
    Screen.Host().ResetPaintCount();
    Screen.Pump();
    EXPECT_EQ(Screen.Host().PaintedCells(), 50u) << "expected the whole 10 x 5 screen repainted";
}

// Catches the cursor request losing its position or shape on the way to the host.
TEST_F(DriversConsoleTest, CursorReachesTheHost) {
    Console().SetCursor(5, 7, 9);
    Screen.Pump();
    auto cursor = Screen.Host().Cursor();
    EXPECT_EQ(cursor.X, 5);
    EXPECT_EQ(cursor.Y, 7);
    EXPECT_EQ(cursor.Shape, 9);
    EXPECT_TRUE(cursor.Visible);
    Console().SetCursor(5, 7, 0x2000);
    Screen.Pump();
    EXPECT_FALSE(Screen.Host().Cursor().Visible) << "bit 0x2000 hides";
}

// Catches a waiting reader that never wakes for input from the host thread. Bounded: the
// idle handler feeds a key itself after about two seconds of ticks.
TEST_F(DriversConsoleTest, WaitingReaderWakesForInput) {
    int ticks = 0;
    Console().OnMessage = [&](TConsoleMsg& msg) {
        if (msg.message == WM_TIMER && ++ticks == 200)
            Screen.Feed(Key(VK_F12, 0x58));
    };
    std::thread host([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        Screen.Feed(Key(VK_F1, 0x3B));
    });
    TEventRec event;
    ReadConsoleEvent(event, true);
    host.join();
    EXPECT_EQ(event.key.keyCode, kKeyF1) << "the key fed from the other thread";
    EXPECT_GT(ticks, 0) << "idle ticks while waiting";
}

// Catches modifier sets of mouse records being read from the keyboard instead of wParam.
TEST_F(DriversConsoleTest, ShiftStateOfMouseAndKeys) {
    EXPECT_EQ(Console().ShiftStateOf({WM_LBUTTONDBLCLK, MK_LBUTTON | MK_SHIFT, 0, 0}),
              modLeft | modShift | modDouble);
    EXPECT_EQ(Console().ShiftStateOf({WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL | MK_MBUTTON, 0, 0}),
              modRight | modCtrl | modMiddle);
    Screen.Host().SetHeldModifiers(modAlt | modCtrl);
    EXPECT_EQ(Console().ShiftStateOf(Key('A', 0x1E)), modAlt | modCtrl);
}

} // namespace
} // namespace zarvo
