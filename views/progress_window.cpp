// The progress window: its layout from the parameters, showing it in the application
// without running it, the bar's drawing, and the throttled input poll that turns the
// cancel button, Esc and closing the window into the operator's cancel request.
#include "views/progress_window.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "console/cells.h"
#include "library/clocks.h"
#include "library/validity.h"
#include "platform/cp866.h"
#include "views/commands.h"
#include "views/group.h"
#include "views/view_flags.h"

namespace zarvo {

// ---- the bar

tProgressBar::tProgressBar(const tRect& bounds) : tView(bounds) {}

void tProgressBar::SetFraction(double fraction) {
    std::int32_t percent = std::int32_t(std::nearbyint(fraction * 100));
    std::int32_t cells = std::int32_t(std::nearbyint(fraction * Width));
    if (percent == Percent && cells == Cells)
        return;
    Fraction = fraction;
    Percent = percent;
    Cells = cells;
    Repaint();
}

void tProgressBar::Draw() {
    const int width = std::min<int>(Width, MaxLineCells);
    std::string text = std::to_string(Percent) + "%";
    tCell line[MaxLineCells];
    FillCells(line, ' ', kBarLeftAttr, width);
    int column = std::max((width - int(text.size())) / 2, 0);
    CopyCharsToCells(line + column, text.data(), 0, std::min(int(text.size()), width - column));
    FillCells(line, 0, kBarDoneAttr, std::clamp<int>(Cells, 0, width));
    PutLine(0, 0, width, 1, line);
}

// ---- the window

namespace {

std::uint32_t DefaultClock() {
    return GetTickCount32();
}

} // namespace

tProgressWindow::tProgressWindow(tGroup* host, tDialog* dialog)
    : Clock(&DefaultClock), m_Host(host), m_Dialog(dialog) {
    Watch(dialog);
}

std::unique_ptr<tProgressWindow> tProgressWindow::Make(const tStandardProgressParams& p,
                                                       tGroup* host) {
    if (host == nullptr)
        host = dynamic_cast<tGroup*>(ScreenRoot);
    const int width = p.TextWidth + 2 * p.Margin;
    const int height = p.TextLines + 3 + (p.ShowCancel || p.ShowBar ? 2 : 1);
    tRect bounds = MakeRect(0, 0, width, height);
    if (host != nullptr) {
        const int dx = (host->Width - width) / 2;
        const int dy = (host->Height - height) / 2;
        bounds = MakeRect(dx, dy, dx + width, dy + height);
    }
    auto* dialog = new tDialog(bounds, p.Title);
    if (!ValidateRef(dialog))
        return nullptr;
    std::unique_ptr<tProgressWindow> window(new tProgressWindow(host, dialog));
    if (p.TextLines > 0) {
        window->m_Text = new tStaticText(MakeRect(0, 2, p.TextWidth, p.TextLines + 2), "");
        window->m_Text->OptionFlags |= ViewOption::CenterX;
        window->Watch(window->m_Text);
        dialog->tInsert(window->m_Text);
    }
    int barRight = width - p.Margin;
    if (p.ShowCancel) {
        const std::string_view title = "Отмена"_oem;
        const int w = HotTextLength(title) + 4;
        const int left = width - p.Margin - w;
        window->m_Cancel = new tButton(MakeRect(left, height - 3, left + w, height - 1), title,
                                       cmdCancel, ButtonFlag::IsDefaultButton);
        window->Watch(window->m_Cancel);
        window->m_Cancel->Subscribe(evnDispatchEvent,
                                    EventHandler(&OnButtonDispatch, window.get()));
        dialog->tInsert(window->m_Cancel);
        barRight = left;
    }
    if (p.ShowBar) {
        window->m_Bar = new tProgressBar(MakeRect(p.Margin, height - 3, barRight, height - 2));
        window->m_Bar->Conceal();
        window->Watch(window->m_Bar);
        dialog->tInsert(window->m_Bar);
    }
    return window;
}

tProgressWindow::~tProgressWindow() {
    if (m_Dialog == nullptr)
        return;
    Show(false);
    tDialog* dialog = m_Dialog;
    Forget(dialog);
    FreeObject(dialog);
}

void tProgressWindow::Watch(tView* view) {
    view->Subscribe(evnObjectFree, EventHandler(&OnViewFreed, this));
}

// The views may be freed by others (the dialog by its owner): the window then goes on
// without them.
void tProgressWindow::OnViewFreed(void* data, EventFrame& frame) {
    static_cast<tProgressWindow*>(data)->Forget(static_cast<tView*>(frame.Argument));
}

void tProgressWindow::Forget(tView* view) {
    if (view == m_Dialog) {
        // The dialog frees its controls after this; stop listening to all of them now.
        for (tView* v : {static_cast<tView*>(m_Text), static_cast<tView*>(m_Bar),
                         static_cast<tView*>(m_Cancel)})
            if (v != nullptr)
                v->Unsubscribe(evnObjectFree, EventHandler(&OnViewFreed, this));
        if (m_Cancel != nullptr)
            m_Cancel->Unsubscribe(evnDispatchEvent, EventHandler(&OnButtonDispatch, this));
        m_Dialog->Unsubscribe(evnObjectFree, EventHandler(&OnViewFreed, this));
        m_Dialog = nullptr;
        m_Text = nullptr;
        m_Bar = nullptr;
        m_Cancel = nullptr;
    } else if (view == m_Text) {
        m_Text = nullptr;
    } else if (view == m_Bar) {
        m_Bar = nullptr;
    } else if (view == m_Cancel) {
        m_Cancel = nullptr;
    }
}

// Changes of the application's command set must neither disable nor enable the cancel
// button: it answers to the operation, not to the commands of the moment.
void tProgressWindow::OnButtonDispatch(void*, EventFrame& frame) {
    auto* event = static_cast<TEventRec*>(frame.Argument);
    if (event->what == evtBroadcast && event->message.command == cmdCommandsChanged)
        frame.Handled = true;
}

bool tProgressWindow::Shown() const {
    return m_Dialog != nullptr && m_Dialog->Owner != nullptr &&
           m_Dialog->HasState(ViewState::Visible);
}

void tProgressWindow::Show(bool on) {
    if (m_Dialog == nullptr)
        return;
    if (on && m_Dialog->Owner == nullptr && m_Host != nullptr) {
        m_Dialog->ChangeState(ViewState::Modal, true);
        m_SavedCommands = SaveCommandSet();
        m_Host->InsertView(m_Dialog);
        m_Dialog->Reveal();
    } else if (!on && m_Dialog->Owner != nullptr) {
        m_Dialog->Conceal();
        m_Dialog->Owner->RemoveView(m_Dialog);
        RestoreCommandSet(m_SavedCommands);
        m_Dialog->ChangeState(ViewState::Modal, false);
    }
}

void tProgressWindow::SetText(std::string_view text) {
    if (m_Text == nullptr || m_Text->Text == text)
        return;
    m_Text->Text.assign(text);
    m_Text->Repaint();
}

void tProgressWindow::SetFraction(double fraction) {
    if (m_Bar == nullptr)
        return;
    if (fraction != m_Bar->Fraction)
        m_Bar->SetFraction(fraction);
    if (!m_Bar->HasState(ViewState::Visible))
        m_Bar->Reveal();
}

void tProgressWindow::EnableCancel(bool on) {
    m_CancelEnabled = on;
    if (m_Cancel == nullptr)
        return;
    m_Cancel->ChangeState(ViewState::Disabled, !on);
    m_Cancel->Repaint();
}

void tProgressWindow::ShowBar(bool on) {
    if (m_Bar == nullptr)
        return;
    if (on)
        m_Bar->Reveal();
    else
        m_Bar->Conceal();
}

bool tProgressWindow::PollDue() const {
    return m_CancelEnabled &&
           std::uint32_t(std::abs(std::int32_t(Clock() - LastPoll))) >= kProgressPollMs;
}

bool tProgressWindow::PollCancel() {
    if (!PollDue())
        return false;
    LastPoll = Clock();
    if (!Shown())
        return false;
    return DrainInput();
}

// Hands the waiting events to the dialog until one of them asks to cancel.
bool tProgressWindow::DrainInput() {
    bool cancelled = false;
    while (!cancelled && m_Dialog != nullptr && m_Dialog->EventPending()) {
        TEventRec event;
        m_Dialog->FetchEvent(event, false);
        m_Dialog->DispatchEvent(event);
        if (m_Dialog == nullptr)
            return true; // closing the window frees it: that is a cancel too
        if (event.what == evtCommand && event.message.command == cmdCancel) {
            cancelled = true;
        } else if (m_Dialog->ModalResult != 0) {
            cancelled = true;
            m_Dialog->ModalResult = 0;
        }
    }
    return cancelled;
}

bool MakeProgressWindow(std::unique_ptr<tProgress>& progress, const tStandardProgressParams* params,
                        tGroup* host) {
    if (!MakeProgressModel(progress, params))
        return false;
    progress->Display = tProgressWindow::Make(progress->Params, host);
    if (!progress->Display) {
        progress.reset();
        return false;
    }
    return true;
}

} // namespace zarvo
