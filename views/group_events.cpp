// tGroup's event routing (focused events in three phases, positional events to the view under
// the mouse, idle events in their fixed order), the modal filter, modal loops and validity.
#include "views/group.h"

namespace zarvo {

namespace {

// Lets go of a view when it is freed: modal runs outlive views their handlers free.
class tViewWatch {
  public:
    explicit tViewWatch(tView* view) : m_View(view) {
        if (view != nullptr)
            view->Subscribe(evnObjectFree, Handler());
    }
    ~tViewWatch() {
        if (m_View != nullptr)
            m_View->Unsubscribe(evnObjectFree, Handler());
    }
    tViewWatch(const tViewWatch&) = delete;
    tViewWatch& operator=(const tViewWatch&) = delete;
    tView* Get() const { return m_View; }

  private:
    EventHandler Handler() { return EventHandler(&OnFreed, static_cast<void*>(this)); }
    static void OnFreed(void* data, EventFrame&) {
        static_cast<tViewWatch*>(data)->m_View = nullptr;
    }
    tView* m_View;
};

} // namespace

// ---- routing

void tGroup::Deliver(tView* p, TEventRec& event) {
    if (p == nullptr)
        return;
    if (p->HasState(ViewState::Disabled) && (event.what & (PositionalEvents | FocusedEvents)))
        return;
    if ((DispatchPhase == 1 && !p->HasOption(ViewOption::PreProcess)) ||
        (DispatchPhase == 2 && !p->HasOption(ViewOption::PostProcess)))
        return;
    if (event.what & p->AcceptMask)
        p->DispatchEvent(event);
}

void tGroup::DeliverAll(TEventRec& event) {
    tIterationGuard guard(*this);
    for (tView* p = FirstView(); p != nullptr && event.what != evtNothing;) {
        // Taken first: the view may leave the group (or be freed) while it handles the event.
        tView* next = p == LastView ? nullptr : p->NextView;
        Deliver(p, event);
        p = next;
    }
}

void tGroup::DeliverFocused(TEventRec& event) {
    DispatchPhase = 1;
    DeliverAll(event);
    DispatchPhase = 0;
    Deliver(CurrentView, event);
    DispatchPhase = 2;
    DeliverAll(event);
}

void tGroup::DeliverPositional(TEventRec& event) {
    if (!ContainsPoint(event.mouse.where))
        return;
    tView* target = FindView([&event](tView* p) {
        return p->HasState(ViewState::Visible) && p->ContainsPoint(event.mouse.where);
    });
    Deliver(target, event);
}

void tGroup::DeliverIdle(TEventRec& event) {
    tView* last = LastView;
    if (last == nullptr)
        return;
    tIterationGuard guard(*this);
    // V(n-1) back to V1, then Vn.
    tView* first = FirstView();
    for (tView* p = last == first ? nullptr : last->Predecessor(); p != nullptr;) {
        tView* previous = p == first ? nullptr : p->Predecessor();
        if (event.what & p->AcceptMask)
            p->DispatchEvent(event);
        p = previous;
    }
    if (LastView == last && (event.what & last->AcceptMask))
        last->DispatchEvent(event);
}

void tGroup::HandleEvent(TEventRec& event) {
    tView::HandleEvent(event);
    if (event.what & FocusedEvents) {
        DeliverFocused(event);
        return;
    }
    DispatchPhase = 0;
    if (event.what & PositionalEvents)
        DeliverPositional(event);
    else if (event.what == evtIdle)
        DeliverIdle(event);
    else
        DeliverAll(event);
}

void tGroup::OnModalFilter(EventFrame& frame) {
    auto* event = static_cast<TEventRec*>(frame.Argument);
    if (event->what != evtIdle || ModalRegistry == nullptr)
        return;
    tView* newest = nullptr;
    for (int i = ModalRegistry->Count - 1; i >= 0 && newest == nullptr; --i)
        newest = static_cast<tView*>(ModalRegistry->ItemAt(std::int16_t(i)));
    if (newest == nullptr)
        return;
    for (const tView* v = newest; v != nullptr; v = v->Owner)
        if (v == this)
            return;
    frame.Handled = true;
}

// ---- modal loops

void tGroup::EventDone(TEventRec& event) {
    if (Owner != nullptr)
        Owner->EventDone(event);
}

std::uint16_t tGroup::RunModal() {
    for (;;) {
        ModalResult = 0;
        do {
            TEventRec event;
            FetchEvent(event, true);
            DispatchEvent(event);
            EventDone(event);
        } while (ModalResult == 0);
        if (ModalResult == cmdAbort || Valid(ModalResult))
            break;
    }
    return ModalResult == cmdAbort ? cmdCancel : ModalResult;
}

void tGroup::FinishModal(std::uint16_t command) {
    if (!HasState(ViewState::Modal)) {
        tView::FinishModal(command);
        return;
    }
    ModalResult = command;
    TEventRec wake;
    wake.what = evtIdle;
    PostEvent(wake);
}

bool tGroup::Valid(std::uint16_t command) {
    if (command == cmdFocusLost)
        return !(CurrentView != nullptr && CurrentView->HasOption(ViewOption::Validate) &&
                 !CurrentView->Valid(command));
    return FindView([command](tView* p) { return !p->Valid(command); }) == nullptr;
}

void tGroup::FlushUpdates() {
    ForEachView([](tView* p) {
        if (auto* group = dynamic_cast<tGroup*>(p))
            group->FlushUpdates();
        else
            while (p->UpdateLock > 0)
                p->EndUpdate();
    });
    while (UpdateLock > 0)
        EndUpdate();
}

std::uint16_t tGroup::RunView(tView* p) {
    if (p == nullptr)
        return cmdCancel;
    tGroup* root = this;
    while (root->Owner != nullptr)
        root = root->Owner;
    root->FlushUpdates();
    std::uint32_t savedOptions = p->OptionFlags;
    bool hadOwner = p->Owner != nullptr;
    tView* savedRunning = RunningModal;
    tViewWatch savedCurrent(CurrentView);
    tCommandSet savedCommands = SaveCommandSet();
    tViewWatch run(p);

    RunningModal = p;
    p->OptionFlags &= ~ViewOption::Selectable;
    p->ChangeState(ViewState::Modal, true);
    SetCurrentView(p, tSelectMode::Enter);
    if (!hadOwner)
        InsertView(p);
    std::uint16_t result = p->RunModal();

    // The run view or the saved current view may have been freed by a handler meanwhile.
    if (run.Get() != nullptr && !hadOwner)
        RemoveView(p);
    SetCurrentView(savedCurrent.Get(), tSelectMode::Leave);
    if (run.Get() != nullptr) {
        p->ChangeState(ViewState::Modal, false);
        p->OptionFlags = savedOptions;
    }
    RunningModal = savedRunning;
    RestoreCommandSet(savedCommands);
    return result;
}

} // namespace zarvo
