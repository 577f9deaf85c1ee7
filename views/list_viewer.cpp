// tListViewer: focus and scrolling by columns of Height items, drawing with markers and
// dividers, the mouse with its slowed-down autoscroll, the keys and the focused-text query.
#include "views/list_viewer.h"

#include <algorithm>

#include "console/key_codes.h"
#include "console/keyboard.h"
#include "library/run_error.h"
#include "library/strings.h"
#include "views/group.h"
#include "views/scroll_bar.h"

namespace zarvo {

namespace {

constexpr auto kListViewerPalette = MakePalette(26, 26, 27, 28, 29);
constexpr std::uint8_t kDividerChar = 0xB3;
// A drag outside the view moves the focus on every this many repeat events.
constexpr int kAutoScrollRepeats = 4;
constexpr int kFocusedPair = 0;
constexpr int kMarkedPair = 1;
constexpr int kPlainPair = 2;

} // namespace

tListViewer::tListViewer(const tRect& bounds, std::int16_t columnCount, tScrollBar* hBar,
                         tScrollBar* vBar)
    : tView(bounds), HBar(hBar), VBar(vBar), ColumnCount(std::max<std::int16_t>(columnCount, 1)) {
    OptionFlags |= ViewOption::Selectable | ViewOption::FirstClick;
    AcceptMask |= evtBroadcast;
    if (VBar != nullptr) {
        if (ColumnCount == 1)
            VBar->SetSteps(Height - 1, 1);
        else
            VBar->SetSteps(Height * ColumnCount, 1);
    }
    if (HBar != nullptr)
        HBar->SetSteps(Width / ColumnCount, 1);
    WatchBars();
}

tListViewer::tListViewer(tStreamLoad) : tView(kStreamLoad) {}

void tListViewer::WatchBars() {
    for (tScrollBar* bar : {HBar, VBar})
        if (bar != nullptr)
            bar->Subscribe(evnObjectFree, BindHandler<&tListViewer::OnBarFreed>(this));
}

void tListViewer::OnBarFreed(EventFrame& frame) {
    if (frame.Argument == HBar)
        HBar = nullptr;
    if (frame.Argument == VBar)
        VBar = nullptr;
}

void tListViewer::AfterLoad() {
    tView::AfterLoad();
    WatchBars();
}

std::uint16_t tListViewer::StoreID() const {
    return 5;
}

tPalette tListViewer::GetPalette() const {
    return kListViewerPalette.data();
}

std::string tListViewer::ItemText(std::int16_t, int) {
    RaiseRunError(kRunErrorAbstractCall);
}

bool tListViewer::IsMarked(std::int16_t item) {
    return item == FocusedItem;
}

void tListViewer::PickItem(std::int16_t) {
    SendToView(Owner, evtBroadcast, cmdItemPicked, this);
}

void tListViewer::FocusAt(std::int16_t item) {
    // A negative item is as absent as one past the end.
    if (item >= ItemCount || item < 0)
        return;
    FocusedItem = item;
    if (VBar != nullptr)
        VBar->SetPosition(item);
    int height = std::max<int>(Height, 1);
    if (item < TopItem)
        TopItem = std::int16_t(ColumnCount == 1 ? item : item - item % height);
    else if (item >= TopItem + height * ColumnCount)
        TopItem =
            std::int16_t(ColumnCount == 1 ? item - height + 1
                                          : item - item % height - height * (ColumnCount - 1));
}

void tListViewer::FocusClamped(int item) {
    if (item < 0)
        item = 0;
    else if (ItemCount > 0 && item >= ItemCount)
        item = ItemCount - 1;
    if (ItemCount != 0)
        FocusAt(std::int16_t(item));
}

void tListViewer::SetItemCount(std::int16_t count) {
    ItemCount = std::max<std::int16_t>(count, 0);
    if (VBar != nullptr) {
        if (ItemCount < FocusedItem)
            FocusedItem = 0;
        VBar->SetAll(FocusedItem, 0, ItemCount - 1, VBar->PageStep, VBar->ArrowStep);
    }
}

void tListViewer::DrawRow(int row, tCell* line, int width) {
    bool showFocus = HasState(ViewState::Selected | ViewState::Active);
    std::uint8_t normal = MapColor(showFocus ? 1 : 2);
    std::uint8_t focused = MapColor(3);
    std::uint8_t marked = MapColor(4);
    std::uint8_t divider = MapColor(5);
    int indent = HBar != nullptr ? HBar->Value : 0;
    int colWidth = ColumnWidth();
    auto put = [&](int x, std::uint8_t ch, std::uint8_t attr) {
        if (x >= 0 && x < width)
            line[x] = MakeCell(ch, attr);
    };
    for (int column = 0; column < ColumnCount; ++column) {
        int col = column * colWidth;
        if (col >= width)
            break;
        int item = column * Height + row + TopItem;
        std::uint8_t color = normal;
        int pair = kPlainPair;
        if (showFocus && item == FocusedItem && ItemCount > 0) {
            color = focused;
            pair = kFocusedPair;
            SetCursorPos(col + 1, row);
        } else if (item < ItemCount && IsMarked(std::int16_t(item))) {
            color = marked;
            pair = kMarkedPair;
        }
        for (int x = col; x < col + colWidth; ++x)
            put(x, ' ', color);
        if (item < ItemCount) {
            std::string text = ItemText(std::int16_t(item), colWidth + indent);
            std::size_t start = std::size_t(std::max(indent, 1) - 1);
            if (start < text.size())
                text = text.substr(start, std::size_t(colWidth));
            else
                text.clear();
            for (std::size_t i = 0; i < text.size(); ++i)
                put(col + 1 + int(i), std::uint8_t(text[i]), color);
            if (ShowMarkers) {
                put(col, MarkerChars[pair * 2], color);
                put(col + colWidth - 2, MarkerChars[pair * 2 + 1], color);
            }
        }
        put(col + colWidth - 1, kDividerChar, divider);
    }
}

void tListViewer::Draw() {
    int width = std::min<int>(Width, MaxLineCells);
    tCell line[MaxLineCells];
    for (int row = 0; row < Height; ++row) {
        DrawRow(row, line, width);
        PutLine(0, row, width, 1, line);
    }
}

int tListViewer::ItemAt(tPoint p) const {
    return p.X / ColumnWidth() * Height + p.Y + TopItem;
}

int tListViewer::ItemOutside(tPoint p) const {
    int height = std::max<int>(Height, 1);
    if (ColumnCount == 1) {
        if (p.Y < 0)
            return FocusedItem - 1;
        if (p.Y >= Height)
            return FocusedItem + 1;
        return FocusedItem;
    }
    if (p.X < 0)
        return FocusedItem - Height;
    if (p.X >= Width)
        return FocusedItem + Height;
    if (p.Y < 0)
        return FocusedItem - FocusedItem % height;
    if (p.Y > Height)
        return FocusedItem + Height - FocusedItem % height - 1;
    return FocusedItem;
}

void tListViewer::TrackMouse(TEventRec& event) {
    bool doubleClick = event.mouse.doubleClick != 0;
    int oldItem = FocusedItem;
    int newItem = ContainsPoint(event.mouse.where) ? ItemAt(ToLocal(event.mouse.where)) : oldItem;
    int repeats = 0;
    CaptureMouse();
    do {
        if (newItem != oldItem) {
            FocusClamped(newItem);
            Repaint();
        }
        oldItem = newItem;
        tPoint p = ToLocal(event.mouse.where);
        if (ContainsPoint(event.mouse.where)) {
            newItem = ItemAt(p);
        } else if (event.what == evtMouseRepeat && ++repeats == kAutoScrollRepeats) {
            repeats = 0;
            newItem = ItemOutside(p);
        }
    } while (NextMouseEvent(event, evtMouseMove | evtMouseRepeat));
    ReleaseMouse();
    FocusClamped(newItem);
    Repaint();
    if (doubleClick && FocusedItem < ItemCount)
        PickItem(FocusedItem);
    ConsumeEvent(event);
}

bool tListViewer::HandleKey(TEventRec& event) {
    int newItem = FocusedItem;
    int page = Height * ColumnCount;
    if (std::uint8_t(event.key.keyCode) == ' ' && FocusedItem < ItemCount) {
        PickItem(FocusedItem);
    } else {
        switch (CtrlKeyToCursorKey(event.key.keyCode)) {
        case kKeyHome:
            newItem = TopItem;
            break;
        case kKeyUp:
            newItem = FocusedItem - 1;
            break;
        case kKeyPgUp:
            newItem = FocusedItem - page;
            break;
        case kKeyLeft:
            if (ColumnCount < 2)
                return false;
            newItem = FocusedItem - Height;
            break;
        case kKeyRight:
            if (ColumnCount < 2)
                return false;
            newItem = FocusedItem + Height;
            break;
        case kKeyEnd:
            newItem = page + TopItem - 1;
            break;
        case kKeyDown:
            newItem = FocusedItem + 1;
            break;
        case kKeyPgDn:
            newItem = page + FocusedItem;
            break;
        case kKeyCtrlPgDn:
            newItem = ItemCount - 1;
            break;
        case kKeyCtrlPgUp:
            newItem = 0;
            break;
        default:
            return false;
        }
    }
    FocusClamped(newItem);
    Repaint();
    return true;
}

void tListViewer::HandleBroadcast(TEventRec& event) {
    void* info = event.message.info;
    if (event.message.command == cmdFocusedText && info != nullptr) {
        // An empty list has no focused item to ask a descendant about.
        std::string text = FocusedItem < ItemCount ? ItemText(FocusedItem, kMaxShortString) : "";
        *static_cast<std::string*>(info) = NewStr(text);
        ConsumeEvent(event);
        return;
    }
    if (!HasOption(ViewOption::Selectable) || info == nullptr)
        return;
    if (event.message.command == cmdScrollClicked && (info == HBar || info == VBar)) {
        SelectView();
    } else if (event.message.command == cmdScrollChanged) {
        if (info == VBar) {
            FocusClamped(VBar->Value);
            Repaint();
        } else if (info == HBar) {
            Repaint();
        }
    }
}

void tListViewer::HandleEvent(TEventRec& event) {
    tView::HandleEvent(event);
    if (event.what == evtMouseDown)
        TrackMouse(event);
    else if (event.what == evtKeyDown) {
        if (HandleKey(event))
            ConsumeEvent(event);
    } else if (event.what == evtBroadcast)
        HandleBroadcast(event);
}

void tListViewer::ApplyBounds(const tRect& bounds) {
    tView::ApplyBounds(bounds);
    if (HBar != nullptr)
        HBar->SetSteps(Width / ColumnCount, HBar->ArrowStep);
    if (VBar != nullptr)
        VBar->SetSteps(Height, VBar->ArrowStep);
}

void tListViewer::ApplyState(std::uint16_t mask, bool on) {
    tView::ApplyState(mask, on);
    if (mask & (ViewState::Selected | ViewState::Active)) {
        bool show = HasState(ViewState::Active);
        for (tScrollBar* bar : {HBar, VBar}) {
            if (bar == nullptr)
                continue;
            if (show)
                bar->Reveal();
            else
                bar->Conceal();
        }
        Repaint();
    }
}

void tListViewer::Store(tStream& s) {
    tView::Store(s);
    WritePeerRef(s, HBar);
    WritePeerRef(s, VBar);
    s.WriteValue(ColumnCount);
    s.WriteValue(TopItem);
    s.WriteValue(FocusedItem);
    s.WriteValue(ItemCount);
}

void tListViewer::Load(tStream& s) {
    tView::Load(s);
    ReadPeerRef(s, HBar);
    ReadPeerRef(s, VBar);
    ColumnCount = s.ReadValue<std::int16_t>();
    TopItem = s.ReadValue<std::int16_t>();
    FocusedItem = s.ReadValue<std::int16_t>();
    ItemCount = s.ReadValue<std::int16_t>();
    // Counts from outside: the column width divides by the column count, items are >= 0.
    ColumnCount = std::max<std::int16_t>(ColumnCount, 1);
    ItemCount = std::max<std::int16_t>(ItemCount, 0);
    TopItem = std::max<std::int16_t>(TopItem, 0);
    FocusedItem = std::max<std::int16_t>(FocusedItem, 0);
}

} // namespace zarvo
