// tCluster and its two kinds: items in columns as wide as their widest text, the cursor moved
// by arrows over enabled items only, hot keys, space and clicks pressing an item, the value
// passed through its named event, and the stored form with the items in a block.
#include "views/cluster.h"

#include <algorithm>
#include <cstring>

#include "console/key_codes.h"
#include "console/keyboard.h"
#include "views/group.h"
#include "views/hot_letter.h"

namespace zarvo {

namespace {

constexpr auto kClusterPalette = MakePalette(16, 17, 18, 18, 31);
constexpr std::uint8_t kClusterBlock = 1;
constexpr std::uint32_t kAllEnabled = 0xFFFFFFFF;
// Items from this one on have no bit in EnableMask and are always enabled.
constexpr int kMaskedItems = 32;
// An item's icon and the space after it.
constexpr int kIconWidth = 5;
constexpr int kColumnGap = 6;

const std::string kNoText;

void SetChar(tCell& cell, char ch) {
    cell = MakeCell(std::uint8_t(ch), CellAttr(cell));
}

} // namespace

std::unique_ptr<tSItem> NewSItem(std::string_view text, std::unique_ptr<tSItem> next) {
    auto item = std::make_unique<tSItem>();
    item->Text = std::string(text);
    item->Next = std::move(next);
    return item;
}

tCluster::tCluster(const tRect& bounds, std::unique_ptr<tSItem> items) : tView(bounds) {
    OptionFlags |= ViewOption::Selectable | ViewOption::FirstClick | ViewOption::PreProcess |
                   ViewOption::PostProcess;
    int count = 0;
    for (const tSItem* p = items.get(); p != nullptr; p = p->Next.get())
        ++count;
    Items.reset(new tStringCollection(std::int16_t(std::min<int>(count, kMaxCollectionSize)), 0));
    // Taken apart node by node, so that a long chain is not freed by deep recursion.
    while (items != nullptr) {
        Items->InsertAt(Items->Count, tStringCollection::NewItem(items->Text));
        items = std::move(items->Next);
    }
    SetClusterValue(0);
    SelectedItem = 0;
    SetCursorPos(2, 0);
    CursorOn();
    SetEnableMask(kAllEnabled);
}

tCluster::tCluster(tStreamLoad) : tView(kStreamLoad) {
    Items.reset(new tStringCollection(0, 0));
}

std::uint16_t tCluster::StoreID() const {
    return 13;
}

tPalette tCluster::GetPalette() const {
    return kClusterPalette.data();
}

std::uint16_t tCluster::DataLength() {
    return sizeof(ClusterValue);
}

const std::string& tCluster::ItemText(int item) const {
    if (Items == nullptr || item < 0 || item >= Items->Count || Items->Items[item] == nullptr)
        return kNoText;
    return *static_cast<const std::string*>(Items->Items[item]);
}

// A cluster of no rows (a damaged record) still has a row to count columns by.
int tCluster::Rows() const {
    return std::max<int>(Height, 1);
}

// ---- value and enabled items

bool tCluster::ItemMarked(std::int16_t) {
    return false;
}

void tCluster::ActivateItem(std::int16_t) {}

void tCluster::ItemReached(std::int16_t) {}

void tCluster::SetClusterValue(std::uint16_t value) {
    FireEvent(evnClusterValue, &value, BindHandler<&tCluster::OnStoreValue>(this));
}

void tCluster::OnStoreValue(EventFrame& frame) {
    ClusterValue = *static_cast<const std::uint16_t*>(frame.Argument);
}

bool tCluster::ItemEnabled(std::int16_t item) const {
    if (item >= kMaskedItems)
        return true;
    return item >= 0 && (EnableMask >> item) & 1;
}

void tCluster::SetEnableMask(std::uint32_t mask) {
    EnableMask = mask;
    if (mask == 0) {
        if (ItemCount() <= kMaskedItems)
            OptionFlags &= ~ViewOption::Selectable;
        return;
    }
    OptionFlags |= ViewOption::Selectable;
    if (ItemEnabled(SelectedItem))
        return;
    // One pass over the items at most: a mask that enables none of them leaves item 0.
    const int count = ItemCount();
    SelectedItem = 0;
    for (int step = 0; step < count && !ItemEnabled(SelectedItem); ++step)
        SelectedItem = std::int16_t((SelectedItem + 1) % count);
}

void tCluster::PressItem() {
    const std::int16_t item = SelectedItem;
    if (OnBeforePress && !OnBeforePress(this, item))
        return;
    ActivateItem(item);
    Repaint();
    if (OnAfterPress)
        OnAfterPress(this, item);
}

// ---- geometry

int tCluster::ColumnStart(int item) const {
    const int rows = Rows();
    if (item < rows)
        return 0;
    int column = -kColumnGap;
    int columnWidth = 0;
    int length = 0;
    for (int i = 0; i <= item; ++i) {
        if (i % rows == 0) {
            column += columnWidth + kColumnGap;
            columnWidth = 0;
        }
        if (i < ItemCount())
            length = HotTextLength(ItemText(i));
        columnWidth = std::max(columnWidth, length);
    }
    return column;
}

int tCluster::ItemUnder(tPoint p) const {
    if (p.X < 0 || p.X >= Width || p.Y < 0 || p.Y >= Height)
        return -1;
    int first = 0;
    while (p.X >= ColumnStart(first + Rows()))
        first += Rows();
    int item = first + p.Y;
    return item < ItemCount() ? item : -1;
}

// ---- drawing

void tCluster::Draw() {
    DrawItems(" [ ] ", 'X');
}

void tCluster::DrawItems(std::string_view icon, char marker) {
    const std::uint16_t normal = MapColors(0x0301);
    const int rows = Rows();
    const int count = ItemCount();
    tCell line[MaxLineCells];
    for (int row = 0; row < Height; ++row) {
        FillCells(line, ' ', std::uint8_t(normal), MaxLineCells);
        for (int column = 0; column <= (count - 1) / rows; ++column) {
            const int item = column * rows + row;
            if (item >= count)
                continue;
            const int start = ColumnStart(item);
            const std::string& text = ItemText(item);
            // Items that would not fit a line of cells are left out.
            if (start + HotTextLength(text) + kIconWidth >= MaxLineCells)
                continue;
            std::uint16_t colors = normal;
            if (!ItemEnabled(std::int16_t(item)))
                colors = MapColors(0x0505);
            else if (item == SelectedItem && HasState(ViewState::Selected))
                colors = MapColors(0x0402);
            CopyCharsToCells(line + start, icon.data(), std::uint8_t(colors), kIconWidth);
            if (ItemMarked(std::int16_t(item)))
                SetChar(line[start + 2], marker);
            CopyHotTextToCells(line + start + kIconWidth, text, colors);
            if (ShowMarkers && HasState(ViewState::Selected) && item == SelectedItem) {
                SetChar(line[start], char(MarkerChars[0]));
                int right = ColumnStart(item + rows) - 1;
                if (right >= 0 && right < MaxLineCells)
                    SetChar(line[right], char(MarkerChars[1]));
            }
        }
        PutCells(0, row, Width, 1, line);
    }
    SetCursorPos(ColumnStart(SelectedItem) + 2, SelectedItem % rows);
}

// ---- events

void tCluster::HandleEvent(TEventRec& event) {
    tView::HandleEvent(event);
    if (event.what == evtMouseDown)
        TrackMouse(event);
    else if (event.what == evtKeyDown)
        HandleKey(event);
}

void tCluster::TrackMouse(TEventRec& event) {
    int item = ItemUnder(ToLocal(event.mouse.where));
    if (item != -1 && ItemEnabled(std::int16_t(item)))
        SelectedItem = std::int16_t(item);
    Repaint();
    CaptureMouse();
    do {
        if (ItemUnder(ToLocal(event.mouse.where)) == SelectedItem)
            CursorOn();
        else
            CursorOff();
    } while (NextMouseEvent(event, evtMouseMove));
    ReleaseMouse();
    CursorOn();
    // Only a release presses: a track ended by cmdAbort or a lost capture does not.
    if (event.what == evtMouseUp && ItemUnder(ToLocal(event.mouse.where)) == SelectedItem &&
        ItemEnabled(SelectedItem))
        PressItem();
    ConsumeEvent(event);
}

int tCluster::ArrowTarget(std::uint16_t key, int s) const {
    const int count = ItemCount();
    const int rows = Rows();
    for (int step = 1; step <= count + 1; ++step) {
        switch (key) {
        case kKeyUp:
            s = s - 1 < 0 ? count - 1 : s - 1;
            break;
        case kKeyDown:
            s = s + 1 >= count ? 0 : s + 1;
            break;
        case kKeyLeft:
            if (s < 1) {
                s = count - 1;
            } else {
                s -= rows;
                if (s < 0) {
                    s = rows * ((count + rows - 1) / rows) + s - 1;
                    if (s >= count)
                        s = count - 1;
                }
            }
            break;
        default: // right
            s += rows;
            if (s >= count) {
                s = (s + 1) % rows;
                if (s >= count)
                    s = 0;
            }
            break;
        }
        if (s >= 0 && s < count && ItemEnabled(std::int16_t(s)))
            return s;
    }
    return -1;
}

void tCluster::HandleKey(TEventRec& event) {
    const std::uint16_t key = CtrlKeyToCursorKey(event.key.keyCode);
    if (key == kKeyUp || key == kKeyDown || key == kKeyLeft || key == kKeyRight) {
        if (!HasState(ViewState::Focused))
            return;
        int target = ArrowTarget(key, SelectedItem);
        if (target >= 0) {
            SelectedItem = std::int16_t(target);
            ItemReached(SelectedItem);
            Repaint();
        }
        ConsumeEvent(event);
        return;
    }
    const std::uint16_t code = event.key.keyCode;
    const bool plainLetters =
        (Owner != nullptr && Owner->DispatchPhase == 2) || HasState(ViewState::Focused);
    for (std::int16_t item = 0; item < ItemCount(); ++item) {
        char hot = HotLetter(ItemText(item));
        if (!IsAltHotKey(hot, code) && !(plainLetters && TypesHotLetter(hot, code)))
            continue;
        if (!ItemEnabled(item))
            return;
        SelectView();
        SelectedItem = item;
        ItemReached(item);
        PressItem();
        ConsumeEvent(event);
        return;
    }
    if (HasState(ViewState::Focused) && (code & 0xFF) == ' ' && SelectedItem < ItemCount() &&
        ItemEnabled(SelectedItem)) {
        PressItem();
        ConsumeEvent(event);
    }
}

// ---- data and state

void tCluster::ExportData(void* record) {
    std::memcpy(record, &ClusterValue, sizeof ClusterValue);
    Repaint();
}

void tCluster::ImportData(const void* record) {
    std::uint16_t value = 0;
    std::memcpy(&value, record, sizeof value);
    SetClusterValue(value);
    Repaint();
}

std::uint16_t tCluster::HelpContext() {
    return HelpTopic != 0 ? std::uint16_t(HelpTopic + SelectedItem) : 0;
}

void tCluster::ApplyState(std::uint16_t mask, bool on) {
    tView::ApplyState(mask, on);
    if (mask & ViewState::Selected)
        Repaint();
}

// ---- stream form

void tCluster::Store(tStream& s) {
    tView::Store(s);
    std::int64_t start = 0;
    if (!s.BeginBlock(start))
        return;
    s.WriteValue(ClusterValue);
    s.WriteValue(SelectedItem);
    s.WriteValue(EnableMask);
    Items->Store(s);
    s.EndBlock(start, kClusterBlock);
}

void tCluster::Load(tStream& s) {
    tView::Load(s);
    if (s.Status != stOk)
        return;
    std::uint8_t kind = kNoBlock;
    std::int64_t end = 0;
    s.ReadBlockHeader(kind, end);
    if (s.Status != stOk)
        return;
    if (kind != kNoBlock && !s.BlockEndInside(end)) {
        s.Error(stReadError, 0);
        return;
    }
    if (kind == kClusterBlock || kind == kNoBlock) {
        ClusterValue = s.ReadValue<std::uint16_t>();
        SelectedItem = s.ReadValue<std::int16_t>();
        // Data from before blocks had every item enabled.
        EnableMask = kind == kClusterBlock ? s.ReadValue<std::uint32_t>() : kAllEnabled;
        Items->Load(s);
    }
    if (s.Status != stOk)
        return;
    if (kind != kNoBlock) {
        if (s.GetPos() > end) {
            s.Error(stReadError, 0);
            return;
        }
        s.Seek(end);
    }
    if (SelectedItem < 0 || SelectedItem >= std::max<std::int16_t>(ItemCount(), 1))
        SelectedItem = 0;
}

// ---- tRadioButtons

std::uint16_t tRadioButtons::StoreID() const {
    return 14;
}

void tRadioButtons::Draw() {
    DrawItems(" ( ) ", '\x07');
}

bool tRadioButtons::ItemMarked(std::int16_t item) {
    return item == ClusterValue;
}

void tRadioButtons::ActivateItem(std::int16_t item) {
    SetClusterValue(std::uint16_t(item));
}

void tRadioButtons::ItemReached(std::int16_t item) {
    SetClusterValue(std::uint16_t(item));
}

void tRadioButtons::ImportData(const void* record) {
    tCluster::ImportData(record);
    SelectedItem = std::int16_t(ClusterValue);
}

// ---- tCheckBoxes

std::uint16_t tCheckBoxes::StoreID() const {
    return 15;
}

void tCheckBoxes::Draw() {
    DrawItems(" [ ] ", 'X');
}

bool tCheckBoxes::ItemMarked(std::int16_t item) {
    return (ClusterValue >> (item % 32)) & 1;
}

void tCheckBoxes::ActivateItem(std::int16_t item) {
    SetClusterValue(std::uint16_t(ClusterValue ^ (1u << (item % 32))));
}

} // namespace zarvo
