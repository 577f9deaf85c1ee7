// The history store's list operations and the stored form of its entries.
#include "views/history_store.h"

#include <algorithm>

#include "library/stream.h"
#include "library/strings.h"

namespace zarvo {

tCollection* HistoryList = nullptr;
std::int16_t HistoryLimit = kMaxCollectionSize;

tHistoryObject::tHistoryObject(std::uint8_t id, std::string_view text)
    : HistoryId(id), Text(NewStr(text)) {}

std::uint16_t tHistoryObject::StoreID() const {
    return 10011;
}

void tHistoryObject::Store(tStream& s) {
    s.WriteValue(HistoryId);
    s.WriteStr(Text);
}

void tHistoryObject::Load(tStream& s) {
    HistoryId = s.ReadValue<std::uint8_t>();
    Text = s.ReadStr();
}

namespace {

tHistoryObject* EntryAt(std::int16_t index) {
    return static_cast<tHistoryObject*>(HistoryList->ItemAt(index));
}

} // namespace

void InitHistory() {
    if (HistoryList == nullptr)
        HistoryList = new tCollection(5, 5);
    ClearHistory();
}

void DoneHistory() {
    if (HistoryList == nullptr)
        return;
    ClearHistory();
    FreeAndNull(HistoryList);
}

void ClearHistory() {
    if (HistoryList != nullptr)
        HistoryList->FreeAll();
}

void HistoryAdd(std::uint8_t id, std::string_view s) {
    if (s.empty() || HistoryList == nullptr)
        return;
    std::string text = NewStr(s);
    void* found = HistoryList->FindLast([&](void* item) {
        auto* entry = static_cast<tHistoryObject*>(item);
        return entry->HistoryId == id && entry->Text == text;
    });
    if (found != nullptr) {
        HistoryList->Delete(found);
    } else {
        // A full collection would stop the program with a run-time error: the least
        // recently used entries make room instead.
        std::int16_t limit = std::clamp<std::int16_t>(HistoryLimit, 1, kMaxCollectionSize);
        while (HistoryList->Count >= limit)
            HistoryList->FreeAt(0);
        found = new tHistoryObject(id, text);
    }
    HistoryList->Insert(found);
}

void HistoryDelete(std::uint8_t id, std::string_view s) {
    if (s.empty() || HistoryList == nullptr)
        return;
    void* found = HistoryList->FindLast([&](void* item) {
        auto* entry = static_cast<tHistoryObject*>(item);
        return entry->HistoryId == id && entry->Text == s;
    });
    if (found != nullptr)
        HistoryList->DeleteAndFree(found);
}

std::int16_t HistoryCount(std::uint8_t id) {
    if (HistoryList == nullptr)
        return 0;
    std::int16_t count = 0;
    for (std::int16_t i = 0; i < HistoryList->Count; ++i)
        if (EntryAt(i)->HistoryId == id)
            ++count;
    return count;
}

std::string HistoryStr(std::uint8_t id, int index) {
    if (HistoryList == nullptr || index < 0)
        return std::string();
    for (std::int16_t i = std::int16_t(HistoryList->Count - 1); i >= 0; --i) {
        tHistoryObject* entry = EntryAt(i);
        if (entry->HistoryId == id && index-- == 0)
            return entry->Text;
    }
    return std::string();
}

} // namespace zarvo
