// tWindow: construction, close and zoom, the window commands and keys, the command set that
// follows selection, palettes and the stored form; and the registration of the window family.
#include "views/window.h"

#include <mutex>

#include "console/key_codes.h"
#include "library/stream_class.h"
#include "library/strings.h"
#include "views/frame.h"
#include "views/indicator.h"
#include "views/list_viewer.h"
#include "views/scroll_bar.h"
#include "views/scroller.h"

namespace zarvo {

tPoint MinWinSize{16, 3};

namespace {

// Entries 1-13 of each scheme, indexes into the application palette.
constexpr auto kBlueWindowPalette = MakePalette(8, 9, 10, 11, 12, 13, 14, 15, 73, 74, 75, 76, 85);
constexpr auto kCyanWindowPalette = MakePalette(16, 17, 18, 19, 20, 21, 22, 23, 77, 78, 79, 80, 86);
constexpr auto kGrayWindowPalette = MakePalette(24, 25, 26, 27, 28, 29, 30, 31, 81, 82, 83, 84, 87);

bool NamesThisWindow(const TEventRec& event, const tWindow* window) {
    return event.message.info == nullptr || event.message.info == window;
}

} // namespace

tWindow::tWindow(const tRect& bounds, std::string_view title, std::int16_t number)
    : tGroup(bounds) {
    StateFlags |= ViewState::Shadow;
    OptionFlags |= ViewOption::Selectable | ViewOption::TopSelect;
    GrowFlags = GrowFlag::GrowAll | GrowFlag::GrowRelative;
    WindowFlags = WindowFlag::All;
    Title = NewStr(title);
    Number = number;
    ColorScheme = WindowScheme::Blue;
    MakeFrame();
    if (Frame != nullptr)
        InsertView(Frame);
    ZoomRect = BoundsRect();
    HelpTopic = kWindowHelpTopic;
}

tWindow::tWindow(tStreamLoad) : tGroup(kStreamLoad) {}

tWindow::~tWindow() = default;

std::uint16_t tWindow::StoreID() const {
    return 7;
}

tPalette tWindow::GetPalette() const {
    switch (ColorScheme) {
    case WindowScheme::Cyan:
        return kCyanWindowPalette.data();
    case WindowScheme::Gray:
        return kGrayWindowPalette.data();
    default:
        // A scheme number from a damaged stream still gets colours.
        return kBlueWindowPalette.data();
    }
}

void tWindow::MakeFrame() {
    Frame = MakeObject<tFrame>(ExtentRect()).release();
}

bool tWindow::CloseWindow() {
    bool valid = Valid(cmdClose);
    if (valid)
        FreeObject(this);
    return valid;
}

std::string tWindow::TitleText(int /*maxLength*/) {
    return Title;
}

void tWindow::ToggleZoom() {
    tPoint min, max;
    SizeRange(min, max);
    if (Width != max.X || Height != max.Y) {
        ZoomRect = BoundsRect();
        PlaceBounds(MakeRect(0, 0, max.X, max.Y));
    } else {
        PlaceBounds(ZoomRect);
    }
}

void tWindow::SizeRange(tPoint& min, tPoint& max) {
    tGroup::SizeRange(min, max);
    min = MinWinSize;
}

void tWindow::tInsert(tView* p) {
    InsertAhead(p, Frame);
}

tScrollBar* tWindow::AddScrollBar(std::uint8_t options) {
    tRect r = ExtentRect();
    if (options & ScrollBarOption::Vertical)
        r = MakeRect(r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1);
    else
        r = MakeRect(r.Left + 2, r.Bottom - 1, r.Right - 2, r.Bottom);
    tScrollBar* bar = MakeObject<tScrollBar>(r).release();
    InsertView(bar);
    if (options & ScrollBarOption::HandleKeys)
        bar->OptionFlags |= ViewOption::PostProcess;
    return bar;
}

void tWindow::HandleEvent(TEventRec& event) {
    tGroup::HandleEvent(event);
    switch (event.what) {
    case evtCommand:
        HandleCommand(event);
        break;
    case evtKeyDown:
        if (event.key.keyCode == kKeyTab)
            PostCommand(cmdNextControl, event);
        else if (event.key.keyCode == kKeyShiftTab)
            PostCommand(cmdPrevControl, event);
        break;
    case evtBroadcast:
        HandleBroadcast(event);
        break;
    default:
        break;
    }
}

void tWindow::HandleCommand(TEventRec& event) {
    switch (event.message.command) {
    case cmdClose:
        if ((WindowFlags & WindowFlag::CanClose) && NamesThisWindow(event, this))
            CloseOrCancel(event);
        break;
    case cmdZoom:
        if ((WindowFlags & WindowFlag::CanZoom) && NamesThisWindow(event, this)) {
            ToggleZoom();
            ConsumeEvent(event);
        }
        break;
    case cmdResize:
        if ((WindowFlags & (WindowFlag::CanMove | WindowFlag::CanGrow)) && Owner != nullptr) {
            tRect limits = Owner->ExtentRect();
            tPoint min, max;
            SizeRange(min, max);
            TrackDrag(event, std::uint8_t((WindowFlags & 3) | DragFlags), limits, min, max);
            ConsumeEvent(event);
        }
        break;
    case cmdNextControl:
        FocusNeighbour(false);
        ConsumeEvent(event);
        break;
    case cmdPrevControl:
        FocusNeighbour(true);
        ConsumeEvent(event);
        break;
    default:
        break;
    }
}

// A modal window is ended by cmdCancel instead of being destroyed under its modal loop.
void tWindow::CloseOrCancel(TEventRec& event) {
    if (HasState(ViewState::Modal)) {
        ConsumeEvent(event);
        event.what = evtCommand;
        event.message.command = cmdCancel;
        event.message.info = this;
        PostEvent(event);
        ConsumeEvent(event);
        return;
    }
    tWindow* self = this;
    if (CloseWindow()) {
        // The window is gone; only its address is left in the event.
        event.Clear();
        event.message.info = self;
    }
}

void tWindow::HandleBroadcast(TEventRec& event) {
    switch (event.message.command) {
    case cmdSelectWindowNum: {
        auto number = std::int16_t(reinterpret_cast<std::intptr_t>(event.message.info));
        if (number == Number && HasOption(ViewOption::Selectable)) {
            SelectView();
            ConsumeEvent(event);
        }
        break;
    }
    case cmdCollectWindowNumbers:
        if (Number > 0 && !HasState(ViewState::Modal) && event.message.info != nullptr)
            static_cast<std::uint8_t*>(event.message.info)[Number] = 1;
        break;
    default:
        break;
    }
}

void tWindow::ApplyState(std::uint16_t mask, bool on) {
    tGroup::ApplyState(mask, on);
    if (mask & ViewState::Selected)
        ChangeState(ViewState::Active, on);
    if ((mask & ViewState::Selected) ||
        ((mask & ViewState::Exposed) && HasState(ViewState::Selected))) {
        tCommandSet commands{cmdNext, cmdPrev, cmdResize};
        if (WindowFlags & WindowFlag::CanClose)
            commands.Enable(cmdClose);
        if (WindowFlags & WindowFlag::CanZoom)
            commands.Enable(cmdZoom);
        if (on)
            EnableCommandSet(commands);
        else
            DisableCommandSet(commands);
    }
}

void tWindow::Store(tStream& s) {
    tGroup::Store(s);
    s.WriteValue(WindowFlags);
    s.WriteValue(ZoomRect.Left);
    s.WriteValue(ZoomRect.Top);
    s.WriteValue(ZoomRect.Right);
    s.WriteValue(ZoomRect.Bottom);
    s.WriteValue(Number);
    s.WriteValue(ColorScheme);
    s.WriteValue(std::int16_t(Frame != nullptr ? IndexOfView(Frame) : 0));
    s.WriteStr(Title);
}

void tWindow::Load(tStream& s) {
    tGroup::Load(s);
    WindowFlags = s.ReadValue<std::uint8_t>();
    ZoomRect.Left = s.ReadValue<std::int16_t>();
    ZoomRect.Top = s.ReadValue<std::int16_t>();
    ZoomRect.Right = s.ReadValue<std::int16_t>();
    ZoomRect.Bottom = s.ReadValue<std::int16_t>();
    Number = s.ReadValue<std::int16_t>();
    ColorScheme = s.ReadValue<std::int16_t>();
    auto frameIndex = s.ReadValue<std::int16_t>();
    if (s.Status == stOk && frameIndex != 0) {
        Frame = dynamic_cast<tFrame*>(ViewAt(frameIndex));
        // An index past the subviews, or one naming something else, is a damaged record.
        if (Frame == nullptr)
            s.Error(stReadError, 0);
    }
    Title = s.ReadStr();
}

void RegisterWindowStreamClasses() {
    static const tStreamClass kWindow =
        StreamClassOf<tWindow>("tWindow", []() -> tSObject* { return new tWindow(kStreamLoad); });
    static const tStreamClass kFrame =
        StreamClassOf<tFrame>("tFrame", []() -> tSObject* { return new tFrame(kStreamLoad); });
    static const tStreamClass kScrollBar = StreamClassOf<tScrollBar>(
        "tScrollBar", []() -> tSObject* { return new tScrollBar(kStreamLoad); });
    static const tStreamClass kScroller = StreamClassOf<tScroller>(
        "tScroller", []() -> tSObject* { return new tScroller(kStreamLoad); });
    static const tStreamClass kListViewer = StreamClassOf<tListViewer>(
        "tListViewer", []() -> tSObject* { return new tListViewer(kStreamLoad); });
    static const tStreamClass kIndicator = StreamClassOf<tIndicator>(
        "tIndicator", []() -> tSObject* { return new tIndicator(kStreamLoad); });
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterStreamClasses(
            {&kWindow, &kFrame, &kScrollBar, &kScroller, &kListViewer, &kIndicator});
    });
}

} // namespace zarvo
