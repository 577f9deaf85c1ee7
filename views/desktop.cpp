// The desktop: its background pattern, window numbers, cycling the windows, tiling and
// cascading them.
#include "views/desktop.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>

#include "library/stream_class.h"
#include "views/window.h"

namespace zarvo {

namespace {

// Index 1 of the application palette: the desktop's background colour.
constexpr auto kBackgroundPalette = MakePalette(1);
constexpr std::uint8_t kDefaultPattern = 0xB0; // "░"
// A desktop option bit the desktop sets on itself.
constexpr std::uint32_t kDeskTopOption = 0x400;

bool IsTileable(const tView* p) {
    return p->HasOption(ViewOption::Tileable) && p->HasState(ViewState::Visible);
}

int Divider(int lo, int hi, int parts, int k) {
    return lo + (hi - lo) * k / parts;
}

} // namespace

std::int16_t WindowNumberLimit = 10;

// ---- TBackground

TBackground::TBackground(const tRect& bounds, std::uint8_t pattern)
    : tView(bounds), Pattern(pattern) {
    GrowFlags = GrowFlag::GrowRight | GrowFlag::GrowBottom;
}

TBackground::TBackground(tStreamLoad) : tView(kStreamLoad) {}

std::uint16_t TBackground::StoreID() const {
    return 30;
}

void TBackground::Store(tStream& s) {
    tView::Store(s);
    s.WriteValue(Pattern);
}

void TBackground::Load(tStream& s) {
    tView::Load(s);
    Pattern = s.ReadValue<std::uint8_t>();
}

void TBackground::Draw() {
    tCell line[MaxLineCells];
    int width = std::min<int>(Width, MaxLineCells);
    FillCells(line, Pattern, MapColor(1), width);
    PutLine(0, 0, width, Height, line);
}

tPalette TBackground::GetPalette() const {
    return kBackgroundPalette.data();
}

// ---- TStackForHelp

TStackForHelp::TStackForHelp(std::uint16_t elementSize, std::uint16_t capacity)
    : ElementSize(elementSize), Capacity(capacity),
      Elements(std::size_t(elementSize) * capacity, 0) {}

// ---- TDeskTop

TDeskTop::TDeskTop(const tRect& bounds) : tGroup(bounds) {
    GrowFlags = GrowFlag::GrowRight | GrowFlag::GrowBottom;
    AcceptMask |= evtIdle;
    HelpTopic = kDeskTopHelpTopic;
    Background = InitBackground();
    if (Background != nullptr)
        InsertView(Background);
    StackTopics = MakeObject<TStackForHelp>(4, 7);
    OptionFlags |= kDeskTopOption;
}

TDeskTop::~TDeskTop() {
    StackTopics.reset();
    BeginUpdate();
    while (tView* p = FirstView()) {
        FreeObject(p);
        // A free that was refused leaves the view in front: the group's own end takes it.
        if (FirstView() == p)
            break;
    }
    Background = nullptr;
    EndUpdateQuiet();
}

void TDeskTop::tInsert(tView* p) {
    // Behind the other windows but never behind the pattern, where it could not be seen.
    InsertAhead(p, Background != nullptr && Background->Owner == this ? Background : nullptr);
}

TBackground* TDeskTop::InitBackground() {
    return MakeObject<TBackground>(ExtentRect(), kDefaultPattern).release();
}

void TDeskTop::InsertDesktop(tWindow* window, bool numbered) {
    window->Number = numbered ? FirstWindowNumber() : 0;
    if (numbered)
        window->AcceptMask |= evtBroadcast;
    // A new window comes to the front, where it is seen and selected.
    InsertView(window);
}

std::int16_t TDeskTop::FirstWindowNumber() {
    // Every window writes the byte of its own number, whatever the limit: the buffer covers
    // every number a window can carry, and only the first LIMIT are looked at.
    std::vector<std::uint8_t> taken(std::size_t(std::numeric_limits<std::int16_t>::max()) + 1, 0);
    SendToView(this, evtBroadcast, cmdCollectWindowNumbers, taken.data());
    std::int16_t limit = WindowNumberLimit;
    for (std::int16_t n = 1; n < limit; ++n) {
        if (taken[std::size_t(n)] == 0)
            return n;
    }
    if (WindowNumberLimit < std::numeric_limits<std::int16_t>::max())
        ++WindowNumberLimit;
    return limit;
}

int TDeskTop::CountTileable() {
    int count = 0;
    ForEachView([&count](tView* p) { count += IsTileable(p) ? 1 : 0; });
    return count;
}

void TDeskTop::Cascade(const tRect& area) {
    tView* last = nullptr;
    int count = 0;
    ForEachView([&](tView* p) {
        if (IsTileable(p)) {
            ++count;
            last = p;
        }
    });
    if (count == 0)
        return;
    tPoint min{}, max{};
    last->SizeRange(min, max);
    if (area.Right - area.Left - count < min.X || area.Bottom - area.Top - count < min.Y) {
        TileError();
        return;
    }
    int k = count - 1;
    tUpdateLockGuard lock(*this);
    ForEachView([&](tView* p) {
        if (!IsTileable(p))
            return;
        tRect r = area;
        r.Left = std::int16_t(r.Left + k);
        r.Top = std::int16_t(r.Top + k);
        p->PlaceBounds(r);
        --k;
    });
}

void TDeskTop::Tile(const tRect& area) {
    int n = CountTileable();
    if (n < 1)
        return;
    int i = int(std::sqrt(double(n)));
    if (n % i != 0 && n % (i + 1) == 0)
        ++i;
    if (i < n / i)
        i = n / i;
    int columns = n / i;
    int rows = i;
    if ((area.Right - area.Left) / columns == 0 || (area.Bottom - area.Top) / rows == 0) {
        TileError();
        return;
    }
    int leftover = n % columns;
    int p = n - 1;
    tUpdateLockGuard lock(*this);
    ForEachView([&](tView* view) {
        if (!IsTileable(view))
            return;
        int d = (columns - leftover) * rows;
        int x, y, r;
        if (p < d) {
            x = p / rows, y = p % rows, r = rows;
        } else {
            x = (columns - leftover) + (p - d) / (rows + 1);
            y = (p - d) % (rows + 1);
            r = rows + 1;
        }
        tRect tile = MakeRect(Divider(area.Left, area.Right, columns, x),
                              Divider(area.Top, area.Bottom, r, y),
                              Divider(area.Left, area.Right, columns, x + 1),
                              Divider(area.Top, area.Bottom, r, y + 1));
        view->PlaceBounds(tile);
        --p;
    });
}

void TDeskTop::TileError() {}

void TDeskTop::HandleEvent(TEventRec& event) {
    tGroup::HandleEvent(event);
    if (event.what != evtCommand)
        return;
    switch (event.message.command) {
    case cmdNext:
        SelectNeighbour(false);
        ConsumeEvent(event);
        break;
    case cmdPrev:
        if (CurrentView != nullptr)
            CurrentView->PlaceBefore(Background);
        ConsumeEvent(event);
        break;
    default:
        break;
    }
}

void RegisterDeskTopStreamClasses() {
    static const tStreamClass kBackground = StreamClassOf<TBackground>(
        "TBackground", []() -> tSObject* { return new TBackground(kStreamLoad); });
    static std::once_flag once;
    std::call_once(once, [] { RegisterStreamClasses({&kBackground}); });
}

} // namespace zarvo
