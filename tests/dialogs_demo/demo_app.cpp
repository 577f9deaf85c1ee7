// The dialogs demo's screen: its three rows of views, the event fetch with the status line's
// preview and the idle handlers, and the menu.
#include "tests/dialogs_demo/demo_root.h"

#include <algorithm>
#include <string>

#include "console/console.h"
#include "library/sobject.h"
#include "library/sync.h"
#include "platform/cp866.h"
#include "tests/dialogs_demo/demo_status.h"
#include "tests/views_demo/demo_desktop.h"
#include "views/command_set.h"
#include "views/commands.h"
#include "views/menu_view.h"
#include "views/window.h"

namespace zarvo::demo {

namespace {

// How long a quiet console waits between idle events; input ends the wait at once.
constexpr std::uint32_t kIdleBeatMs = 100;

constexpr std::uint16_t kAltXKey = 0x2D00;
constexpr std::uint16_t kF6Key = 0x4000;
constexpr std::uint16_t kAltF3Key = 0x6A00;

tRect ConsoleRect() {
    if (CurrentConsole == nullptr)
        return MakeRect(0, 0, 80, 25);
    return MakeRect(0, 0, CurrentConsole->Cols, CurrentConsole->Rows);
}

tMenuPtr DemoMenu() {
    tMenuPtr file = NewMenuRec(
        NewMenuItem("~Д~иалог..."_oem, "", 0, cmdOpenDialog, 0,
                    NewMenuLine(NewMenuItem("В~ы~ход"_oem, "Alt+X", kAltXKey, cmdQuit, 0))));
    tMenuPtr windows = NewMenuRec(
        NewMenuItem("~Н~овое окно"_oem, "", 0, cmdNewWindow, 0,
                    NewMenuItem("~С~ледующее"_oem, "F6", kF6Key, cmdNext, 0,
                                NewMenuItem("~З~акрыть"_oem, "Alt+F3", kAltF3Key, cmdClose, 0))));
    return NewMenuRec(NewSubMenuItem("~Ф~айл"_oem, 0, std::move(file),
                                     NewSubMenuItem("~О~кна"_oem, 0, std::move(windows))));
}

} // namespace

// ---- tDemoMenuBar

TMenuView* tDemoMenuBar::NewSubView(const tRect& bounds, TMenuRec* menu, TMenuView* parent) {
    TMenuView* box = TMenuBar::NewSubView(bounds, menu, parent);
    if (box != nullptr)
        box->SetHintText(kMenuHint);
    return box;
}

// ---- tDialogsRoot

tDialogsRoot::tDialogsRoot() : tScreenRoot(ConsoleRect()) {
    tRect area = ExtentRect();
    area.Top = std::int16_t(std::min<int>(1, area.Bottom));
    area.Bottom = std::int16_t(std::max<int>(area.Top, area.Bottom - 1));
    Desktop = MakeObject<tDemoDesktop>(area).release();
    Desktop->HelpTopic = kDesktopTopic;
    InsertView(Desktop);

    tRect row = ExtentRect();
    row.Top = area.Bottom;
    StatusLine = MakeObject<TStatusLine>(row, DemoStatusDefinitions()).release();
    InsertView(StatusLine);

    row = ExtentRect();
    row.Bottom = area.Top;
    MenuBar = MakeObject<tDemoMenuBar>(row, DemoMenu()).release();
    InsertView(MenuBar);
}

void tDialogsRoot::FetchEvent(TEventRec& event, bool wait) {
    if (!Pending.empty()) {
        tScreenRoot::FetchEvent(event, wait);
    } else {
        ReadConsoleEvent(event, false);
        if (event.what == evtNothing && wait) {
            // Right after input the idle handlers run at once, so the status line follows
            // the focus without a pause; once they have nothing to do, the loop sleeps until
            // input or the next beat.
            bool worked = NotifyIdle();
            if (m_IdleGiven && !worked)
                WaitForEvents({}, kIdleBeatMs, false, true);
            event.what = evtIdle;
        }
    }
    m_IdleGiven = event.what == evtIdle;
    PreviewStatusLine(event);
}

bool tDialogsRoot::NotifyIdle() {
    bool worked = false;
    if (CommandSetChanged) {
        CommandSetChanged = false;
        SendToView(this, evtBroadcast, cmdCommandsChanged, nullptr);
        worked = true;
    }
    zarvo::FireEvent(GlobalEvents(), evnNotifyIdle, &worked);
    return worked;
}

void tDialogsRoot::PreviewStatusLine(TEventRec& event) {
    if (StatusLine == nullptr)
        return;
    bool onLine = event.what == evtMouseDown && StatusLine->ContainsPoint(event.mouse.where);
    if (event.what == evtKeyDown || onLine)
        StatusLine->HandleEvent(event);
}

void tDialogsRoot::HandleEvent(TEventRec& event) {
    tScreenRoot::HandleEvent(event);
    if (event.what != evtCommand)
        return;
    switch (event.message.command) {
    case cmdQuit:
        FinishModal(cmdQuit);
        ConsumeEvent(event);
        break;
    case cmdOpenDialog:
        ConsumeEvent(event);
        if (OnOpenDialog)
            OnOpenDialog();
        break;
    case cmdNewWindow:
        ConsumeEvent(event);
        OpenWindow();
        break;
    default:
        break;
    }
}

void tDialogsRoot::OpenWindow() {
    // Each new window a little lower and to the right of the one before, within the desktop.
    int step = m_WindowCount++ % 8;
    tRect bounds = MakeRect(2 + 3 * step, 1 + step, 32 + 3 * step, 9 + step);
    std::string title = std::string("Окно "_oem) + std::to_string(m_WindowCount);
    auto* window = MakeObject<tWindow>(bounds, title, std::int16_t(0)).release();
    window->HelpTopic = kDesktopTopic;
    Desktop->InsertView(window);
}

void tDialogsRoot::FitToConsole() {
    PlaceBounds(ConsoleRect());
}

} // namespace zarvo::demo
