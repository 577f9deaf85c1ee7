// tGroup: construction and destruction, the ring of subviews, selection and focus, state
// passed on to subviews, bounds, data transfer, help context and the cursor.
#include "views/group.h"

namespace zarvo {

tGroup::tGroup(const tRect& bounds) : tView(bounds) {
    OptionFlags |= ViewOption::Selectable | ViewOption::GroupCacheHint;
    ClipArea = ExtentRect();
    AcceptMask = kGroupAcceptMask;
    Subscribe(evnHintText, BindHandler<&tGroup::OnGroupHint>(this));
    Subscribe(evnDispatchEvent, BindHandler<&tGroup::OnModalFilter>(this));
    zarvo::Subscribe(evnFreeCaches, BindHandler<&tGroup::OnFreeCaches>(this));
}

tGroup::tGroup(tStreamLoad) : tView(kStreamLoad) {
    Subscribe(evnHintText, BindHandler<&tGroup::OnGroupHint>(this));
    Subscribe(evnDispatchEvent, BindHandler<&tGroup::OnModalFilter>(this));
    zarvo::Subscribe(evnFreeCaches, BindHandler<&tGroup::OnFreeCaches>(this));
}

tGroup::~tGroup() {
    Conceal();
    ConcealAll();
    FreeSubviews();
    FreeCache();
}

void tGroup::ConcealAll() {
    for (tView* p = LastView; p != nullptr;) {
        tView* previous = p == FirstView() ? nullptr : p->Predecessor();
        p->Conceal();
        p = previous;
    }
}

void tGroup::FreeSubviews() {
    while (LastView != nullptr) {
        tView* p = LastView;
        UnlinkView(p);
        if (CurrentView == p)
            CurrentView = nullptr;
        p->Owner = nullptr;
        p->NextView = nullptr;
        FreeObject(p);
    }
}

std::uint16_t tGroup::StoreID() const {
    return 6;
}

void tGroup::EventLinkChanged(std::string_view name, tEventInfo* info) {
    tView::EventLinkChanged(name, info);
    if (name == evnIterationDone)
        m_IterationDoneEvent = info;
}

void tGroup::AfterLoad() {
    ForEachView([](tView* p) { p->AfterLoad(); });
}

// ---- the ring

tView* tGroup::FirstView() const {
    return LastView != nullptr ? LastView->NextView : nullptr;
}

void tGroup::LinkView(tView* p, tView* target) {
    p->Owner = this;
    if (target != nullptr) {
        tView* previous = target->Predecessor();
        p->NextView = target;
        previous->NextView = p;
        return;
    }
    if (LastView == nullptr) {
        p->NextView = p;
    } else {
        p->NextView = LastView->NextView;
        LastView->NextView = p;
    }
    LastView = p;
}

void tGroup::UnlinkView(tView* p) {
    if (p == nullptr || p->Owner != this || LastView == nullptr || p->NextView == nullptr)
        return;
    tView* previous = p->Predecessor();
    if (previous == p) {
        LastView = nullptr;
    } else {
        previous->NextView = p->NextView;
        if (LastView == p)
            LastView = previous;
    }
    p->NextView = nullptr;
}

void tGroup::InsertAhead(tView* p, tView* target) {
    if (p == nullptr || p->Owner != nullptr || (target != nullptr && target->Owner != this))
        return;
    // A group inside itself would make the ring of owners endless.
    for (const tView* v = this; v != nullptr; v = v->Owner)
        if (v == p)
            return;
    if (p->HasOption(ViewOption::CenterX))
        p->Left = std::int16_t((Width - p->Width) / 2);
    if (p->HasOption(ViewOption::CenterY))
        p->Top = std::int16_t((Height - p->Height) / 2);
    std::uint16_t saved = p->StateFlags;
    p->Conceal();
    LinkView(p, target);
    if (saved & ViewState::Visible)
        p->Reveal();
    if (HasState(ViewState::Active))
        p->ChangeState(ViewState::Active, true);
}

void tGroup::InsertView(tView* p) {
    InsertAhead(p, FirstView());
}

void tGroup::tInsert(tView* p) {
    InsertAhead(p, nullptr);
}

void tGroup::RemoveView(tView* p) {
    if (p == nullptr || p->Owner != this)
        return;
    std::uint16_t saved = p->StateFlags;
    p->Conceal();
    // A current view that cannot be chosen away (not selectable) must not stay current once
    // it has left: the group would keep a link to a view it no longer holds.
    if (CurrentView == p)
        SetCurrentView(nullptr, tSelectMode::Normal);
    UnlinkView(p);
    p->Owner = nullptr;
    p->NextView = nullptr;
    if (saved & ViewState::Visible)
        p->Reveal();
}

tView* tGroup::ViewAt(int index) const {
    tView* p = FirstView();
    if (p == nullptr || index < 1)
        return nullptr;
    for (int i = 1; i < index; ++i) {
        if (p == LastView)
            return nullptr;
        p = p->NextView;
    }
    return p;
}

int tGroup::IndexOfView(const tView* p) const {
    if (p == nullptr || LastView == nullptr)
        return 0;
    int index = 1;
    for (tView* v = FirstView();; v = v->NextView, ++index) {
        if (v == p)
            return index;
        if (v == LastView)
            return 0;
    }
}

void tGroup::ForEachView(const std::function<void(tView*)>& action) {
    tIterationGuard guard(*this);
    for (tView* p = FirstView(); p != nullptr;) {
        tView* next = p == LastView ? nullptr : p->NextView;
        action(p);
        p = next;
    }
}

tView* tGroup::FindView(const std::function<bool(tView*)>& test) {
    tIterationGuard guard(*this);
    for (tView* p = FirstView(); p != nullptr; p = p == LastView ? nullptr : p->NextView)
        if (test(p))
            return p;
    return nullptr;
}

tView* tGroup::FindMatching(std::uint16_t stateMask, std::uint32_t optionMask) {
    return FindView([=](tView* p) { return p->HasState(stateMask) && p->HasOption(optionMask); });
}

void tGroup::EndIterate() {
    if (--IterationLock == 0)
        FireCachedEvent(m_IterationDoneEvent, nullptr);
}

// ---- selection and focus

void tGroup::SetCurrentView(tView* p, tSelectMode mode) {
    if (p == CurrentView)
        return;
    tUpdateLockGuard lock(*this);
    bool focused = HasState(ViewState::Focused);
    if (focused && CurrentView != nullptr)
        CurrentView->ChangeState(ViewState::Focused, false);
    if (mode != tSelectMode::Enter && CurrentView != nullptr)
        CurrentView->ChangeState(ViewState::Selected, false);
    if (mode != tSelectMode::Leave && p != nullptr)
        p->ChangeState(ViewState::Selected, true);
    if (focused && p != nullptr)
        p->ChangeState(ViewState::Focused, true);
    CurrentView = p;
}

void tGroup::ChooseCurrent() {
    SetCurrentView(FindMatching(ViewState::Visible, ViewOption::Selectable), tSelectMode::Normal);
}

tView* tGroup::NextSelectable(bool forward) {
    tView* current = CurrentView;
    if (current == nullptr || current->Owner != this)
        return nullptr;
    tView* p = current;
    do {
        p = forward ? p->NextView : p->Predecessor();
        if (p == nullptr)
            return nullptr;
    } while (p != current &&
             !(p->HasState(ViewState::Visible) && !p->HasState(ViewState::Disabled) &&
               p->HasOption(ViewOption::Selectable)));
    return p == current ? nullptr : p;
}

bool tGroup::FocusNeighbour(bool forward) {
    tView* p = NextSelectable(forward);
    return p == nullptr || p->TakeFocus();
}

void tGroup::SelectNeighbour(bool forward) {
    if (tView* p = NextSelectable(forward))
        p->SelectView();
}

// ---- state

void tGroup::ApplyState(std::uint16_t mask, bool on) {
    if (mask == ViewState::Exposed) {
        // The group draws once its subviews are exposed too, not before with an empty cache.
        tUpdateLockGuard lock(*this);
        tView::ApplyState(mask, on);
        ForEachView([on](tView* p) {
            if (p->HasState(ViewState::Visible))
                p->ChangeState(ViewState::Exposed, on);
        });
        if (!on)
            FreeCache();
        return;
    }
    tView::ApplyState(mask, on);
    if (mask == ViewState::Active || mask == ViewState::Dragging) {
        tUpdateLockGuard lock(*this);
        ForEachView([mask, on](tView* p) { p->ChangeState(mask, on); });
    } else if (mask == ViewState::Focused) {
        if (CurrentView != nullptr)
            CurrentView->ChangeState(ViewState::Focused, on);
    }
}

// ---- bounds, data, help, cursor

void tGroup::ApplyBounds(const tRect& bounds) {
    tUpdateLockGuard lock(*this);
    int newWidth = bounds.Right - bounds.Left;
    int newHeight = bounds.Bottom - bounds.Top;
    if (newWidth == Width && newHeight == Height) {
        AssignBounds(bounds);
        Repaint();
        return;
    }
    tPoint delta{std::int16_t(newWidth - Width), std::int16_t(newHeight - Height)};
    FreeCache();
    AssignBounds(bounds);
    AllocCache();
    ClipArea = ExtentRect();
    ForEachView([delta](tView* p) {
        tRect r;
        p->ComputeBounds(r, delta);
        p->ApplyBounds(r);
    });
}

std::uint16_t tGroup::DataLength() {
    unsigned length = 0;
    ForEachView([&length](tView* p) { length += p->DataLength(); });
    return std::uint16_t(length);
}

namespace {

// Data records are laid out from the back view to the front one.
template <class tByte, class tAction>
void WalkDataBackwards(tGroup& group, tByte* record, tAction action) {
    tIterationGuard guard(group);
    std::size_t offset = 0;
    for (tView* p = group.LastView; p != nullptr;) {
        tView* previous = p == group.FirstView() ? nullptr : p->Predecessor();
        action(p, record == nullptr ? nullptr : record + offset);
        offset += p->DataLength();
        p = previous;
    }
}

} // namespace

void tGroup::ExportData(void* record) {
    WalkDataBackwards(*this, static_cast<std::uint8_t*>(record),
                      [](tView* p, std::uint8_t* at) { p->ExportData(at); });
}

void tGroup::ImportData(const void* record) {
    WalkDataBackwards(*this, static_cast<const std::uint8_t*>(record),
                      [](tView* p, const std::uint8_t* at) { p->ImportData(at); });
}

std::uint16_t tGroup::HelpContext() {
    if (CurrentView != nullptr) {
        std::uint16_t context = CurrentView->HelpContext();
        if (context != 0)
            return context;
    }
    return tView::HelpContext();
}

void tGroup::PlaceCursor() {
    if (CurrentView != nullptr)
        CurrentView->PlaceCursor();
    else if (tView* p = FindMatching(ViewState::Visible | ViewState::CursorShown, 0))
        p->PlaceCursor();
    else
        tView::PlaceCursor();
}

void tGroup::OnGroupHint(EventFrame& frame) {
    if (CurrentView == nullptr)
        return;
    auto* text = static_cast<std::string*>(frame.Argument);
    text->clear();
    CurrentView->FireEvent(evnHintText, text);
    if (!text->empty())
        frame.Handled = true;
}

} // namespace zarvo
