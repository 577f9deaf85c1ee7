// The arrays' storage, growth and search.
#include "library/array.h"
#include "library/sorted_search.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "library/run_error.h"
#include "library/sobject.h"

namespace zarvo {

tArray::tArray(std::int16_t initialCapacity, std::int16_t growBy) : GrowBy(growBy) {
    SetCapacity(initialCapacity);
}

tArray::~tArray() {
    FreeAll();
    SetCapacity(0);
}

void tArray::Error(int code, int /*info*/) const {
    RaiseRunError(212 - code);
}

void tArray::FreeItem(void* item) {
    FreeObject(static_cast<tSObject*>(item));
}

std::int16_t tArray::IndexOf(void* item) {
    for (std::int16_t i = 0; i < m_Count; ++i)
        if (m_Items[i] == item)
            return i;
    return -1;
}

bool tArray::Insert(void* item) {
    return InsertAt(m_Count, item);
}

void* tArray::ItemAt(std::int16_t index) const {
    if (index < 0 || index >= m_Count)
        Error(-1, index);
    return m_Items[index];
}

bool tArray::InsertAt(std::int16_t index, void* item) {
    if (index < 0 || index > m_Count)
        Error(-1, index);
    if (m_Count == m_Capacity) {
        SetCapacity(m_Count + GrowBy);
        if (m_Count == m_Capacity)
            Error(-2, 0);
    }
    std::memmove(&m_Items[index + 1], &m_Items[index], sizeof(void*) * (m_Count - index));
    m_Items[index] = item;
    ++m_Count;
    return true;
}

void tArray::DeleteAt(std::int16_t index) {
    if (index < 0 || index >= m_Count)
        Error(-1, index);
    std::memmove(&m_Items[index], &m_Items[index + 1], sizeof(void*) * (m_Count - index - 1));
    --m_Count;
}

void tArray::Delete(void* item) {
    DeleteAt(IndexOf(item));
}

void tArray::FreeAll() {
    // Count is cleared first so that an item's disposal never sees a half-emptied array.
    std::int16_t count = m_Count;
    m_Count = 0;
    for (std::int16_t i = 0; i < count; ++i)
        FreeItem(m_Items[i]);
}

void tArray::SetCapacity(int capacity) {
    capacity = std::min<int>(std::max<int>(capacity, m_Count), kMaxArraySize);
    if (capacity == m_Capacity)
        return;
    std::unique_ptr<void*[]> items;
    if (capacity > 0) {
        items.reset(new (std::nothrow) void*[capacity]());
        if (!items)
            Error(-3, 0);
        std::copy_n(m_Items.get(), m_Count, items.get());
    }
    m_Items = std::move(items);
    m_Capacity = std::int16_t(capacity);
}

bool tSortedArray::Search(const void* key, std::int16_t& index) {
    return SortedSearch(
        Count(), Duplicates, [&](int i) { return Compare(KeyOf(ItemAt(std::int16_t(i))), key); },
        index);
}

bool tSortedArray::Insert(void* item) {
    std::int16_t index = 0;
    if (Search(KeyOf(item), index) && !Duplicates)
        return false;
    return InsertAt(index, item);
}

std::int16_t tSortedArray::IndexOf(void* item) {
    std::int16_t index = 0;
    if (!Search(KeyOf(item), index))
        return -1;
    if (!Duplicates)
        return index < Count() ? index : -1;
    for (; index < Count(); ++index) {
        void* slot = ItemAt(index);
        if (slot == item)
            return index;
        if (Compare(KeyOf(slot), KeyOf(item)) != 0)
            return -1;
    }
    return -1;
}

tStringArray::~tStringArray() {
    FreeAll();
}

void tStringArray::FreeItem(void* item) {
    delete static_cast<std::string*>(item);
}

int tStringArray::Compare(const void* key1, const void* key2) const {
    const auto& a = *static_cast<const std::string*>(key1);
    const auto& b = *static_cast<const std::string*>(key2);
    // std::string compares its chars as unsigned bytes through char_traits<char>.
    return a.compare(b);
}

bool tStringArray::InsertStr(std::string_view text) {
    auto item = std::make_unique<std::string>(text);
    if (!Insert(item.get()))
        return false;
    item.release();
    return true;
}

} // namespace zarvo
