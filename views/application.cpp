// The application: construction and layout, the event fetch with its posted events, the
// console's messages, the idle work and the pending-error report request.
#include "views/application.h"

#include <algorithm>

#include "console/console.h"
#include "diagnostics/pending_error.h"
#include "library/clocks.h"
#include "library/scope.h"
#include "platform/interrupt_signals.h"
#include "views/clock_view.h"
#include "views/desktop.h"
#include "views/help_box.h"
#include "views/history_store.h"
#include "views/list_viewer.h"
#include "views/menu_bar.h"
#include "views/scroll_bar.h"
#include "views/scroller.h"
#include "views/text_message_box.h"

namespace zarvo {

namespace {

constexpr auto kApplicationPalette = MakePalette(
    0x71, 0x70, 0x78, 0x74, 0x20, 0x28, 0x24, 0x17, 0x1F, 0x1A, 0x31, 0x31, 0x1E, 0x31, 0x00, 0x37,
    0x3F, 0x3A, 0x13, 0x13, 0x3E, 0x21, 0x00, 0x70, 0x7F, 0x7A, 0x13, 0x13, 0x70, 0x7F, 0x00, 0x70,
    0x7F, 0x7A, 0x13, 0x13, 0x70, 0x70, 0x7F, 0x7E, 0x20, 0x2B, 0x2F, 0x78, 0x2E, 0x70, 0x30, 0x3F,
    0x3E, 0x1F, 0x2F, 0x1A, 0x20, 0x72, 0x31, 0x31, 0x30, 0x2F, 0x3E, 0x31, 0x13, 0x38, 0x00, 0x01,
    0x37, 0x3F, 0x3A, 0x13, 0x13, 0x30, 0x3E, 0x1E, 0x71, 0x7B, 0x4F, 0x13, 0x12, 0x13, 0x14, 0x14,
    0x12, 0x13, 0x14, 0x14, 0x1B, 0x1B, 0x1B, 0x30, 0x17, 0x2F, 0x1F, 0x4F, 0x3E, 0x3B);
static_assert(kApplicationPalette[0] == 94, "the application palette has 94 entries");

} // namespace

tPalette ApplicationPalette() {
    return kApplicationPalette.data();
}

namespace {

// The clock's columns at the right end of the top row.
constexpr int kClockWidth = 9;
// Lines a notch of the mouse wheel scrolls.
constexpr int kWheelLines = 3;

tApplicationTick gTick = &GetTickCount32;
bool gReportShown = false;

// Starts the driver layer before the group is built over the console's extent.
tRect StartDriverAndMeasure() {
    StartConsoleDriver();
    if (CurrentConsole == nullptr)
        return MakeRect(0, 0, 80, 25);
    return MakeRect(0, 0, CurrentConsole->Cols, CurrentConsole->Rows);
}

void ReadInputDefault(void*, EventFrame& frame) {
    auto* args = static_cast<tFetchEventArgs*>(frame.Argument);
    ReadConsoleEvent(*args->Event, args->Wait);
}

tRect ClockRect(const tRect& extent) {
    tRect r = extent;
    r.Left = std::int16_t(std::max<int>(r.Left, r.Right - kClockWidth));
    r.Bottom = std::int16_t(std::min<int>(r.Bottom, r.Top + 1));
    return r;
}

// Moves a view whose top-left corner fell off its owner back inside. Its size stays: a dialog
// larger than a shrunken screen is only clipped, and is whole again once the screen grows (a
// move through the size limits would have cut it to the small screen for good).
void KeepReachable(tView* p) {
    const tGroup* owner = p->Owner;
    int left = std::clamp<int>(p->Left, 0, std::max(0, owner->Width - p->Width));
    int top = std::clamp<int>(p->Top, 0, std::max(0, owner->Height - p->Height));
    if (left != p->Left || top != p->Top)
        p->ApplyBounds(MakeRect(left, top, left + p->Width, top + p->Height));
}

} // namespace

TApplication* gApplication = nullptr;
TDeskTop* gDeskTop = nullptr;
TStatusLine* gStatusLine = nullptr;
TMenuBar* gMenuBar = nullptr;
bool ShowClock = true;
tMessageBoxHook ApplicationMessageBox = &TextModeMessageBox;
bool ReportsDisabled = false;

void SetApplicationTick(tApplicationTick tick) {
    gTick = tick != nullptr ? tick : &GetTickCount32;
}

TApplication::TApplication() : tGroup(StartDriverAndMeasure()) {
    if (CurrentConsole != nullptr)
        CurrentConsole->OnMessage = [this](TConsoleMsg& msg) { OnConsoleMessage(msg); };
    InitHistory();
    ShadowSize = tPoint{2, 1};
    StateFlags = ViewState::Visible | ViewState::Selected | ViewState::Focused | ViewState::Modal |
                 ViewState::Exposed;
    OptionFlags |= ViewOption::ScreenOwner;
    gApplication = this;
    ScreenRoot = this;
    m_SavedMessageBox = MessageBoxHook;
    m_SavedBoxRunner = gMessageBoxRunner;
    m_SavedBoxDesktop = gMessageBoxDesktop;
    if (ApplicationMessageBox != nullptr)
        MessageBoxHook = ApplicationMessageBox;
    gMessageBoxRunner = this;
    OptionFlags |= ViewOption::GroupCacheHint;
    zarvo::Subscribe(evnNotifyIdle, BindHandler<&TApplication::OnCommandsWatch>(this));
    zarvo::Subscribe(evnNotifyIdle, BindHandler<&TApplication::OnDeskTopCommands>(this));
    zarvo::Subscribe(evnReportRequest, BindHandler<&TApplication::OnReportRequest>(this));
}

TApplication::~TApplication() {
    zarvo::Unsubscribe(evnNotifyIdle, BindHandler<&TApplication::OnCommandsWatch>(this));
    zarvo::Unsubscribe(evnNotifyIdle, BindHandler<&TApplication::OnDeskTopCommands>(this));
    zarvo::Unsubscribe(evnReportRequest, BindHandler<&TApplication::OnReportRequest>(this));
    FreeAndNull(Clock);
    FreeAndNull(gDeskTop);
    FreeAndNull(gMenuBar);
    FreeAndNull(gStatusLine);
    Pending.clear();
    MessageBoxHook = m_SavedMessageBox;
    gMessageBoxRunner = m_SavedBoxRunner;
    gMessageBoxDesktop = m_SavedBoxDesktop;
    gApplication = nullptr;
    if (ScreenRoot == this)
        ScreenRoot = nullptr;
    if (CurrentConsole != nullptr)
        CurrentConsole->OnMessage = nullptr;
    DoneHistory();
    StopConsoleDriver();
}

void TApplication::Start() {
    if (m_Started)
        return;
    m_Started = true;
    BeginUpdate();
    tStatusDefPtr definitions = StatusLineDefs();
    gDeskTop = InitDeskTop();
    gStatusLine = InitStatusLine(std::move(definitions));
    gMenuBar = InitMenuBar();
    if (gDeskTop != nullptr)
        InsertView(gDeskTop);
    gMessageBoxDesktop = gDeskTop;
    if (gStatusLine != nullptr)
        InsertView(gStatusLine);
    if (gMenuBar != nullptr)
        InsertView(gMenuBar);
    UpdateClock();
    EndUpdate();
    if (CurrentConsole != nullptr)
        CurrentConsole->Activate();
}

tPalette TApplication::GetPalette() const {
    return ApplicationPalette();
}

void TApplication::PostEvent(const TEventRec& event) {
    if (Pending.size() >= kMaxPendingEvents)
        Pending.pop_front();
    Pending.push_back(event);
    if (CurrentConsole != nullptr)
        CurrentConsole->PutMessage(TConsoleMsg{HM_WAKE, 0, 0, 0});
}

void TApplication::ScreenWrite(int x, int y, const tCell* cells, int count) {
    if (CurrentConsole != nullptr)
        CurrentConsole->WriteCells(x, y, cells, count);
}

void TApplication::ScreenCursor(int x, int y, int shape) {
    if (CurrentConsole != nullptr)
        CurrentConsole->SetCursor(x, y, shape);
}

void TApplication::FetchEvent(TEventRec& event, bool wait) {
    event.Clear();
    // After a shutdown request nobody is there to answer: every modal run inside ends at
    // once, as if cancelled.
    if (ShutdownRequested() && RunningModal != nullptr && RunningModal != this) {
        event.what = evtCommand;
        event.message.command = cmdCancel;
        return;
    }
    tFetchEventArgs args{&event, wait};
    FireEvent(evnReadInput, &args, EventHandler(&ReadInputDefault));
    bool wake = event.what == evtCommand && event.message.command == cmdPendingEvent;
    // Without a console no wake record ever comes: posted events are taken directly.
    bool noConsole = CurrentConsole == nullptr && event.what == evtNothing;
    if (wake || (noConsole && !Pending.empty())) {
        event.Clear();
        if (!Pending.empty()) {
            event = Pending.back();
            Pending.pop_back();
        }
    }
    PreviewStatusLine(event);
}

void TApplication::HandleEvent(TEventRec& event) {
    const bool close = event.what == evtCommand && event.message.command == cmdQuit;
    if (close && CloseHolds > 0 && !ShutdownRequested()) {
        ConsumeEvent(event);
        return;
    }
    tGroup::HandleEvent(event);
    if (event.what == evtCommand && event.message.command == cmdQuit) {
        ++ClosesMet;
        CancelInnerModalViews();
        FinishModal(cmdQuit);
        ConsumeEvent(event);
    }
}

// A close request must not go unheard while something modal is open: every modal view
// inside the application ends as if aborted (a dialog's or message box's run returns
// cmdCancel; a progress window, which is shown without a run, reports a cancel at its next
// look at the input). Without this a closed window could never end the program.
void TApplication::CancelInnerModalViews() {
    for (int i = ModalRegistry != nullptr ? ModalRegistry->Count - 1 : -1; i >= 0; --i) {
        auto* view = static_cast<tView*>(ModalRegistry->ItemAt(std::int16_t(i)));
        if (view == this)
            continue;
        if (dynamic_cast<TMenuView*>(view) != nullptr) {
            // A menu's loop takes its abort from the input.
            TEventRec abort;
            abort.what = evtCommand;
            abort.message.command = cmdAbort;
            PostEvent(abort);
        } else {
            view->FinishModal(cmdAbort);
        }
    }
}

tCloseRequestHold::tCloseRequestHold() : m_Application(gApplication) {
    if (m_Application != nullptr)
        ++m_Application->CloseHolds;
}

tCloseRequestHold::~tCloseRequestHold() {
    if (m_Application != nullptr && gApplication == m_Application)
        --m_Application->CloseHolds;
}

void TApplication::EventDone(TEventRec& event) {
    // A help request nobody took: the help of the view running modally, else of the desktop.
    if (event.what == evtCommand && event.message.command == cmdHelp) {
        std::uint16_t topic = RunningModal != nullptr ? RunningModal->HelpTopic : 0;
        event.Clear();
        ShowHelp(topic);
    }
    RequestReport();
}

TDeskTop* TApplication::InitDeskTop() {
    tRect r = ExtentRect();
    r.Top = std::int16_t(std::min<int>(r.Top + 1, r.Bottom));
    r.Bottom = std::int16_t(std::max<int>(r.Top, r.Bottom - 1));
    return MakeObject<TDeskTop>(r).release();
}

TMenuBar* TApplication::InitMenuBar() {
    tRect r = ExtentRect();
    r.Bottom = std::int16_t(std::min<int>(r.Bottom, r.Top + 1));
    r.Right = std::int16_t(std::max<int>(r.Left, r.Right - kClockWidth));
    return MakeObject<TMenuBar>(r, nullptr).release();
}

TStatusLine* TApplication::InitStatusLine(tStatusDefPtr definitions) {
    tRect r = ExtentRect();
    r.Top = std::int16_t(std::max<int>(r.Top, r.Bottom - 1));
    auto line = MakeObject<TStatusLine>(r, std::move(definitions));
    if (!line->Valid(0))
        return nullptr;
    return line.release();
}

tStatusDefPtr TApplication::StatusLineDefs() {
    return NewStatusDef(kDeskTopHelpTopic, kDeskTopHelpTopic, kDeskTopHint,
                        NewStatusDef(kFirstWindowContext, kLastWindowContext, kWindowHint));
}

void TApplication::UpdateClock() {
    if (ShowClock && Clock == nullptr)
        InsertClock();
    else if (!ShowClock && Clock != nullptr)
        FreeAndNull(Clock);
}

void TApplication::InsertClock() {
    Clock = MakeObject<tClockView>(ClockRect(ExtentRect())).release();
    InsertView(Clock);
    Clock->Tick();
}

std::uint16_t TApplication::ExecuteApp() {
    zarvo::FireEvent(GlobalEvents(), evnApplicationRun, nullptr);
    return RunModal();
}

bool TApplication::NotifyIdle() {
    bool worked = false;
    zarvo::FireEvent(GlobalEvents(), evnNotifyIdle, &worked);
    return worked;
}

void TApplication::PreviewStatusLine(TEventRec& event) {
    if (gStatusLine == nullptr)
        return;
    bool onLine = false;
    if (event.what == evtMouseDown) {
        tPoint where = event.mouse.where;
        tView* hit = FindView([where](tView* p) {
            return p->HasState(ViewState::Visible) && p->ContainsPoint(where);
        });
        onLine = hit == gStatusLine;
    }
    if (event.what == evtKeyDown || onLine)
        gStatusLine->HandleEvent(event);
}

void TApplication::OnConsoleMessage(TConsoleMsg& msg) {
    if (msg.message == WM_SIZE) {
        FitToConsole(int(msg.lParam & 0xFFFF), int(msg.lParam >> 16));
        return;
    }
    if (msg.message == WM_MOUSEWHEEL) {
        ScrollUnderMouse(std::int16_t(msg.wParam >> 16),
                         tPoint{std::int16_t(msg.lParam & 0xFFFF), std::int16_t(msg.lParam >> 16)});
        return;
    }
    // The session ends (a signal, a logout, the display gone): no question may hold it up.
    if (msg.message == WM_QUERYENDSESSION)
        RequestShutdown();
    TEventRec event;
    TranslateConsoleMsg(msg, event);
    switch (event.what) {
    case evtNothing:
        break;
    case evtMouseRepeat:
        PostEvent(event);
        break;
    case evtIdle:
        if (NotifyIdle())
            msg.message = 0;
        break;
    default:
        DispatchEvent(event);
        break;
    }
    EventDone(event);
}

// Inside the view running modally (else anywhere): the deepest view under WHERE, then its
// owners, until one with a vertical scroll bar, which moves three lines a notch.
void TApplication::ScrollUnderMouse(std::int16_t delta, tPoint where) {
    tView* hit = RunningModal != nullptr ? RunningModal : this;
    if (!hit->ContainsPoint(where))
        return;
    while (auto* group = dynamic_cast<tGroup*>(hit)) {
        tView* inner = group->FindView([where](tView* p) {
            return p->HasState(ViewState::Visible) && p->ContainsPoint(where);
        });
        if (inner == nullptr)
            break;
        hit = inner;
    }
    for (tView* v = hit; v != nullptr; v = v->Owner) {
        tScrollBar* bar = nullptr;
        if (auto* list = dynamic_cast<tListViewer*>(v))
            bar = list->VBar;
        else if (auto* scroller = dynamic_cast<tScroller*>(v))
            bar = scroller->VBar;
        if (bar != nullptr && !v->HasState(ViewState::Disabled)) {
            int lines =
                kWheelLines * (delta / kWheelStep != 0 ? delta / kWheelStep : (delta > 0 ? 1 : -1));
            bar->SetPosition(bar->Value - lines);
            return;
        }
        if (v == RunningModal)
            return;
    }
}

void TApplication::FitToConsole(int cols, int rows) {
    tUpdateLockGuard lock(*this);
    ApplyBounds(MakeRect(0, 0, cols, rows));
    if (gDeskTop != nullptr) {
        gDeskTop->ForEachView([](tView* p) {
            if (p != gDeskTop->Background)
                KeepReachable(p);
        });
    }
}

void TApplication::OnCommandsWatch(EventFrame& frame) {
    if (!CommandSetChanged || m_Watching)
        return;
    tTemporaryChange watching(m_Watching, true);
    // Cleared first: a change made while the broadcast runs is announced next time.
    CommandSetChanged = false;
    SendToView(this, evtBroadcast, cmdCommandsChanged, nullptr);
    *static_cast<bool*>(frame.Argument) = true;
}

void TApplication::OnDeskTopCommands(EventFrame& frame) {
    std::uint32_t now = gTick();
    if (m_Updating || gDeskTop == nullptr ||
        (m_CommandsUpdated && now - m_LastCommandUpdate < kDeskTopCommandInterval))
        return;
    tTemporaryChange updating(m_Updating, true);
    m_CommandsUpdated = true;
    m_LastCommandUpdate = now;
    bool tileable = false, selected = false;
    for (tView* p = gDeskTop->FirstView(); p != nullptr && !(tileable && selected);
         p = p == gDeskTop->LastView ? nullptr : p->NextView) {
        tileable = tileable || p->HasOption(ViewOption::Tileable);
        selected = selected || p->HasState(ViewState::Selected);
    }
    tCommandSet before = SaveCommandSet();
    if (tileable)
        EnableCommandSet({cmdTile, cmdCascade});
    else
        DisableCommandSet({cmdTile, cmdCascade});
    if (selected)
        EnableCommandSet({cmdWindowSelected});
    else
        DisableCommandSet({cmdWindowSelected});
    if (!(SaveCommandSet() == before))
        *static_cast<bool*>(frame.Argument) = true;
}

void TApplication::OnReportRequest(EventFrame&) {
    tTemporaryChange shown(gReportShown, true);
    ReportError();
    ClearError();
}

bool ReportWaiting() {
    return !gReportShown && IsErrorPending();
}

void RequestReport() {
    if (!ReportsDisabled && ReportWaiting())
        zarvo::FireEvent(GlobalEvents(), evnReportRequest, nullptr);
}

} // namespace zarvo
