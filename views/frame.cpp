// tFrame: drawing from the join and line tables without allocation, and the mouse on the
// border: close and zoom icons pressed and released, double-click zoom, move and resize drags.
#include "views/frame.h"

#include <algorithm>

#include "platform/cp866.h"
#include "views/window.h"

namespace zarvo {

const std::uint8_t FrameJoins[18] = {0x06, 0x0A, 0x0C, 0x05, 0x00, 0x05, 0x03, 0x0A, 0x09,
                                     0x16, 0x1A, 0x1C, 0x15, 0x00, 0x15, 0x13, 0x1A, 0x19};
const std::string_view FrameChars = "   └ │┌├ ┘─┴┐┤┬┼   ╚ ║╔╟ ╝═╧╗╢╤ "_oem;
const std::string_view CloseIcon = "[~■~]"_oem;
const std::string_view ClosePressedIcon = "[~\x0F~]"_oem;
const std::string_view ZoomIcon = "[~\x18~]"_oem;
const std::string_view ResizeIcon = "~─┘~"_oem;

namespace {

constexpr auto kFramePalette = MakePalette(1, 1, 2, 2, 3);
constexpr int kSingleStyle = 0;
constexpr int kDoubleStyle = 9;
constexpr int kMiddleJoins = 3;
constexpr int kBottomJoins = 6;
constexpr int kCloseColumn = 2;
constexpr int kIconWidth = 3;
constexpr std::uint8_t kZoomPressedChar = 0x0F;
constexpr std::uint8_t kZoomedChar = 0x12;

// The border pieces of one framed subview on one row: low byte at the left end, low xor high
// at the right end, high along the subview.
struct tJoin {
    std::uint8_t Low;
    std::uint8_t High;
};

} // namespace

struct tFrame::tStyle {
    std::uint16_t FramePair; // low: lines, high: icon letters
    std::uint8_t TitleColor;
    int Offset;
};

tFrame::tFrame(const tRect& bounds) : tView(bounds) {
    GrowFlags = GrowFlag::GrowRight | GrowFlag::GrowBottom;
    AcceptMask |= evtBroadcast;
}

tFrame::tFrame(tStreamLoad) : tView(kStreamLoad) {}

std::uint16_t tFrame::StoreID() const {
    return 2;
}

tPalette tFrame::GetPalette() const {
    return kFramePalette.data();
}

tWindow* tFrame::Window() const {
    return dynamic_cast<tWindow*>(Owner);
}

tFrame::tStyle tFrame::CurrentStyle() const {
    if (HasState(ViewState::Dragging))
        return {MapColors(0x0505), MapColor(5), kSingleStyle};
    if (HasState(ViewState::Active))
        return {MapColors(0x0503), MapColor(4), kDoubleStyle};
    return {MapColors(0x0101), MapColor(2), kSingleStyle};
}

void tFrame::FrameLine(tCell* line, int width, int row, int n, std::uint8_t color) const {
    std::uint8_t mask[MaxLineCells];
    mask[0] = FrameJoins[n];
    for (int x = 1; x < width - 1; ++x)
        mask[x] = FrameJoins[n + 1];
    mask[width - 1] = FrameJoins[n + 2];
    if (Owner != nullptr) {
        for (tView* v = Owner->FirstView(); v != nullptr && v != this; v = v->Following()) {
            if (!v->HasState(ViewState::Visible) || !v->HasOption(ViewOption::Framed))
                continue;
            int d = row - v->Top;
            if (d < -1 || d > v->Height)
                continue;
            tJoin m = d == -1         ? tJoin{0x06, 0x0A}
                      : d < v->Height ? tJoin{0x05, 0x00}
                                      : tJoin{0x03, 0x0A};
            int x1 = std::max<int>(v->Left, 1);
            int x2 = std::min<int>(v->Left + v->Width, width - 1);
            if (x1 >= x2)
                continue;
            mask[x1 - 1] |= m.Low;
            mask[x2] |= m.Low ^ m.High;
            if (m.High != 0)
                for (int x = x1; x < x2; ++x)
                    mask[x] |= m.High;
        }
    }
    for (int x = 0; x < width; ++x)
        line[x] = MakeCell(std::uint8_t(FrameChars[mask[x] & 0x1F]), color);
}

void tFrame::DrawTitle(tCell* line, int width, int maxTitle, std::uint8_t color) const {
    tWindow* window = Window();
    std::string title = window != nullptr ? window->TitleText(maxTitle) : std::string();
    if (title.empty())
        return;
    int length = std::max(std::min<int>(int(title.size()), width - 10), 0);
    int start = (width - length) / 2;
    if (start >= 1)
        line[start - 1] = MakeCell(' ', color);
    for (int i = 0; i < length; ++i)
        line[start + i] = MakeCell(std::uint8_t(title[i]), color);
    if (start + length < width)
        line[start + length] = MakeCell(' ', color);
}

void tFrame::DrawTopRow(tCell* line, int width, const tStyle& style) const {
    tWindow* window = Window();
    std::uint8_t flags = window != nullptr ? window->WindowFlags : 0;
    std::int16_t number = window != nullptr ? window->Number : 0;
    FrameLine(line, width, 0, style.Offset, std::uint8_t(style.FramePair));
    int maxTitle = width - 10;
    if (flags & (WindowFlag::CanClose | WindowFlag::CanZoom))
        maxTitle -= 6;
    bool numbered = number >= 1 && number <= 9;
    if (numbered)
        maxTitle -= 4;
    DrawTitle(line, width, maxTitle, style.TitleColor);
    // The number goes over the title, not under it: a long title must not hide it.
    int numberColumn = width - ((flags & WindowFlag::CanZoom) ? 7 : 3);
    if (numbered && numberColumn >= 0)
        line[numberColumn] = MakeCell(std::uint8_t('0' + number), CellAttr(line[numberColumn]));
    if (!HasState(ViewState::Active) || window == nullptr)
        return;
    if ((flags & WindowFlag::CanClose) && width >= kCloseColumn + kIconWidth) {
        std::string_view icon =
            FrameMode == FrameModes::ClosePressed ? ClosePressedIcon : CloseIcon;
        CopyHotTextToCells(line + kCloseColumn, icon, style.FramePair);
    }
    if ((flags & WindowFlag::CanZoom) && width >= 5) {
        CopyHotTextToCells(line + width - 5, ZoomIcon, style.FramePair);
        tPoint min, max;
        window->SizeRange(min, max);
        tCell& middle = line[width - 4];
        if (FrameMode == FrameModes::ZoomPressed)
            middle = MakeCell(kZoomPressedChar, CellAttr(middle));
        else if (window->Width == max.X && window->Height == max.Y)
            middle = MakeCell(kZoomedChar, CellAttr(middle));
    }
}

void tFrame::Draw() {
    int width = std::min<int>(Width, MaxLineCells);
    if (width < 1 || Height < 1)
        return;
    tStyle style = CurrentStyle();
    auto lineColor = std::uint8_t(style.FramePair);
    tCell line[MaxLineCells];
    DrawTopRow(line, width, style);
    PutLine(0, 0, width, 1, line);
    for (int row = 1; row < Height - 1; ++row) {
        FrameLine(line, width, row, style.Offset + kMiddleJoins, lineColor);
        PutLine(0, row, width, 1, line);
    }
    FrameLine(line, width, Height - 1, style.Offset + kBottomJoins, lineColor);
    tWindow* window = Window();
    if (HasState(ViewState::Active) && window != nullptr &&
        (window->WindowFlags & WindowFlag::CanGrow) && width >= 2)
        CopyHotTextToCells(line + width - 2, ResizeIcon, style.FramePair);
    PutLine(0, Height - 1, width, 1, line);
}

void tFrame::ApplyState(std::uint16_t mask, bool on) {
    tView::ApplyState(mask, on);
    if (mask & (ViewState::Active | ViewState::Dragging))
        Repaint();
}

bool tFrame::TrackIcon(TEventRec& event, int first, std::int16_t pressedMode) {
    auto onIcon = [&](tPoint p) { return p.Y == 0 && p.X >= first && p.X < first + kIconWidth; };
    CaptureMouse();
    do {
        FrameMode = onIcon(ToLocal(event.mouse.where)) ? pressedMode : FrameModes::Normal;
        Repaint();
    } while (NextMouseEvent(event, evtMouseMove | evtMouseRepeat));
    ReleaseMouse();
    FrameMode = FrameModes::Normal;
    return event.what == evtMouseUp && onIcon(ToLocal(event.mouse.where));
}

void tFrame::PostToWindow(std::uint16_t command, tWindow* window) {
    TEventRec posted;
    posted.what = evtCommand;
    posted.message.command = command;
    posted.message.info = window;
    PostEvent(posted);
}

void tFrame::HandleEvent(TEventRec& event) {
    tView::HandleEvent(event);
    tWindow* window = Window();
    if (event.what != evtMouseDown || window == nullptr)
        return;
    tPoint p = ToLocal(event.mouse.where);
    bool active = HasState(ViewState::Active);
    std::uint8_t flags = window->WindowFlags;
    std::uint8_t kind = WindowFlag::CanMove;
    if (p.Y != 0) {
        if (!active || p.X < Width - 2 || p.Y < Height - 1)
            return;
        kind = WindowFlag::CanGrow;
    } else if ((flags & WindowFlag::CanClose) && active && p.X >= kCloseColumn &&
               p.X < kCloseColumn + kIconWidth) {
        if (TrackIcon(event, kCloseColumn, FrameModes::ClosePressed))
            PostToWindow(cmdClose, window);
        ConsumeEvent(event);
        Repaint();
        return;
    } else if ((flags & WindowFlag::CanZoom) && active &&
               (event.mouse.doubleClick || (p.X >= Width - 5 && p.X <= Width - 3))) {
        bool zoom = event.mouse.doubleClick != 0;
        if (!zoom)
            zoom = TrackIcon(event, Width - 5, FrameModes::ZoomPressed);
        FrameMode = FrameModes::Normal;
        if (zoom)
            PostToWindow(cmdZoom, window);
        ConsumeEvent(event);
        Repaint();
        return;
    }
    if ((flags & kind) && window->Owner != nullptr) {
        tRect limits = window->Owner->ExtentRect();
        tPoint min, max;
        window->SizeRange(min, max);
        window->TrackDrag(event, std::uint8_t(kind | window->DragFlags), limits, min, max);
        ConsumeEvent(event);
    }
}

} // namespace zarvo
