// tScrollBar: the value arithmetic, the track drawing, and the mouse and keys. The thumb
// arithmetic runs in 64 bits, so no range of 32-bit values can overflow it.
#include "views/scroll_bar.h"

#include <algorithm>
#include <limits>

#include "console/key_codes.h"
#include "console/keyboard.h"
#include "library/scope.h"
#include "views/group.h"

namespace zarvo {

namespace {

constexpr auto kScrollBarPalette = MakePalette(4, 5, 5);
constexpr std::uint8_t kVerticalChars[5] = {0x1E, 0x1F, 0xB1, 0xFE, 0xB2};
constexpr std::uint8_t kHorizontalChars[5] = {0x11, 0x10, 0xB1, 0xFE, 0xB2};
constexpr int kFirstArrowChar = 0;
constexpr int kSecondArrowChar = 1;
constexpr int kPageChar = 2;
constexpr int kThumbChar = 3;
constexpr int kEmptyChar = 4;

// Keys and what they do: a part to step by, or one of the limits.
enum class tKeyTarget { Part, Min, Max };
struct tBarKey {
    std::uint16_t Key;
    tKeyTarget Target;
    int Part;
};
constexpr tBarKey kHorizontalKeys[] = {
    {kKeyLeft, tKeyTarget::Part, ScrollBarPart::LeftArrow},
    {kKeyRight, tKeyTarget::Part, ScrollBarPart::RightArrow},
    {kKeyCtrlLeft, tKeyTarget::Part, ScrollBarPart::PageLeft},
    {kKeyCtrlRight, tKeyTarget::Part, ScrollBarPart::PageRight},
    {kKeyHome, tKeyTarget::Min, 0},
    {kKeyEnd, tKeyTarget::Max, 0},
};
constexpr tBarKey kVerticalKeys[] = {
    {kKeyUp, tKeyTarget::Part, ScrollBarPart::UpArrow},
    {kKeyDown, tKeyTarget::Part, ScrollBarPart::DownArrow},
    {kKeyPgUp, tKeyTarget::Part, ScrollBarPart::PageUp},
    {kKeyPgDn, tKeyTarget::Part, ScrollBarPart::PageDown},
    {kKeyCtrlPgUp, tKeyTarget::Min, 0},
    {kKeyCtrlPgDn, tKeyTarget::Max, 0},
};

} // namespace

tScrollBar::tScrollBar(const tRect& bounds) : tView(bounds) {
    PageStep = ArrowStep = 1;
    if (Width == 1) {
        GrowFlags = GrowFlag::GrowLeft | GrowFlag::GrowRight | GrowFlag::GrowBottom;
        std::copy(std::begin(kVerticalChars), std::end(kVerticalChars), BarChars);
    } else {
        GrowFlags = GrowFlag::GrowTop | GrowFlag::GrowRight | GrowFlag::GrowBottom;
        std::copy(std::begin(kHorizontalChars), std::end(kHorizontalChars), BarChars);
    }
}

tScrollBar::tScrollBar(tStreamLoad) : tView(kStreamLoad) {}

std::uint16_t tScrollBar::StoreID() const {
    return 3;
}

tPalette tScrollBar::GetPalette() const {
    return kScrollBarPalette.data();
}

void tScrollBar::ValueChanged() {
    if (TrackLock == 0)
        SendToView(Owner, evtBroadcast, cmdScrollChanged, this);
}

std::int32_t tScrollBar::StepFor(int part) {
    std::int32_t step = (part & 2) ? PageStep : ArrowStep;
    return (part & 1) ? step : std::int32_t(-std::int64_t(step));
}

void tScrollBar::SetAll(std::int32_t value, std::int32_t min, std::int32_t max,
                        std::int32_t pageStep, std::int32_t arrowStep) {
    max = std::max(max, min);
    value = std::clamp(value, min, max);
    if (value != Value || min != MinValue || max != MaxValue) {
        Value = value;
        MinValue = min;
        MaxValue = max;
        BeginUpdate();
        ValueChanged();
        EndUpdate();
    }
    PageStep = pageStep;
    ArrowStep = arrowStep;
}

void tScrollBar::SetLimits(std::int32_t min, std::int32_t max) {
    SetAll(Value, min, max, PageStep, ArrowStep);
}

void tScrollBar::SetSteps(std::int32_t pageStep, std::int32_t arrowStep) {
    SetAll(Value, MinValue, MaxValue, pageStep, arrowStep);
}

void tScrollBar::SetPosition(std::int32_t value) {
    SetAll(value, MinValue, MaxValue, PageStep, ArrowStep);
}

int tScrollBar::TrackLength() const {
    return std::max<int>(Width != 1 ? Width : Height, 3);
}

int tScrollBar::ThumbCell() const {
    std::int64_t travel = TrackLength() - 3;
    std::int64_t range = std::int64_t(MaxValue) - MinValue;
    std::int64_t offset = std::int64_t(Value) - MinValue;
    if (range <= 0)
        return 1;
    if (range <= kScrollBarLargeRange)
        return int((offset * travel + range / 2) / range + 1);
    return int(((offset / 32) * travel + range / 64) / (range / 32) + 1);
}

std::int32_t tScrollBar::ValueAtCell(int cell, int travel) const {
    std::int64_t range = std::int64_t(MaxValue) - MinValue;
    if (range <= kScrollBarLargeRange)
        return std::int32_t(MinValue + (range * (cell - 1) + travel / 2) / travel);
    if (cell == travel + 1)
        return MaxValue;
    return std::int32_t(MinValue + 32 * (((range / 32) * (cell - 1) + travel / 64) / travel));
}

std::int32_t tScrollBar::Stepped(std::int64_t step) const {
    std::int64_t value = Value + step;
    return std::int32_t(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

int tScrollBar::PartAt(tPoint p) const {
    tRect extent = ExtentRect();
    extent.Grow(1, 1);
    if (!extent.Contains(p))
        return ScrollBarPart::Outside;
    int m = Width != 1 ? p.X : p.Y;
    int thumb = ThumbCell();
    int last = TrackLength() - 1;
    int part;
    if (m == thumb)
        return ScrollBarPart::Thumb;
    if (m < 1)
        part = ScrollBarPart::LeftArrow;
    else if (m < thumb)
        part = ScrollBarPart::PageLeft;
    else if (m < last)
        part = ScrollBarPart::PageRight;
    else
        part = ScrollBarPart::RightArrow;
    return Width == 1 ? part + ScrollBarPart::UpArrow : part;
}

void tScrollBar::Draw() {
    int length = TrackLength();
    auto cell = [&](int i) -> tCell {
        if (i == 0 || i == length - 1)
            return MakeCell(BarChars[i == 0 ? kFirstArrowChar : kSecondArrowChar], MapColor(2));
        if (MaxValue == MinValue)
            return MakeCell(BarChars[kEmptyChar], MapColor(1));
        if (i == ThumbCell())
            return MakeCell(BarChars[kThumbChar], MapColor(3));
        return MakeCell(BarChars[kPageChar], MapColor(1));
    };
    if (Width == 1) {
        // One cell per row: a tall bar needs no line buffer.
        for (int row = 0; row < Height; ++row) {
            tCell c = cell(row);
            PutSegment(0, row, 1, &c);
        }
        return;
    }
    tCell line[MaxLineCells];
    int cells = std::min(length, MaxLineCells);
    for (int i = 0; i < cells; ++i)
        line[i] = cell(i);
    PutLine(0, 0, std::min<int>(Width, cells), Height, line);
}

void tScrollBar::TrackThumb(TEventRec& event) {
    ++TrackLock;
    tScopeExit finish([this] {
        if (--TrackLock == 0)
            ValueChanged();
        ReleaseMouse();
    });
    tRect extent = ExtentRect();
    extent.Grow(1, 1);
    int position = ThumbCell();
    do {
        int last = TrackLength() - 1;
        tPoint p = ToLocal(event.mouse.where);
        if (!extent.Contains(p))
            continue;
        int cell = std::max(Width != 1 ? p.X : p.Y, std::int16_t(1));
        if (cell >= last)
            cell = last - 1;
        if (cell != position && last > 2) {
            position = cell;
            SetPosition(ValueAtCell(cell, last - 2));
        }
    } while (NextMouseEvent(event, evtMouseMove));
}

void tScrollBar::RepeatPart(TEventRec& event, int part) {
    do {
        if (PartAt(ToLocal(event.mouse.where)) == part)
            SetPosition(Stepped(StepFor(part)));
    } while (NextMouseEvent(event, evtMouseRepeat));
    ReleaseMouse();
}

bool tScrollBar::HandleKey(TEventRec& event) {
    std::uint16_t key = CtrlKeyToCursorKey(event.key.keyCode);
    const tBarKey* begin = Height == 1 ? std::begin(kHorizontalKeys) : std::begin(kVerticalKeys);
    const tBarKey* end = Height == 1 ? std::end(kHorizontalKeys) : std::end(kVerticalKeys);
    const tBarKey* found =
        std::find_if(begin, end, [key](const tBarKey& entry) { return entry.Key == key; });
    if (found == end)
        return false;
    SendToView(Owner, evtBroadcast, cmdScrollClicked, this);
    switch (found->Target) {
    case tKeyTarget::Part:
        SetPosition(Stepped(StepFor(found->Part)));
        break;
    case tKeyTarget::Min:
        SetPosition(MinValue);
        break;
    case tKeyTarget::Max:
        SetPosition(MaxValue);
        break;
    }
    return true;
}

void tScrollBar::HandleEvent(TEventRec& event) {
    tView::HandleEvent(event);
    if (event.what == evtMouseDown) {
        SendToView(Owner, evtBroadcast, cmdScrollClicked, this);
        int part = PartAt(ToLocal(event.mouse.where));
        CaptureMouse();
        if (part == ScrollBarPart::Thumb)
            TrackThumb(event);
        else if (part != ScrollBarPart::Outside)
            RepeatPart(event, part);
        else
            ReleaseMouse();
        ConsumeEvent(event);
    } else if (event.what == evtKeyDown && HasState(ViewState::Visible)) {
        if (HandleKey(event))
            ConsumeEvent(event);
    }
}

void tScrollBar::Store(tStream& s) {
    tView::Store(s);
    s.WriteValue(Value);
    s.WriteValue(MinValue);
    s.WriteValue(MaxValue);
    s.WriteValue(PageStep);
    s.WriteValue(ArrowStep);
    for (std::uint8_t c : BarChars)
        s.WriteValue(c);
}

void tScrollBar::Load(tStream& s) {
    tView::Load(s);
    Value = s.ReadValue<std::int32_t>();
    MinValue = s.ReadValue<std::int32_t>();
    MaxValue = s.ReadValue<std::int32_t>();
    PageStep = s.ReadValue<std::int32_t>();
    ArrowStep = s.ReadValue<std::int32_t>();
    for (std::uint8_t& c : BarChars)
        c = s.ReadValue<std::uint8_t>();
    // Values from outside keep the bar's own rule: inside the limits, the range not inverted.
    MaxValue = std::max(MaxValue, MinValue);
    Value = std::clamp(Value, MinValue, MaxValue);
}

} // namespace zarvo
