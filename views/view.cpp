// tView: construction and destruction, the hooks it fires and answers, geometry, state
// changes, its place in the owner's ring, focus, events and the framework's global state.
#include "views/view.h"

#include <algorithm>

#include "console/key_codes.h"
#include "library/strings.h"
#include "views/group.h"

namespace zarvo {

std::uint16_t PositionalEvents = 0x000F;
std::uint16_t FocusedEvents = 0x0110;
tHintTableProc HintTableHook = nullptr;

namespace {
tTempCollection gModalRegistry(1, 1);
} // namespace

tTempCollection* ModalRegistry = &gModalRegistry;
tView* RunningModal = nullptr;
tView* MouseCaptor = nullptr;
tGroup* LoadingGroup = nullptr;
tPeerFixups* PeerFixups = nullptr;
tView* ScreenRoot = nullptr;

namespace {

void DispatchDefault(void* data, EventFrame& frame) {
    static_cast<tView*>(data)->HandleEvent(*static_cast<TEventRec*>(frame.Argument));
}

void FetchDefault(void* data, EventFrame& frame) {
    auto* view = static_cast<tView*>(data);
    auto* args = static_cast<tFetchEventArgs*>(frame.Argument);
    if (view->Owner != nullptr)
        view->Owner->FetchEvent(*args->Event, args->Wait);
    else
        args->Event->Clear();
}

void ChangeStateDefault(void* data, EventFrame& frame) {
    auto* args = static_cast<tChangeStateArgs*>(frame.Argument);
    static_cast<tView*>(data)->ApplyState(args->Mask, args->On);
}

void FocusChangeDefault(void* data, EventFrame& frame) {
    auto* view = static_cast<tView*>(data);
    bool gained = *static_cast<std::uint8_t*>(frame.Argument) != 0;
    SendToView(view->Owner, evtBroadcast, gained ? cmdFocusGained : cmdFocusLost, view);
}

// A view is taken out of the tree while it is still whole, so that the state changes of its
// leaving run the overrides of its own class, not only the base ones a destructor reaches.
tFreeHook gNextFreeHook = nullptr;

void LeaveTree(tView& view) {
    view.Conceal();
    view.ReleaseMouse();
    if (view.Owner != nullptr)
        view.Owner->RemoveView(&view);
    if (view.HasState(ViewState::Modal))
        view.ChangeState(ViewState::Modal, false);
}

bool ViewFreeHook(tSObject* object) {
    if (auto* view = dynamic_cast<tView*>(object))
        LeaveTree(*view);
    return gNextFreeHook(object);
}

void InstallViewFreeHook() {
    static const bool installed = [] {
        gNextFreeHook = SetFreeHook(&ViewFreeHook);
        return true;
    }();
    (void)installed;
}

} // namespace

// ---- construction

tView::tView(const tRect& bounds) {
    SubscribeOwnHooks();
    AssignBounds(bounds);
    DragFlags = DragFlag::LimitTop;
    AcceptMask = kViewAcceptMask;
    ChangeState(ViewState::Visible, true);
}

tView::tView(tStreamLoad) {
    SubscribeOwnHooks();
}

void tView::SubscribeOwnHooks() {
    InstallViewFreeHook();
    Subscribe(evnHintText, BindHandler<&tView::OnHintText>(this));
    Subscribe(evnDispatchEvent, BindHandler<&tView::OnDeferredRepaint>(this));
}

tView::~tView() {
    LeaveTree(*this);
    if (ModalRegistry != nullptr && ModalRegistry->IndexOf(this) >= 0)
        ModalRegistry->Delete(this);
    if (RunningModal == this)
        RunningModal = nullptr;
    if (ScreenRoot == this)
        ScreenRoot = nullptr;
}

// ---- the tSObject operations

std::uint16_t tView::StoreID() const {
    return 1;
}

bool tView::Valid(std::uint16_t command) {
    return tSObject::Valid(command);
}

void tView::EventLinkChanged(std::string_view name, tEventInfo* info) {
    if (name == evnDispatchEvent)
        m_DispatchEvent = info;
    else if (name == evnFetchEvent)
        m_FetchEvent = info;
    else if (name == evnChangeState)
        m_ChangeStateEvent = info;
}

// ---- simple virtual operations

void tView::AfterLoad() {}

std::uint16_t tView::DataLength() {
    return 0;
}

void tView::ExportData(void*) {}

void tView::ImportData(const void*) {}

std::uint16_t tView::RunModal() {
    return cmdCancel;
}

void tView::FinishModal(std::uint16_t command) {
    // A modal top that is this very view has no other loop to hand the command to.
    tView* top = ModalTop();
    if (top != nullptr && top != this)
        top->FinishModal(command);
}

std::uint16_t tView::HelpContext() {
    return HasState(ViewState::Dragging) ? 1 : HelpTopic;
}

tPalette tView::GetPalette() const {
    return nullptr;
}

void tView::PostEvent(const TEventRec& event) {
    if (Owner != nullptr)
        Owner->PostEvent(event);
}

void tView::RequestHelp(TEventRec& event) {
    if (Owner != nullptr)
        Owner->RequestHelp(event);
}

void tView::ScreenWrite(int x, int y, const tCell* cells, int count) {
    if (ScreenRoot != nullptr && ScreenRoot != this)
        ScreenRoot->ScreenWrite(x, y, cells, count);
}

void tView::ScreenCursor(int x, int y, int shape) {
    if (Owner != nullptr)
        Owner->ScreenCursor(x, y, shape);
}

void tView::SizeRange(tPoint& min, tPoint& max) {
    min = tPoint{};
    if (Owner != nullptr)
        max = tPoint{Owner->Width, Owner->Height};
    else
        max = tPoint{0x7FFF, 0x7FFF};
}

void tView::ApplyBounds(const tRect& bounds) {
    AssignBounds(bounds);
    Repaint();
}

// ---- geometry

void tView::AssignBounds(const tRect& bounds) {
    Left = bounds.Left;
    Top = bounds.Top;
    Width = std::int16_t(bounds.Right - bounds.Left);
    Height = std::int16_t(bounds.Bottom - bounds.Top);
}

tRect tView::BoundsRect() const {
    return MakeRect(Left, Top, Left + Width, Top + Height);
}

tRect tView::ExtentRect() const {
    return MakeRect(0, 0, Width, Height);
}

tRect tView::ClipRect() const {
    tRect r = BoundsRect();
    if (Owner != nullptr)
        r.Intersect(Owner->ClipArea);
    r.Move(-Left, -Top);
    return r;
}

namespace {

// One coordinate after the owner's size changed by D along an axis of new size S.
int GrowCoordinate(int value, int newSize, int d, bool relative) {
    int oldSize = newSize - d;
    // An owner that had no size gives no proportion to keep: shift instead of dividing by 0.
    if (!relative || oldSize <= 0)
        return value + d;
    return (value * newSize + oldSize / 2) / oldSize;
}

} // namespace

void tView::ComputeBounds(tRect& bounds, tPoint delta) {
    bounds = BoundsRect();
    if (Owner == nullptr)
        return;
    bool relative = GrowFlags & GrowFlag::GrowRelative;
    int left = bounds.Left, top = bounds.Top, right = bounds.Right, bottom = bounds.Bottom;
    if (GrowFlags & GrowFlag::GrowLeft)
        left = GrowCoordinate(left, Owner->Width, delta.X, relative);
    if (GrowFlags & GrowFlag::GrowRight)
        right = GrowCoordinate(right, Owner->Width, delta.X, relative);
    if (right - left > MaxLineCells)
        right = left + MaxLineCells;
    if (GrowFlags & GrowFlag::GrowTop)
        top = GrowCoordinate(top, Owner->Height, delta.Y, relative);
    if (GrowFlags & GrowFlag::GrowBottom)
        bottom = GrowCoordinate(bottom, Owner->Height, delta.Y, relative);
    bounds.Assign(left, top, right, bottom);
}

void tView::PlaceBounds(tRect bounds) {
    tPoint min, max;
    SizeRange(min, max);
    int width = std::clamp<int>(bounds.Right - bounds.Left, min.X, std::max(min.X, max.X));
    int height = std::clamp<int>(bounds.Bottom - bounds.Top, min.Y, std::max(min.Y, max.Y));
    bounds.Right = std::int16_t(bounds.Left + width);
    bounds.Bottom = std::int16_t(bounds.Top + height);
    if (bounds == BoundsRect())
        return;
    tUpdateLockGuard lock(*this);
    tRect old = BoundsRect();
    ApplyBounds(bounds);
    if (Owner == nullptr || !HasState(ViewState::Visible))
        return;
    if (HasState(ViewState::Shadow)) {
        old.Union(bounds);
        old.Right = std::int16_t(old.Right + ShadowSize.X);
        old.Bottom = std::int16_t(old.Bottom + ShadowSize.Y);
    }
    RepaintBelow(old, nullptr);
}

void tView::MoveOrigin(int x, int y) {
    PlaceBounds(MakeRect(x, y, x + Width, y + Height));
}

void tView::Resize(int width, int height) {
    PlaceBounds(MakeRect(Left, Top, Left + width, Top + height));
}

void tView::SetLeft(int value) {
    MoveOrigin(value, Top);
}

void tView::SetTop(int value) {
    MoveOrigin(Left, value);
}

void tView::SetWidth(int value) {
    PlaceBounds(MakeRect(Left, Top, Left + value, Top + Height));
}

void tView::SetHeight(int value) {
    PlaceBounds(MakeRect(Left, Top, Left + Width, Top + value));
}

tPoint tView::ToScreen(tPoint p) const {
    for (const tView* v = this; v != nullptr; v = v->Owner) {
        p.X = std::int16_t(p.X + v->Left);
        p.Y = std::int16_t(p.Y + v->Top);
    }
    return p;
}

tPoint tView::ToLocal(tPoint p) const {
    for (const tView* v = this; v != nullptr; v = v->Owner) {
        p.X = std::int16_t(p.X - v->Left);
        p.Y = std::int16_t(p.Y - v->Top);
    }
    return p;
}

bool tView::ContainsPoint(tPoint p) const {
    return ExtentRect().Contains(ToLocal(p));
}

// ---- state

void tView::ChangeState(std::uint16_t mask, bool on) {
    tChangeStateArgs args{mask, on};
    if (m_ChangeStateEvent != nullptr)
        FireEventInfo(m_ChangeStateEvent, &args,
                      EventHandler(&ChangeStateDefault, static_cast<void*>(this)));
    else
        ApplyState(mask, on);
}

void tView::ApplyState(std::uint16_t mask, bool on) {
    if (mask == ViewState::Modal && ModalRegistry != nullptr && HasState(ViewState::Modal) != on) {
        if (on)
            ModalRegistry->Insert(this);
        else if (ModalRegistry->IndexOf(this) >= 0)
            ModalRegistry->Delete(this);
    }
    if (on)
        StateFlags |= mask;
    else
        StateFlags &= std::uint16_t(~mask);
    if (Owner == nullptr)
        return;
    switch (mask) {
    case ViewState::Visible: {
        tUpdateLockGuard lock(*this);
        if (Owner->HasState(ViewState::Exposed))
            ChangeState(ViewState::Exposed, on);
        if (on)
            PaintShow(nullptr);
        else
            PaintHide(nullptr);
        if (HasOption(ViewOption::Selectable))
            Owner->ChooseCurrent();
        break;
    }
    case ViewState::CursorShown:
    case ViewState::CursorInsert:
        UpdateCursor();
        break;
    case ViewState::Shadow:
        RepaintUnder(true, nullptr);
        break;
    case ViewState::Focused: {
        MouseCaptor = nullptr;
        PlaceCursor();
        std::uint8_t gained = on ? 1 : 0;
        FireEvent(evnFocusChange, &gained,
                  EventHandler(&FocusChangeDefault, static_cast<void*>(this)));
        break;
    }
    case ViewState::Exposed:
        Repaint();
        break;
    default:
        break;
    }
}

void tView::Reveal() {
    if (!HasState(ViewState::Visible))
        ChangeState(ViewState::Visible, true);
}

void tView::Conceal() {
    if (HasState(ViewState::Visible))
        ChangeState(ViewState::Visible, false);
}

void tView::CursorOn() {
    ChangeState(ViewState::CursorShown, true);
}

void tView::CursorOff() {
    ChangeState(ViewState::CursorShown, false);
}

void tView::SetCursorPos(int x, int y) {
    CursorX = std::int16_t(x);
    CursorY = std::int16_t(y);
    UpdateCursor();
}

void tView::SetHintText(std::string_view text) {
    Hint = NewStr(text);
}

void tView::OnHintText(EventFrame& frame) {
    auto* text = static_cast<std::string*>(frame.Argument);
    if (HasState(ViewState::Dragging))
        *text = kDraggingHint;
    else if (!Hint.empty())
        *text = Hint;
    else if (HintTableHook != nullptr)
        *text = NewStr(HintTableHook(HelpContext()));
    else
        text->clear();
}

// ---- the owner's ring

tView* tView::Following() const {
    return Owner != nullptr && Owner->LastView != this ? NextView : nullptr;
}

tView* tView::Predecessor() const {
    if (NextView == nullptr)
        return nullptr;
    tView* p = NextView;
    while (p->NextView != this) {
        p = p->NextView;
        if (p == nullptr || p == NextView)
            return nullptr; // not in a ring after all
    }
    return p;
}

tView* tView::Preceding() const {
    if (Owner == nullptr || Owner->FirstView() == this)
        return nullptr;
    return Predecessor();
}

void tView::PlaceBefore(tView* target) {
    if (Owner == nullptr || target == this || target == Following() ||
        (target != nullptr && target->Owner != Owner))
        return;
    tGroup* owner = Owner;
    if (!HasState(ViewState::Visible)) {
        owner->UnlinkView(this);
        owner->LinkView(this, target);
        return;
    }
    tView* lastToPaint = Following();
    if (lastToPaint != nullptr) {
        tView* p = target;
        while (p != nullptr && p != lastToPaint)
            p = p->Following();
        if (p == nullptr)
            lastToPaint = target; // moving back, behind the views up to TARGET
    }
    StateFlags &= std::uint16_t(~ViewState::Visible);
    if (lastToPaint == target)
        PaintHide(lastToPaint);
    owner->UnlinkView(this);
    owner->LinkView(this, target);
    StateFlags |= ViewState::Visible;
    if (lastToPaint != target)
        PaintShow(lastToPaint);
    if (HasOption(ViewOption::Selectable)) {
        owner->ChooseCurrent();
        owner->PlaceCursor();
    }
}

void tView::BringToFront() {
    if (Owner != nullptr)
        PlaceBefore(Owner->FirstView());
}

void tView::SelectView() {
    if (!HasOption(ViewOption::Selectable))
        return;
    if (HasOption(ViewOption::TopSelect))
        BringToFront();
    else if (Owner != nullptr)
        Owner->SetCurrentView(this, tSelectMode::Normal);
}

bool tView::TakeFocus() {
    if (HasState(ViewState::Selected) || HasState(ViewState::Modal) || Owner == nullptr)
        return true;
    if (!Owner->TakeFocus())
        return false;
    tView* current = Owner->CurrentView;
    if (current != nullptr && current->HasOption(ViewOption::Validate) &&
        !current->Valid(cmdFocusLost))
        return false;
    SelectView();
    return true;
}

// ---- events

void tView::DispatchEvent(TEventRec& event) {
    // The record outlives a view freed by its own handler; nothing here touches the view after.
    if (m_DispatchEvent != nullptr)
        FireEventInfo(m_DispatchEvent, &event,
                      EventHandler(&DispatchDefault, static_cast<void*>(this)));
    else
        HandleEvent(event);
}

void tView::FetchEvent(TEventRec& event, bool wait) {
    tFetchEventArgs args{&event, wait};
    EventHandler fetch(&FetchDefault, static_cast<void*>(this));
    if (m_FetchEvent != nullptr) {
        FireEventInfo(m_FetchEvent, &args, fetch);
    } else {
        EventFrame frame;
        frame.Argument = &args;
        FetchDefault(this, frame);
    }
}

void tView::HandleEvent(TEventRec& event) {
    switch (event.what) {
    case evtMouseDown:
        if (!(StateFlags & (ViewState::Selected | ViewState::Disabled)) &&
            HasOption(ViewOption::Selectable) &&
            (!TakeFocus() || !HasOption(ViewOption::FirstClick)))
            ConsumeEvent(event);
        break;
    case evtKeyDown:
        if (event.key.keyCode == kKeyF1 || event.key.keyCode == kKeyShiftF1 ||
            event.key.keyCode == kKeyAltF1)
            RequestHelp(event);
        break;
    case evtCommand:
        if (event.message.command == cmdHelp) {
            RequestHelp(event);
        } else if (event.message.command == cmdAbort) {
            FinishModal(cmdAbort);
            ConsumeEvent(event);
        }
        break;
    default:
        break;
    }
}

void tView::ConsumeEvent(TEventRec& event) {
    event.what = evtNothing;
    event.message.info = this;
}

void tView::PostCommand(std::uint16_t command, TEventRec& event) {
    event.Clear();
    event.what = evtCommand;
    event.message.command = command;
    PostEvent(event);
    ConsumeEvent(event);
}

bool tView::EventPending() {
    TEventRec event;
    FetchEvent(event, false);
    if (event.what == evtNothing)
        return false;
    PostEvent(event);
    return true;
}

tView* tView::ModalTop() {
    if (RunningModal != nullptr)
        return RunningModal;
    for (tView* v = this; v != nullptr; v = v->Owner)
        if (v->HasState(ViewState::Modal))
            return v;
    return nullptr;
}

tView* SendToView(tView* receiver, std::uint16_t kind, std::uint16_t command, void* info) {
    TEventRec event;
    event.what = kind;
    event.message.command = command;
    event.message.info = info;
    if (receiver == nullptr)
        return nullptr;
    receiver->DispatchEvent(event);
    return event.what == evtNothing ? static_cast<tView*>(event.message.info) : nullptr;
}

} // namespace zarvo
