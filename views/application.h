// TApplication, the root group of the text UI: it covers the console, owns the desktop, the
// status line, the menu bar and the clock, ends every view's event fetch, runs the idle work
// and connects the views to the console. Also the pending-error report request.
#pragma once

#include <cstdint>
#include <deque>
#include <string_view>

#include "views/group.h"
#include "views/message_box_call.h"
#include "views/status_line.h"

namespace zarvo {

class TApplication;
class TDeskTop;
class TMenuBar;
class tClockView;

extern TApplication* gApplication;
extern TDeskTop* gDeskTop;
extern TStatusLine* gStatusLine;
extern TMenuBar* gMenuBar;
// Whether the application keeps a clock in the top-right corner.
extern bool ShowClock;

// The application's 94 colours, where every view's palette ends.
tPalette ApplicationPalette();

// The message box the application installs into MessageBoxHook while it exists (the
// text-mode box); null leaves the hook as it was.
extern tMessageBoxHook ApplicationMessageBox;

// Named events: the application run starting (global), the application's read of the next
// input (on the application; argument tFetchEventArgs*, default ReadConsoleEvent) and the
// request to report the pending error (global).
inline constexpr std::string_view evnApplicationRun = "KQ57V87TC";
inline constexpr std::string_view evnReadInput = "1AGAI7J5";
inline constexpr std::string_view evnReportRequest = "FG4XSRHDC";

// Status-line hints of the application's own views: the desktop, windows and dialogs (with
// their controls and boxes), and the progress window, whose Enter presses "Отмена" too.
inline constexpr std::string_view kDeskTopHint = "K4D8TQ2XN";
inline constexpr std::string_view kWindowHint = "W6PZ0R3JB";
inline constexpr std::string_view kProgressHint = "P3XW7RD4M";
inline constexpr std::uint16_t kFirstWindowContext = 900;
inline constexpr std::uint16_t kLastWindowContext = 1299;

// At most this many posted events are kept; the oldest gives way.
inline constexpr std::size_t kMaxPendingEvents = 1000;
// The desktop's command updater runs no more often than this.
inline constexpr std::uint32_t kDeskTopCommandInterval = 200;

// The millisecond tick the application's idle work is throttled by; tests put a fixed one
// in, null restores GetTickCount32.
using tApplicationTick = std::uint32_t (*)();
void SetApplicationTick(tApplicationTick tick);

class TApplication : public tGroup {
  public:
    // Starts the console driver and the input history; the views come with Start.
    TApplication();
    ~TApplication() override;

    // Builds the desktop, status line, menu bar and clock through the Init operations
    // (so a descendant's are used), paints the screen and shows it. Call once.
    void Start();

    tPalette GetPalette() const override;
    void PostEvent(const TEventRec& event) override;
    void ScreenWrite(int x, int y, const tCell* cells, int count) override;
    void ScreenCursor(int x, int y, int shape) override;
    // The read hook, then a posted event in place of the wake record, then the status line.
    void FetchEvent(TEventRec& event, bool wait) override;
    // cmdQuit ends the application's modal run.
    void HandleEvent(TEventRec& event) override;
    // Has a waiting pending error reported.
    void EventDone(TEventRec& event) override;

    virtual TDeskTop* InitDeskTop();
    // An empty bar over the top row less the clock's columns.
    virtual TMenuBar* InitMenuBar();
    virtual TStatusLine* InitStatusLine(tStatusDefPtr definitions);
    // The hint table by help context: the desktop and windows and dialogs.
    virtual tStatusDefPtr StatusLineDefs();
    void UpdateClock();
    std::uint16_t ExecuteApp();
    // True when some idle handler did work.
    bool NotifyIdle();
    void PreviewStatusLine(TEventRec& event);
    // The console's OnMessage: close requests, idle ticks, the new screen size, the wheel.
    void OnConsoleMessage(TConsoleMsg& msg);
    // Lays the application out over COLS x ROWS.
    void FitToConsole(int cols, int rows);
    // A turn of the mouse wheel (DELTA in kWheelStep units, up positive) at screen cell WHERE:
    // the list or scroller under it moves.
    void ScrollUnderMouse(std::int16_t delta, tPoint where);

    // Posted events, newest last.
    std::deque<TEventRec> Pending;
    tClockView* Clock = nullptr;
    // How many close requests were met (each ends every modal view inside): a stage that
    // must give up at a close compares it with the count at its start.
    std::uint32_t ClosesMet = 0;
    // While above 0 a close request is dropped: a question that only the operator may
    // answer is open. A shutdown is never dropped.
    int CloseHolds = 0;

  private:
    void CancelInnerModalViews();
    void InsertClock();
    void OnCommandsWatch(EventFrame& frame);
    void OnDeskTopCommands(EventFrame& frame);
    void OnReportRequest(EventFrame& frame);

    tMessageBoxHook m_SavedMessageBox = nullptr;
    tGroup* m_SavedBoxRunner = nullptr;
    tView* m_SavedBoxDesktop = nullptr;
    bool m_Started = false;
    bool m_Watching = false;
    bool m_Updating = false;
    std::uint32_t m_LastCommandUpdate = 0;
    bool m_CommandsUpdated = false;
};

// Holds close requests off (TApplication::CloseHolds) while it lives; nothing without an
// application.
class tCloseRequestHold {
  public:
    tCloseRequestHold();
    ~tCloseRequestHold();
    tCloseRequestHold(const tCloseRequestHold&) = delete;
    tCloseRequestHold& operator=(const tCloseRequestHold&) = delete;

  private:
    TApplication* m_Application;
};

// Whether a pending error waits to be reported (false while one is being reported).
bool ReportWaiting();
// Fires the report request when an error waits and reports are not disabled.
void RequestReport();
extern bool ReportsDisabled;

} // namespace zarvo
