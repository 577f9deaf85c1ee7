// TStatusLine: items from column 0 with their keys highlighted, the hint area after them,
// keys and clicks turned into commands, following the focused view's hint on idle events,
// the hint table of views without a hint, and the stored forms of item lists and the line.
#include "views/status_line.h"

#include <algorithm>
#include <vector>

#include "library/clocks.h"
#include "library/scope.h"
#include "library/strings.h"
#include "views/status_line_cache.h"

namespace zarvo {

namespace {

constexpr auto kStatusLinePalette = MakePalette(2, 3, 4, 5, 6, 7);
constexpr std::uint8_t kHintDivider = 179; // │

// The status lines alive, oldest first; the newest answers the hint table, and when it goes
// the one before it takes over again.
std::vector<TStatusLine*> gHintTableLines;

std::string HintTable(std::uint16_t helpContext) {
    return gHintTableLines.empty() ? std::string() : gHintTableLines.back()->HintFor(helpContext);
}

int ItemWidth(const TStatusItemRec& item) {
    return HotTextLength(item.Text) + 2;
}

} // namespace

TStatusItemRec::~TStatusItemRec() {
    tStatusItemPtr next = std::move(Next);
    while (next != nullptr)
        next = std::move(next->Next);
}

TStatusDefRec::~TStatusDefRec() {
    tStatusDefPtr next = std::move(Next);
    while (next != nullptr)
        next = std::move(next->Next);
}

tStatusItemPtr NewStatusKey(std::string_view text, std::uint16_t keyCode, std::uint16_t command,
                            tStatusItemPtr next) {
    auto item = std::make_unique<TStatusItemRec>();
    item->Next = std::move(next);
    item->Text = NewStr(text);
    item->KeyCode = keyCode;
    item->Command = command;
    return item;
}

tStatusDefPtr NewStatusDef(std::uint16_t min, std::uint16_t max, std::string_view hint,
                           tStatusDefPtr next) {
    auto def = std::make_unique<TStatusDefRec>();
    def->Next = std::move(next);
    def->Min = min;
    def->Max = max;
    def->Hint = NewStr(hint);
    return def;
}

void WriteStatusItems(tStream& s, const TStatusItemRec* items) {
    std::uint16_t count = 0;
    for (const TStatusItemRec* item = items; item != nullptr; item = item->Next.get())
        ++count;
    s.WriteValue(count);
    for (const TStatusItemRec* item = items; item != nullptr && s.Status == stOk;
         item = item->Next.get()) {
        s.WriteStr(item->Text);
        s.WriteValue(item->KeyCode);
        s.WriteValue(item->Command);
    }
}

tStatusItemPtr ReadStatusItems(tStream& s) {
    auto count = s.ReadValue<std::uint16_t>();
    if (s.Status != stOk)
        return nullptr;
    if (count > kMaxStatusItems) {
        s.Error(stReadError, 0);
        return nullptr;
    }
    tStatusItemPtr first;
    tStatusItemPtr* tail = &first;
    for (int i = 0; i < count; ++i) {
        auto item = std::make_unique<TStatusItemRec>();
        item->Text = s.ReadStr();
        item->KeyCode = s.ReadValue<std::uint16_t>();
        item->Command = s.ReadValue<std::uint16_t>();
        if (s.Status != stOk)
            return nullptr;
        *tail = std::move(item);
        tail = &(*tail)->Next;
    }
    return first;
}

TStatusLine::TStatusLine(const tRect& bounds, tStatusDefPtr definitions)
    : tView(bounds), Definitions(std::move(definitions)) {
    GrowFlags |= GrowFlag::GrowTop | GrowFlag::GrowRight | GrowFlag::GrowBottom;
    OptionFlags |= ViewOption::PreProcess;
    AcceptMask |= evtBroadcast;
    SubscribeIdle();
    ReloadItems();
}

TStatusLine::TStatusLine(tStreamLoad) : tView(kStreamLoad) {
    SubscribeIdle();
}

TStatusLine::~TStatusLine() {
    zarvo::Unsubscribe(evnNotifyIdle, BindHandler<&TStatusLine::OnIdle>(this));
    std::erase(gHintTableLines, this);
}

void TStatusLine::SubscribeIdle() {
    // The application's idle notification is global, not the line's own event.
    zarvo::Subscribe(evnNotifyIdle, BindHandler<&TStatusLine::OnIdle>(this));
    gHintTableLines.push_back(this);
    HintTableHook = &HintTable;
}

std::uint16_t TStatusLine::StoreID() const {
    return 42;
}

tPalette TStatusLine::GetPalette() const {
    return kStatusLinePalette.data();
}

std::string TStatusLine::HintFor(std::uint16_t helpContext) const {
    for (const TStatusDefRec* def = Definitions.get(); def != nullptr; def = def->Next.get())
        if (helpContext >= def->Min && helpContext <= def->Max)
            return def->Hint;
    return std::string();
}

void TStatusLine::ReloadItems() {
    Items = LookupStatusItems(Hint);
}

void TStatusLine::OnIdle(EventFrame& frame) {
    if (IdleUpdate())
        *static_cast<bool*>(frame.Argument) = true;
}

bool TStatusLine::IdleUpdate() {
    std::uint32_t now = GetTickCount32();
    if (Updating || now - LastIdleTime < kStatusIdleInterval)
        return false;
    tTemporaryChange updating(Updating, true);
    LastIdleTime = now;
    std::string hint;
    if (tView* top = ModalTop())
        top->FireEvent(evnHintText, &hint);
    if (hint == Hint)
        return false;
    SetHintText(hint);
    ReloadItems();
    Repaint();
    return true;
}

const TStatusItemRec* TStatusLine::ItemAtColumn(int x) const {
    int column = 0;
    for (const TStatusItemRec* item = Items; item != nullptr; item = item->Next.get()) {
        if (item->Text.empty())
            continue;
        int next = column + ItemWidth(*item);
        if (x >= column && x < next)
            return item;
        column = next;
    }
    return nullptr;
}

void TStatusLine::Draw() {
    tCell line[MaxLineCells];
    int width = std::min<int>(Width, MaxLineCells);
    FillCells(line, ' ', std::uint8_t(MapColors(StatusColors::Normal)), MaxLineCells);
    int x = 0;
    for (const TStatusItemRec* item = Items; item != nullptr; item = item->Next.get()) {
        if (item->Text.empty())
            continue;
        int next = x + ItemWidth(*item);
        if (next < width) {
            bool on = IsCommandOn(item->Command);
            bool lit = item == Highlighted;
            std::uint16_t pair =
                on ? (lit ? StatusColors::Highlighted : StatusColors::Normal)
                   : (lit ? StatusColors::DisabledHighlighted : StatusColors::Disabled);
            std::uint16_t colors = MapColors(pair);
            FillCells(line + x, ' ', std::uint8_t(colors), next - x);
            CopyHotTextToCells(line + x + 1, item->Text, colors);
        }
        x = next;
    }
    if (x < width - 2)
        DrawHintArea(line, x);
    PutLine(0, 0, width, 1, line);
    Highlighted = nullptr;
}

void TStatusLine::DrawHintArea(tCell* line, int x) {
    tStatusHintArgs args;
    args.HelpContext = HelpContext();
    FireEvent(evnStatusHintText, &args);
    if (args.Text.empty())
        return;
    int width = std::min<int>(Width, MaxLineCells);
    std::uint8_t color = std::uint8_t(MapColors(StatusColors::Normal));
    line[x] = MakeCell(kHintDivider, color);
    int room = width - (x + 2);
    if (room > 0)
        CopyCharsToCells(line + x + 2, args.Text.data(), color,
                         std::min<int>(room, int(std::min<std::size_t>(args.Text.size(), 255))));
}

void TStatusLine::TrackMouse(TEventRec& event) {
    const TStatusItemRec* shown = nullptr;
    const TStatusItemRec* item = nullptr;
    CaptureMouse();
    do {
        tPoint p = ToLocal(event.mouse.where);
        item = ExtentRect().Contains(p) ? ItemAtColumn(p.X) : nullptr;
        if (item != shown) {
            shown = item;
            Highlighted = item;
            Repaint();
        }
    } while (NextMouseEvent(event, evtMouseMove));
    ReleaseMouse();
    if (shown != nullptr)
        Repaint();
    if (item != nullptr && item->Command != 0 && IsCommandOn(item->Command)) {
        TEventRec command;
        command.what = evtCommand;
        command.message.command = item->Command;
        PostEvent(command);
    }
}

void TStatusLine::HandleEvent(TEventRec& event) {
    switch (event.what) {
    case evtMouseDown:
        TrackMouse(event);
        ConsumeEvent(event);
        break;
    case evtKeyDown:
        for (const TStatusItemRec* item = Items; item != nullptr; item = item->Next.get()) {
            if (item->KeyCode == event.key.keyCode && item->Command != 0 &&
                IsCommandOn(item->Command)) {
                std::uint16_t command = item->Command;
                event.Clear();
                event.what = evtCommand;
                event.message.command = command;
                break;
            }
        }
        break;
    case evtBroadcast:
        if (event.message.command == cmdCommandsChanged)
            Repaint();
        break;
    default:
        break;
    }
}

void TStatusLine::Store(tStream& s) {
    tView::Store(s);
    std::uint16_t count = 0;
    for (const TStatusDefRec* def = Definitions.get(); def != nullptr; def = def->Next.get())
        ++count;
    s.WriteValue(count);
    for (const TStatusDefRec* def = Definitions.get(); def != nullptr && s.Status == stOk;
         def = def->Next.get()) {
        s.WriteValue(def->Min);
        s.WriteValue(def->Max);
        WriteStatusItems(s, LookupStatusItems(def->Hint));
    }
}

void TStatusLine::Load(tStream& s) {
    tView::Load(s);
    auto count = s.ReadValue<std::uint16_t>();
    for (int i = 0; i < count && s.Status == stOk; ++i) {
        s.ReadValue<std::uint16_t>();
        s.ReadValue<std::uint16_t>();
        ReadStatusItems(s);
    }
    if (s.Status == stOk)
        ReloadItems();
}

} // namespace zarvo
