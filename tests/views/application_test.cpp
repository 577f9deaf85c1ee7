// The application over the headless console: its first screen, idle work throttled by
// injected clocks, the layout after the console's size changes, posted events, close
// requests and pending errors; the desktop's tiling, cascading, cycling and window numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/event_makers.h"
#include "console/headless/headless_host.h"
#include "console/key_codes.h"
#include "diagnostics/pending_error.h"
#include "library/clocks.h"
#include "library/object_stream_buffer.h"
#include "platform/cp866.h"
#include "platform/interrupt_signals.h"
#include "platform/resources.h"
#include "views/application.h"
#include "views/clock_view.h"
#include "views/desktop.h"
#include "views/dialog.h"
#include "views/menu_bar.h"
#include "views/status_line_cache.h"
#include "views/text_message_box.h"
#include "views/window.h"

namespace zarvo {
namespace {

std::uint32_t gFakeTick = 0;
std::int32_t gFakeTime = 0;
std::uint32_t FakeTick() {
    return gFakeTick;
}
std::int32_t FakeTime() {
    return gFakeTime;
}

constexpr std::int32_t kStartTime = 12 * 3600 + 34 * 60 + 56; // 12:34:56

std::vector<std::uint8_t> ItemBytes(tStatusItemPtr items) {
    tMemoryStream stream;
    WriteStatusItems(stream, items.get());
    return stream.Bytes();
}

std::string ResourceName(std::string_view hint) {
    return std::string(kStatusLineResourcePrefix) + std::string(hint);
}

class ApplicationTest : public ::testing::Test {
  protected:
    static constexpr int kCols = 40;
    static constexpr int kRows = 12;

    ApplicationTest() : Screen(kCols, kRows) {}
    void SetUp() override {
        InputList.Clear();
        gFakeTick = 100000;
        gFakeTime = kStartTime;
        SetClockSources(&FakeTick, &FakeTime);
        SetApplicationTick(&FakeTick);
        StartStatusLineCache();
        static const std::vector<std::uint8_t> desk =
            ItemBytes(NewStatusKey("~Alt+X~ Выход"_oem, kKeyAltX, cmdQuit));
        static const std::vector<std::uint8_t> window =
            ItemBytes(NewStatusKey("~Esc~ Отмена"_oem, 0, cmdCancel));
        RegisterResource(ResourceName(kDeskTopHint), kFrameworkResourceType, desk);
        RegisterResource(ResourceName(kWindowHint), kFrameworkResourceType, window);
        HookBefore = MessageBoxHook;
        App = MakeObject<TApplication>();
        App->Start();
    }
    void TearDown() override {
        App.reset();
        StopStatusLineCache();
        UnregisterResource(ResourceName(kDeskTopHint), kFrameworkResourceType);
        UnregisterResource(ResourceName(kWindowHint), kFrameworkResourceType);
        SetClockSources(nullptr, nullptr);
        SetApplicationTick(nullptr);
        RestoreCommandSet(InitialCommandSet());
        CommandSetChanged = false;
        ClearError();
        InputList.Clear();
    }
    std::vector<std::string> Grid() {
        Screen.Pump();
        std::vector<std::string> out;
        for (int y = 0; y < Screen.Host().Rows(); ++y) {
            std::string row;
            for (int x = 0; x < Screen.Host().Cols(); ++x)
                AppendUtf8(row, Cp866ToGlyph(CellChar(Screen.Host().CellAt(x, y))));
            out.push_back(row);
        }
        return out;
    }
    // The console's own cells: what the host is told to show, at the console's size.
    static std::vector<std::string> ConsoleGrid() {
        auto* console = static_cast<tDriversConsole*>(CurrentConsole);
        std::vector<std::string> out;
        for (int y = 0; y < console->Rows; ++y) {
            std::string row;
            for (int x = 0; x < console->Cols; ++x)
                AppendUtf8(row, Cp866ToGlyph(CellChar(console->CellAt(x, y))));
            out.push_back(row);
        }
        return out;
    }
    std::uint8_t AttrAt(int x, int y) {
        Screen.Pump();
        return CellAttr(Screen.Host().CellAt(x, y));
    }
    // One idle round with the status line's own interval passed.
    bool Idle() {
        if (gStatusLine != nullptr)
            gStatusLine->LastIdleTime = GetTickCount32() - kStatusIdleInterval - 1;
        return App->NotifyIdle();
    }
    tWindow* AddWindow(const tRect& bounds, bool numbered = true) {
        auto* window = new tWindow(bounds, "W", 0);
        window->OptionFlags |= ViewOption::Tileable;
        gDeskTop->InsertDesktop(window, numbered);
        return window;
    }
    static std::string Repeat(std::string_view s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += s;
        return out;
    }

