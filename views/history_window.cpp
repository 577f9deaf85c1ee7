// The drop-down windows and the history viewer: modal endings by key, mouse and command, the
// focused-text query, and forgetting a history entry with Del.
#include "views/history_window.h"

#include <algorithm>

#include "console/key_codes.h"
#include "library/strings.h"
#include "views/history_store.h"
#include "views/scroll_bar.h"

namespace zarvo {

namespace {

// Indexes into the application palette: a plain drop window is run by the desktop.
constexpr auto kDropWindowPalette = MakePalette(50, 50, 52, 55, 56, 50, 51, 15);
// Indexes into a dialog's palette: a history window is run by the dialog of its button.
constexpr auto kHistoryWindowPalette = MakePalette(19, 19, 21, 24, 25, 19, 20);
constexpr auto kHistoryViewerPalette = MakePalette(6, 6, 7, 6, 6);

bool IsKey(const TEventRec& event, std::uint16_t keyCode) {
    return event.what == evtKeyDown && event.key.keyCode == keyCode;
}

bool IsCommand(const TEventRec& event, std::uint16_t command) {
    return event.what == evtCommand && event.message.command == command;
}

bool IsDoubleClick(const TEventRec& event) {
    return event.what == evtMouseDown && event.mouse.doubleClick != 0;
}

} // namespace

// ---- tHistoryViewer

tHistoryViewer::tHistoryViewer(const tRect& bounds, tScrollBar* hBar, tScrollBar* vBar,
                               std::uint16_t historyId)
    : tListViewer(bounds, 1, hBar, vBar), HistoryId(historyId) {
    SetItemCount(HistoryCount(Id()));
    // The most recent entry is the line's own text, recorded just before the window opened.
    if (ItemCount > 1)
        FocusAt(1);
    FitHorizontalBar();
}

tPalette tHistoryViewer::GetPalette() const {
    return kHistoryViewerPalette.data();
}

std::string tHistoryViewer::ItemText(std::int16_t item, int /*maxLength*/) {
    return HistoryStr(Id(), item);
}

int tHistoryViewer::HistoryWidth() const {
    int width = 0;
    for (int i = 0, count = HistoryCount(Id()); i < count; ++i)
        width = std::max<int>(width, int(HistoryStr(Id(), i).size()));
    return width;
}

void tHistoryViewer::FitHorizontalBar() {
    if (HBar != nullptr)
        HBar->SetLimits(1, HistoryWidth() - Width + 3);
}

void tHistoryViewer::HandleEvent(TEventRec& event) {
    if (IsDoubleClick(event) || IsKey(event, kKeyEnter)) {
        FinishModal(cmdOk);
        ConsumeEvent(event);
    } else if (IsKey(event, kKeyEsc) || IsCommand(event, cmdCancel)) {
        FinishModal(cmdCancel);
        ConsumeEvent(event);
    } else if (IsKey(event, kKeyDel)) {
        HistoryDelete(Id(), HistoryStr(Id(), FocusedItem));
        SetItemCount(HistoryCount(Id()));
        if (ItemCount > 1)
            FocusAt(FocusedItem);
        FitHorizontalBar();
        Repaint();
    } else {
        tListViewer::HandleEvent(event);
    }
}

// ---- tDropWindow

tDropWindow::tDropWindow(const tRect& bounds) : tWindow(bounds, "", 0) {
    WindowFlags = WindowFlag::CanClose;
}

tPalette tDropWindow::GetPalette() const {
    return kDropWindowPalette.data();
}

std::string tDropWindow::SelectionText() {
    std::string text;
    SendToView(CurrentView, evtBroadcast, cmdFocusedText, &text);
    return text;
}

void tDropWindow::HandleEvent(TEventRec& event) {
    if (IsDoubleClick(event)) {
        // The current view sees the double click as Enter.
        TEventRec enter;
        enter.what = evtKeyDown;
        enter.key.keyCode = kKeyEnter;
        tWindow::HandleEvent(enter);
        if (enter.what != evtNothing)
            FinishModal(cmdOk);
        ConsumeEvent(event);
        return;
    }
    tWindow::HandleEvent(event);
    if (IsKey(event, kKeyEnter) || IsCommand(event, cmdOk)) {
        FinishModal(cmdOk);
        ConsumeEvent(event);
    } else if (IsKey(event, kKeyEsc) || IsCommand(event, cmdCancel)) {
        FinishModal(cmdCancel);
        ConsumeEvent(event);
    }
}

// ---- tHistoryWindow

tHistoryWindow::tHistoryWindow(const tRect& bounds, std::uint16_t historyId) : tListWindow(bounds) {
    MakeViewer(historyId);
}

tPalette tHistoryWindow::GetPalette() const {
    return kHistoryWindowPalette.data();
}

void tHistoryWindow::MakeViewer(std::uint16_t historyId) {
    tRect inside = ExtentRect();
    inside.Grow(-1, -1);
    tScrollBar* hBar = AddScrollBar(ScrollBarOption::HandleKeys);
    tScrollBar* vBar = AddScrollBar(ScrollBarOption::Vertical | ScrollBarOption::HandleKeys);
    Viewer = MakeObject<tHistoryViewer>(inside, hBar, vBar, historyId).release();
    InsertView(Viewer);
}

} // namespace zarvo
