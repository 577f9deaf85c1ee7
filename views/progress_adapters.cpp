// The progress window's adapters: the dialog shown in the application without being run, the
// throttled look at the input that turns the cancel button, Esc and closing the window into
// the operator's cancel request, and the text, bar and button following the model's events.
#include "views/progress_adapters.h"

#include <algorithm>
#include <string>

#include "console/cells.h"
#include "library/clocks.h"
#include "library/scope.h"
#include "library/validity.h"
#include "platform/cp866.h"
#include "views/application.h"
#include "views/button.h"
#include "views/commands.h"
#include "views/dialog.h"
#include "views/group.h"
#include "views/progress_bar.h"
#include "views/static_text.h"
#include "views/view_flags.h"

namespace zarvo {

namespace {

std::uint32_t DefaultClock() {
    return GetTickCount32();
}

// How far apart two tick readings are, either way round, across a wrap too.
std::uint32_t TickDistance(std::uint32_t a, std::uint32_t b) {
    return std::min(a - b, b - a);
}

} // namespace

// ---- the window adapter

tProgressAdapter::tProgressAdapter(tProgress* model, tDialog* dialog, tGroup* host)
    : Clock(&DefaultClock), m_Model(model), m_Dialog(dialog), m_Host(host) {
    model->Subscribe(evnObjectFree, BindHandler<&tProgressAdapter::OnModelFreed>(this));
    model->Subscribe(evnProgressVisible, BindHandler<&tProgressAdapter::OnVisible>(this));
    model->Subscribe(evnProgressCancelOn, BindHandler<&tProgressAdapter::OnCancelOn>(this));
    model->Subscribe(evnProgressDialog, BindHandler<&tProgressAdapter::OnDialogQuery>(this));
    model->Subscribe(evnProgressCancel, BindHandler<&tProgressAdapter::OnCancelQuery>(this));
    dialog->Subscribe(evnObjectFree, BindHandler<&tProgressAdapter::OnDialogFreed>(this));
}

tProgressAdapter::~tProgressAdapter() {
    if (m_Dialog == nullptr)
        return;
    Show(false);
    tDialog* dialog = std::exchange(m_Dialog, nullptr);
    dialog->Unsubscribe(evnObjectFree, BindHandler<&tProgressAdapter::OnDialogFreed>(this));
    FreeObject(dialog);
}

void tProgressAdapter::End() {
    if (m_Polling)
        m_EndPending = true;
    else
        FreeObject(this);
}

void tProgressAdapter::OnModelFreed(EventFrame&) {
    m_Model = nullptr;
    End();
}

// The dialog may be freed by others (its owner): the model then goes on without a window.
void tProgressAdapter::OnDialogFreed(EventFrame&) {
    if (Shown())
        RestoreCommandSet(m_SavedCommands);
    m_Dialog = nullptr;
    End();
}

bool tProgressAdapter::Shown() const {
    return m_Dialog != nullptr && m_Dialog->Owner != nullptr &&
           m_Dialog->HasState(ViewState::Visible);
}

void tProgressAdapter::Show(bool on) {
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

void tProgressAdapter::OnVisible(EventFrame& frame) {
    auto* change = static_cast<tProgressSwitch*>(frame.Argument);
    if (change->Set)
        Show(change->Value);
    else
        change->Value = Shown();
}

// Off: no more looks at the input, so the cancel query goes unanswered and costs nothing.
void tProgressAdapter::OnCancelOn(EventFrame& frame) {
    auto* change = static_cast<tProgressSwitch*>(frame.Argument);
    if (!change->Set) {
        change->Value = m_CancelEnabled;
        return;
    }
    m_CancelEnabled = change->Value;
    EventHandler poll = BindHandler<&tProgressAdapter::OnCancelQuery>(this);
    if (m_CancelEnabled)
        m_Model->Subscribe(evnProgressCancel, poll);
    else
        m_Model->Unsubscribe(evnProgressCancel, poll);
}

void tProgressAdapter::OnDialogQuery(EventFrame& frame) {
    *static_cast<tView**>(frame.Argument) = m_Dialog;
    frame.Handled = true;
}

void tProgressAdapter::OnCancelQuery(EventFrame& frame) {
    const std::uint32_t now = Clock();
    if (TickDistance(now, LastPoll) < kProgressPollMs)
        return;
    LastPoll = now;
    frame.Handled = true;
    // What the look sets off may free the dialog (and so this adapter): that waits till here.
    m_Polling = true;
    tScopeExit endPending([this] {
        m_Polling = false;
        if (m_EndPending)
            FreeObject(this);
    });
    if (m_Model != nullptr && m_Model->OnPoll)
        m_Model->OnPoll();
    if (Shown() && DrainInput())
        *static_cast<bool*>(frame.Argument) = true;
}

// Hands the waiting events to the dialog until one of them asks to cancel.
bool tProgressAdapter::DrainInput() {
    bool cancelled = false;
    while (!cancelled && m_Dialog != nullptr && m_Dialog->EventPending()) {
        TEventRec event;
        m_Dialog->FetchEvent(event, false);
        m_Dialog->DispatchEvent(event);
        if (m_Dialog == nullptr)
            return true; // the window went away under the operator's hand: a cancel too
        if (event.what == evtCommand && event.message.command == cmdCancel) {
            cancelled = true;
        } else if (m_Dialog->ModalResult != 0) {
            cancelled = true;
            m_Dialog->ModalResult = 0;
        }
    }
    return cancelled;
}

// ---- the view adapters

tProgressViewAdapter::tProgressViewAdapter(tProgress* model, tView* view) {
    model->Subscribe(evnObjectFree, BindHandler<&tProgressViewAdapter::OnGone>(this));
    view->Subscribe(evnObjectFree, BindHandler<&tProgressViewAdapter::OnGone>(this));
}

void tProgressViewAdapter::OnGone(EventFrame&) {
    FreeObject(this);
}

tTextAdapter::tTextAdapter(tProgress* model, tStaticText* text)
    : tProgressViewAdapter(model, text), m_Text(text) {
    model->Subscribe(evnProgressText, BindHandler<&tTextAdapter::OnText>(this));
}

void tTextAdapter::OnText(EventFrame& frame) {
    const std::string_view text = static_cast<tEvent_ProgressUpdateText*>(frame.Argument)->Text;
    if (m_Text->Text == text)
        return;
    m_Text->Text.assign(text);
    m_Text->Repaint();
}

tProgressBarAdapter::tProgressBarAdapter(tProgress* model, tProgressBar* bar)
    : tProgressViewAdapter(model, bar), m_Bar(bar) {
    model->Subscribe(evnProgressPosition, BindHandler<&tProgressBarAdapter::OnPosition>(this));
    model->Subscribe(evnProgressBarOn, BindHandler<&tProgressBarAdapter::OnBarOn>(this));
}

void tProgressBarAdapter::OnPosition(EventFrame& frame) {
    const double fraction = *static_cast<double*>(frame.Argument);
    if (fraction != m_Bar->Fraction)
        m_Bar->SetFraction(fraction);
    if (!m_Bar->HasState(ViewState::Visible))
        m_Bar->Reveal();
}

void tProgressBarAdapter::OnBarOn(EventFrame& frame) {
    auto* change = static_cast<tProgressSwitch*>(frame.Argument);
    if (!change->Set)
        change->Value = m_Bar->HasState(ViewState::Visible);
    else if (change->Value)
        m_Bar->Reveal();
    else
        m_Bar->Conceal();
}

tCancelButtonAdapter::tCancelButtonAdapter(tProgress* model, tButton* button)
    : tProgressViewAdapter(model, button), m_Button(button) {
    model->Subscribe(evnProgressCancelOn, BindHandler<&tCancelButtonAdapter::OnCancelOn>(this));
    button->Subscribe(evnDispatchEvent, EventHandler(&OnButtonDispatch, this));
}

void tCancelButtonAdapter::OnCancelOn(EventFrame& frame) {
    auto* change = static_cast<tProgressSwitch*>(frame.Argument);
    if (!change->Set) {
        change->Value = !m_Button->HasState(ViewState::Disabled);
        return;
    }
    m_Button->ChangeState(ViewState::Disabled, !change->Value);
    m_Button->Repaint();
}

// Changes of the application's command set must neither disable nor enable the cancel
// button: it answers to the operation, not to the commands of the moment.
void tCancelButtonAdapter::OnButtonDispatch(void*, EventFrame& frame) {
    auto* event = static_cast<TEventRec*>(frame.Argument);
    if (event->what == evtBroadcast && event->message.command == cmdCommandsChanged)
        frame.Handled = true;
}

// ---- building the window

namespace {

tRect DialogBounds(const tStandardProgressParams& p, const tGroup* host) {
    const int width = p.TextWidth + 2 * p.Margin;
    const int height = p.TextLines + 3 + (p.ShowCancel || p.ShowBar ? 2 : 1);
    if (host == nullptr)
        return MakeRect(0, 0, width, height);
    const int dx = (host->Width - width) / 2;
    const int dy = (host->Height - height) / 2;
    return MakeRect(dx, dy, dx + width, dy + height);
}

// The button's left column: where the bar ends.
int AddCancelButton(tProgress& model, tDialog& dialog, const tStandardProgressParams& p) {
    const int width = dialog.Width;
    const int height = dialog.Height;
    const std::string_view title = "Отмена"_oem;
    const int w = HotTextLength(title) + 4;
    const int left = width - p.Margin - w;
    auto* button = new tButton(MakeRect(left, height - 3, left + w, height - 1), title, cmdCancel,
                               ButtonFlag::IsDefaultButton);
    new tCancelButtonAdapter(&model, button);
    dialog.tInsert(button);
    return left;
}

void AddProgressViews(tProgress& model, tDialog& dialog, const tStandardProgressParams& p) {
    if (p.TextLines > 0) {
        auto* text = new tStaticText(MakeRect(0, 2, p.TextWidth, p.TextLines + 2), "");
        text->OptionFlags |= ViewOption::CenterX;
        new tTextAdapter(&model, text);
        dialog.tInsert(text);
    }
    int barRight = dialog.Width - p.Margin;
    if (p.ShowCancel)
        barRight = AddCancelButton(model, dialog, p);
    if (p.ShowBar) {
        const int height = dialog.Height;
        auto* bar = new tProgressBar(MakeRect(p.Margin, height - 3, barRight, height - 2));
        bar->Conceal();
        new tProgressBarAdapter(&model, bar);
        dialog.tInsert(bar);
    }
}

} // namespace

tProgressAdapter* MakeProgressWindow(tObjectPtr<tProgress>& progress,
                                     const tStandardProgressParams* params, tGroup* host) {
    if (!MakeProgressModel(progress, params))
        return nullptr;
    const tStandardProgressParams& p = progress->Params;
    auto* dialog = new tDialog(DialogBounds(p, host), p.Title);
    if (!ValidateRef(dialog)) {
        progress.reset();
        return nullptr;
    }
    AddProgressViews(*progress, *dialog, p);
    dialog->SetHintText(kProgressHint);
    auto* adapter = new tProgressAdapter(progress.get(), dialog, host);
    // The window would hide an error that waits to be reported.
    if (ReportWaiting()) {
        progress.reset();
        return nullptr;
    }
    return adapter;
}

} // namespace zarvo