    tHeadlessConsole Screen;
    tObjectPtr<TApplication> App;
    tMessageBoxHook HookBefore = nullptr;
};

// Catches a wrong layout of the first screen: menu bar, clock corner, desktop pattern or an
// empty status line where the desktop's keys belong.
TEST_F(ApplicationTest, FirstScreen) {
    Idle();
    std::vector<std::string> want;
    want.push_back(std::string(31, ' ') + "12:34:56 ");
    for (int y = 1; y < kRows - 1; ++y)
        want.push_back(Repeat("░", kCols));
    want.push_back(" Alt+X Выход" + std::string(kCols - 12, ' '));
    EXPECT_EQ(Grid(), want) << "expected bar, clock, pattern and the desktop's keys";
    EXPECT_EQ(AttrAt(5, 5), 0x71) << "expected the pattern blue on light grey";
    EXPECT_EQ(AttrAt(35, 0), 0x70) << "expected the clock in the bar's colour";
    EXPECT_EQ(App->Clock->Width, 9);
    EXPECT_EQ(gDeskTop->HelpTopic, kDeskTopHelpTopic);
    EXPECT_EQ(ScreenRoot, App.get());
}

// Catches idle work that is not throttled (the clock redrawn within a second, commands
// updated on every tick) or never done once the interval passed.
TEST_F(ApplicationTest, IdleWorkFollowsTheInjectedClocks) {
    Idle();
    ASSERT_FALSE(IsCommandOn(cmdTile)) << "expected tiling off without windows";
    AddWindow(MakeRect(1, 1, 20, 8));
    struct tStep {
        std::uint32_t Ticks;  // milliseconds passed
        std::int32_t Seconds; // local time passed
        const char* Clock;
        bool TileOn;
    };
    const tStep steps[] = {
        {50, 1, "12:34:56", false},  // too soon for either
        {60, 0, "12:34:57", false},  // the clock looks again; the commands wait for 200 ms
        {100, 0, "12:34:57", true},  // the same second: no redraw; commands updated
        {100, -3, "12:34:54", true}, // the time set back is shown too
    };
    for (const tStep& step : steps) {
        gFakeTick += step.Ticks;
        gFakeTime += step.Seconds;
        Idle();
        EXPECT_EQ(Grid()[0].substr(31, 8), step.Clock) << "after " << step.Ticks << " ms";
        EXPECT_EQ(IsCommandOn(cmdTile), step.TileOn) << "after " << step.Ticks << " ms";
    }
    EXPECT_TRUE(IsCommandOn(cmdWindowSelected)) << "expected the selected window noticed";
    gFakeTick += 1;
    EXPECT_FALSE(App->Clock->Tick()) << "expected no clock work within its poll interval";
}

// Counts the command-set broadcasts that reach it.
class tCommandsWatcher : public tView {
  public:
    explicit tCommandsWatcher(const tRect& bounds) : tView(bounds) { AcceptMask |= evtBroadcast; }
    void HandleEvent(TEventRec& event) override {
        if (event.what == evtBroadcast && event.message.command == cmdCommandsChanged)
            ++Heard;
    }
    int Heard = 0;
};

// Catches a change of the enabled commands not announced to the views, or announced again on
// every idle tick.
TEST_F(ApplicationTest, CommandChangesAnnouncedOnce) {
    auto* watcher = new tCommandsWatcher(MakeRect(0, 0, 1, 1));
    App->tInsert(watcher);
    Idle();
    watcher->Heard = 0;
    ASSERT_FALSE(CommandSetChanged);
    EnableCommandSet({cmdZoom});
    EXPECT_TRUE(Idle()) << "expected the announcement counted as work";
    EXPECT_EQ(watcher->Heard, 1) << "expected one broadcast";
    Idle();
    EXPECT_EQ(watcher->Heard, 1) << "expected no broadcast without a change";
}

// Catches a console size change that leaves the bar, clock, desktop or status line where
// they were, or a window that does not grow with the desktop beyond its new edges.
TEST_F(ApplicationTest, NewConsoleSizeLaysOutAgain) {
    struct tCase {
        int Cols, Rows;
    };
    tWindow* fixed = AddWindow(MakeRect(25, 6, 37, 10));
    fixed->GrowFlags = 0;
    for (tCase c : {tCase{60, 15}, tCase{30, 8}, tCase{40, 12}}) {
        static_cast<tDriversConsole*>(CurrentConsole)->Resize(c.Cols, c.Rows);
        Idle();
        EXPECT_EQ(App->Width, c.Cols);
        EXPECT_EQ(gMenuBar->BoundsRect(), MakeRect(0, 0, c.Cols - 9, 1)) << c.Cols;
        EXPECT_EQ(App->Clock->BoundsRect(), MakeRect(c.Cols - 9, 0, c.Cols, 1)) << c.Cols;
        EXPECT_EQ(gDeskTop->BoundsRect(), MakeRect(0, 1, c.Cols, c.Rows - 1)) << c.Cols;
        EXPECT_EQ(gStatusLine->BoundsRect(), MakeRect(0, c.Rows - 1, c.Cols, c.Rows)) << c.Cols;
        EXPECT_LE(fixed->Left + fixed->Width, gDeskTop->Width) << "window off the desktop";
        EXPECT_LE(fixed->Top + fixed->Height, gDeskTop->Height) << "window off the desktop";
        std::vector<std::string> grid = ConsoleGrid();
        ASSERT_EQ(grid.size(), std::size_t(c.Rows));
        EXPECT_EQ(grid[0].substr(std::size_t(c.Cols - 9)), "12:34:56 ") << c.Cols;
        EXPECT_EQ(grid[1], Repeat("░", c.Cols)) << c.Cols;
        EXPECT_EQ(grid[std::size_t(c.Rows) - 1].substr(0, 17), " Esc Отмена")
            << c.Cols << ": expected the focused window's keys";
    }
}

// Catches posted events delivered oldest first, an unbounded store, or a close request that
// does not end the application's run.
TEST_F(ApplicationTest, PostedEventsAndCloseRequests) {
    TEventRec first, second, got;
    first.what = evtCommand, first.message.command = 300;
    second.what = evtCommand, second.message.command = 301;
    App->PostEvent(first);
    App->PostEvent(second);
    App->FetchEvent(got, false);
    EXPECT_EQ(got.message.command, 301) << "expected the newest first";
    App->FetchEvent(got, false);
    EXPECT_EQ(got.message.command, 300);
    for (std::size_t i = 0; i < kMaxPendingEvents + 5; ++i)
        App->PostEvent(first);
    EXPECT_EQ(App->Pending.size(), kMaxPendingEvents) << "expected the oldest dropped";
    App->Pending.clear();
    while (CurrentConsole->HasQueued()) {
        TConsoleMsg drop;
        CurrentConsole->TakeMessage(drop);
    }

    Screen.Feed(TConsoleMsg{WM_CLOSE, 0, 0, 0});
    App->ModalResult = 0;
    App->FetchEvent(got, false);
    EXPECT_EQ(App->ModalResult, cmdQuit) << "expected the close request to end the run";
}

// Catches a close request that waits for an open dialog to end (forever, when the window or
// its display is gone), and a dialog opened after a shutdown request holding the end up.
TEST_F(ApplicationTest, CloseAndShutdownEndModalRuns) {
    tObjectPtr<tDialog> dialog = MakeObject<tDialog>(MakeRect(0, 0, 20, 6), "D");
    Screen.Feed(TConsoleMsg{WM_CLOSE, 0, 0, 0});
    EXPECT_EQ(gDeskTop->RunView(dialog.get()), cmdCancel) << "expected the close to end it";
    EXPECT_FALSE(ShutdownRequested()) << "a close button is not a shutdown";
    Screen.Feed(TConsoleMsg{WM_QUERYENDSESSION, 0, 0, 0});
    EXPECT_EQ(gDeskTop->RunView(dialog.get()), cmdCancel);
    EXPECT_TRUE(ShutdownRequested());
    EXPECT_EQ(gDeskTop->RunView(dialog.get()), cmdCancel) << "expected a later run to end at once";
    ResetInterruptState();
}

// Catches questions not shown as the text UI's box while the application exists, or the
// hook not given back when it ends.
TEST_F(ApplicationTest, MessageBoxIsTheTextBoxWhileTheApplicationLives) {
    EXPECT_EQ(MessageBoxHook, &TextModeMessageBox);
    Screen.Feed(TConsoleMsg{WM_KEYDOWN, VK_ESCAPE, MakeKeyData(0x01), 0});
    EXPECT_EQ(MessageBoxCall("Question?", mbConfirmation | mbYes | mbNo), cmdCancel)
        << "expected the box run on the application's input and Esc to cancel it";
    App.reset();
    EXPECT_EQ(MessageBoxHook, HookBefore) << "expected the previous hook back";
}

// Catches an application that fails without a console, or loses the events posted to it
// there (no wake record would ever fetch them).
TEST(ApplicationWithoutConsole, BuildsAndStillDeliversPostedEvents) {
    tConsoleClass saved = ConsoleClass;
    ConsoleClass = nullptr;
    {
        auto app = MakeObject<TApplication>();
        app->Start();
        EXPECT_EQ(CurrentConsole, nullptr);
        ASSERT_NE(gDeskTop, nullptr) << "expected the desktop made all the same";
        TEventRec posted, got;
        posted.what = evtCommand;
        posted.message.command = 300;
        app->PostEvent(posted);
        app->FetchEvent(got, true);
        EXPECT_EQ(got.message.command, 300) << "expected the posted event without a wake record";
        app->FetchEvent(got, true);
        EXPECT_EQ(got.what, evtNothing) << "expected nothing more";
    }
    ConsoleClass = saved;
    EXPECT_EQ(gApplication, nullptr);
}

int gReports = 0;
// Catches the status line not seeing keys before the views (Alt+X would not quit), or a
// run of the application that does not end on a close request while it waits for input.
TEST_F(ApplicationTest, KeysReachTheStatusLineAndCloseEndsTheRun) {
    Idle();
    TEventRec got;
    App->PostEvent(KeyEvent(kKeyAltX));
    App->FetchEvent(got, false);
    EXPECT_EQ(got.what, evtCommand) << "expected Alt+X turned into a command";
    EXPECT_EQ(got.message.command, cmdQuit);

    Screen.Feed(TConsoleMsg{WM_CLOSE, 0, 0, 0});
    EXPECT_EQ(App->ExecuteApp(), cmdQuit) << "expected the waiting run ended by the close";
}

void RecordReport(ESException&) {
    ++gReports;
}

// Catches a pending error left unreported after an event, or reported while disabled.
TEST_F(ApplicationTest, PendingErrorReportedAfterTheNextEvent) {
    tErrorHook saved = gErrorReportHook;
    gErrorReportHook = &RecordReport;
    gReports = 0;
    TEventRec event;
    ReportsDisabled = true;
    PostAppError(1, "failed");
    App->EventDone(event);
    EXPECT_EQ(gReports, 0) << "expected no report while reports are disabled";
    ReportsDisabled = false;
    App->EventDone(event);
    EXPECT_EQ(gReports, 1) << "expected one report";
    EXPECT_FALSE(IsErrorPending()) << "expected the error cleared";
    gErrorReportHook = saved;
}

// Catches tiles or cascade offsets that differ from the grid the window count calls for.
TEST_F(ApplicationTest, TileAndCascade) {
    struct tCase {
        int Windows;
        bool Cascade;
        std::vector<tRect> Want; // front window first
    };
    const tRect area = gDeskTop->ExtentRect(); // 40 x 10
    const tCase cases[] = {
        {3, false, {MakeRect(0, 6, 40, 10), MakeRect(0, 3, 40, 6), MakeRect(0, 0, 40, 3)}},
        {5,
         false,
         {MakeRect(20, 6, 40, 10), MakeRect(20, 3, 40, 6), MakeRect(20, 0, 40, 3),
          MakeRect(0, 5, 20, 10), MakeRect(0, 0, 20, 5)}},
        {4,
         true,
         {MakeRect(3, 3, 40, 10), MakeRect(2, 2, 40, 10), MakeRect(1, 1, 40, 10),
          MakeRect(0, 0, 40, 10)}},
    };
    for (const tCase& c : cases) {
        while (gDeskTop->FirstView() != gDeskTop->Background)
            FreeObject(gDeskTop->FirstView());
        std::vector<tWindow*> windows;
        for (int i = 0; i < c.Windows; ++i)
            windows.insert(windows.begin(), AddWindow(MakeRect(2, 2, 20, 8)));
        if (c.Cascade)
            gDeskTop->Cascade(area);
        else
            gDeskTop->Tile(area);
        for (std::size_t i = 0; i < windows.size(); ++i)
            EXPECT_EQ(windows[i]->BoundsRect(), c.Want[i]) << c.Windows << " windows, #" << i;
    }
    tRect before = gDeskTop->FirstView()->BoundsRect();
    gDeskTop->Tile(MakeRect(0, 0, 1, 1));
    gDeskTop->Cascade(MakeRect(0, 0, 5, 5));
    EXPECT_EQ(gDeskTop->FirstView()->BoundsRect(), before)
        << "expected a too small area to change nothing";
}

// Catches cmdNext or cmdPrev choosing the wrong window or sending one behind the background.
TEST_F(ApplicationTest, NextAndPrevCycleTheWindows) {
    tWindow* a = AddWindow(MakeRect(0, 0, 20, 6));
    tWindow* b = AddWindow(MakeRect(5, 2, 25, 8));
    tWindow* c = AddWindow(MakeRect(10, 4, 30, 10));
    a->SelectView();
    ASSERT_EQ(gDeskTop->FirstView(), a); // a, c, b from the front
    TEventRec next;
    next.what = evtCommand, next.message.command = cmdNext;
    gDeskTop->HandleEvent(next);
    EXPECT_EQ(next.what, evtNothing) << "expected cmdNext taken";
    EXPECT_EQ(gDeskTop->CurrentView, b) << "expected the back window brought forward";
    EXPECT_EQ(gDeskTop->FirstView(), b);
    TEventRec prev;
    prev.what = evtCommand, prev.message.command = cmdPrev;
    gDeskTop->HandleEvent(prev);
    EXPECT_EQ(prev.what, evtNothing) << "expected cmdPrev taken";
    EXPECT_EQ(gDeskTop->LastView, gDeskTop->Background) << "expected the background last";
    EXPECT_EQ(gDeskTop->Background->Predecessor(), b) << "expected b just in front of it";
    static_cast<void>(c);
}

// Catches a taken number handed out again, a full set that does not raise the limit, or a
// window numbered past the limit writing outside the collection buffer.
TEST_F(ApplicationTest, FirstWindowNumber) {
    auto add = [](std::int16_t n) {
        auto* w = new tWindow(MakeRect(0, 0, 10, 5), "N", n);
        w->AcceptMask |= evtBroadcast;
        gDeskTop->InsertView(w);
    };
    for (std::int16_t n : {1, 2, 4, 40, 30000})
        add(n);
    EXPECT_EQ(gDeskTop->FirstWindowNumber(), 3);
    for (std::int16_t n : {3, 5, 6, 7, 8, 9})
        add(n);
    EXPECT_EQ(gDeskTop->FirstWindowNumber(), 10) << "expected the old limit when all are taken";
    EXPECT_EQ(WindowNumberLimit, 11) << "expected the limit raised";
    WindowNumberLimit = 10;
    tWindow* numbered = AddWindow(MakeRect(0, 0, 10, 5));
    EXPECT_EQ(numbered->Number, 10);
    EXPECT_NE(numbered->AcceptMask & evtBroadcast, 0)
        << "expected a numbered window to hear broadcasts";
    WindowNumberLimit = 10;
}

} // namespace
} // namespace zarvo
