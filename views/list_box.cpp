// tListBox and tSortedListBox: the shown collection and its ownership, the dialog record,
// the two palettes, the stored form and the typed-prefix search.
#include "views/list_box.h"

#include <algorithm>
#include <cstring>

#include "console/key_codes.h"
#include "console/keyboard.h"
#include "library/collection_records.h"
#include "library/collection_strings.h"
#include "library/object_stream.h"
#include "library/strings.h"
#include "views/group.h"

namespace zarvo {

namespace {

// Inside a gray dialog (39 entries) the list viewer's own colours, elsewhere the owner's
// static text and label colours.
constexpr auto kListBoxGrayPalette = MakePalette(26, 26, 27, 28, 29);
constexpr auto kListBoxPalette = MakePalette(6, 6, 7, 6, 6);
constexpr int kGrayDialogPaletteLength = 39;

} // namespace

tListBox::tListBox(const tRect& bounds, std::int16_t columnCount, tScrollBar* vBar)
    : tListViewer(bounds, columnCount, nullptr, vBar) {
    SetItemCount(0);
}

tListBox::tListBox(tStreamLoad) : tListViewer(kStreamLoad) {}

tListBox::~tListBox() {
    UnwatchList();
    // Nobody else could free it: a damaged stream's half-loaded dialog would leak it.
    if (m_OwnsLoadedList)
        FreeObject(List);
}

std::uint16_t tListBox::StoreID() const {
    return 16;
}

tPalette tListBox::GetPalette() const {
    if (Owner != nullptr && PaletteLength(Owner->GetPalette()) == kGrayDialogPaletteLength)
        return kListBoxGrayPalette.data();
    return kListBoxPalette.data();
}

void tListBox::WatchList() {
    if (List != nullptr)
        List->Subscribe(evnObjectFree, BindHandler<&tListBox::OnListFreed>(this));
}

void tListBox::UnwatchList() {
    if (List != nullptr)
        List->Unsubscribe(evnObjectFree, BindHandler<&tListBox::OnListFreed>(this));
}

void tListBox::OnListFreed(EventFrame& frame) {
    if (frame.Argument != List)
        return;
    List = nullptr;
    m_OwnsLoadedList = false;
    SetItemCount(0);
    Repaint();
}

void tListBox::AttachList(tCollection* list) {
    m_OwnsLoadedList = false;
    if (list != List) {
        tCollection* old = List;
        UnwatchList();
        List = list;
        WatchList();
        FreeObject(old);
    }
    SetItemCount(List != nullptr ? List->Count : 0);
    if (ItemCount > 0)
        FocusAt(0);
    Repaint();
}

std::string tListBox::ItemText(std::int16_t item, int /*maxLength*/) {
    auto* strings = dynamic_cast<tStringCollection*>(List);
    if (strings == nullptr || item < 0 || item >= strings->Count)
        return std::string();
    auto* text = static_cast<const std::string*>(strings->ItemAt(item));
    return text != nullptr ? *text : std::string();
}

std::uint16_t tListBox::DataLength() {
    return sizeof(tListBoxRecord);
}

void tListBox::ExportData(void* record) {
    m_OwnsLoadedList = false;
    tListBoxRecord data{List, FocusedItem};
    std::memcpy(record, &data, sizeof data);
}

void tListBox::ImportData(const void* record) {
    tListBoxRecord data;
    std::memcpy(&data, record, sizeof data);
    AttachList(data.List);
    FocusAt(data.Focused);
    Repaint();
}

void tListBox::Store(tStream& s) {
    tListViewer::Store(s);
    Put(s, List);
}

void tListBox::Load(tStream& s) {
    tListViewer::Load(s);
    tSObject* object = Get(s);
    List = dynamic_cast<tCollection*>(object);
    if (object != nullptr && List == nullptr) {
        // Something else where the collection belongs: a damaged record.
        FreeObject(object);
        s.Error(stReadError, 0);
    }
    m_OwnsLoadedList = List != nullptr;
    WatchList();
}

// ---- tSortedListBox

tSortedListBox::tSortedListBox(const tRect& bounds, std::int16_t columnCount, tScrollBar* vBar)
    : tListBox(bounds, columnCount, vBar) {
    CursorOn();
    SetCursorPos(1, 0);
}

tSortedListBox::tSortedListBox(tStreamLoad) : tListBox(kStreamLoad) {}

std::uint16_t tSortedListBox::StoreID() const {
    return 53;
}

void tSortedListBox::Load(tStream& s) {
    tListBox::Load(s);
    SearchPos = 0;
}

void tSortedListBox::AttachList(tCollection* list) {
    tListBox::AttachList(list);
    SearchPos = 0;
}

std::string tSortedListBox::SearchKey(std::string_view s) {
    return std::string(s);
}

void tSortedListBox::HandleEvent(TEventRec& event) {
    std::int16_t oldFocus = FocusedItem;
    tListBox::HandleEvent(event);
    if (FocusedItem != oldFocus)
        SearchPos = 0;
    if (event.what != evtKeyDown || std::uint8_t(event.key.keyCode) == 0)
        return;
    if (SearchByKey(event, oldFocus))
        ConsumeEvent(event);
}

bool tSortedListBox::SearchByKey(const TEventRec& event, std::int16_t oldFocus) {
    std::string typed = FocusedItem < ItemCount ? ItemText(FocusedItem, kMaxShortString) : "";
    std::int16_t oldPos = SearchPos;
    char ch = char(event.key.keyCode & 0xFF);
    if (event.key.keyCode == kKeyBackspace) {
        if (SearchPos == 0)
            return false;
        --SearchPos;
        if (typed.size() > std::size_t(SearchPos))
            typed.resize(std::size_t(SearchPos));
    } else if (ch == '.') {
        std::size_t dot = typed.find('.');
        SearchPos = std::int16_t(dot == std::string::npos ? 0 : dot + 1);
    } else {
        ++SearchPos;
        typed = typed.substr(0, std::size_t(SearchPos - 1)) + ch;
    }
    std::int16_t found = 0;
    if (FindKey(SearchKey(typed), found) && found < ItemCount && PrefixMatches(found, typed)) {
        if (found == oldFocus) {
            SetCursorPos(CursorX + SearchPos - oldPos, CursorY);
        } else {
            FocusAt(found);
            // Without a vertical bar nothing else repaints the new focus; the repaint also
            // puts the cursor at the focused item's first column.
            Repaint();
            SetCursorPos(CursorX + SearchPos, CursorY);
        }
    } else {
        SearchPos = oldPos;
    }
    char upper = UpCase866(ch);
    return SearchPos != oldPos || (upper >= 'A' && upper <= 'Z');
}

bool tSortedListBox::FindKey(const std::string& key, std::int16_t& index) {
    // Only collections whose keys are texts can take the typed text as a key.
    if (auto* strings = dynamic_cast<tStringCollection*>(List)) {
        std::string item(key);
        strings->Search(&item, index);
        return true;
    }
    if (auto* records = dynamic_cast<tNRCollection*>(List)) {
        std::string shortKey(1, char(std::min<std::size_t>(key.size(), kMaxShortString)));
        shortKey.append(key, 0, kMaxShortString);
        records->Search(shortKey.data(), index);
        return true;
    }
    return false;
}

bool tSortedListBox::PrefixMatches(std::int16_t item, const std::string& typed) {
    std::size_t count = std::size_t(SearchPos);
    std::string text = ItemText(item, kMaxShortString);
    if (text.size() < count || typed.size() < count)
        return false;
    for (std::size_t i = 0; i < count; ++i)
        if (UpCase866(text[i]) != UpCase866(typed[i]))
            return false;
    return true;
}

} // namespace zarvo
