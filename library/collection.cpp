// The collection's slot array: growth, limits and index checks.
#include "library/collection.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "library/run_error.h"

namespace zarvo {

tCollection::tCollection(std::int16_t initialCapacity, std::int16_t growBy) : GrowBy(growBy) {
    SetCapacity(initialCapacity);
}

tCollection::~tCollection() {
    FreeAll();
    SetCapacity(0);
}

bool tCollection::Valid(std::uint16_t command) {
    if (!tSObject::Valid(command))
        return false;
    if (command == 1000)
        for (std::int16_t i = 0; i < Count; ++i)
            if (!ItemValid(Items[i]))
                return false;
    return true;
}

bool tCollection::ItemValid(void* item) {
    return item == nullptr || static_cast<tSObject*>(item)->Valid(0);
}

void tCollection::FreeItem(void* item) {
    FreeObject(static_cast<tSObject*>(item));
}

void tCollection::Error(std::int16_t code, std::int16_t) {
    RaiseRunError(212 - code);
}

void tCollection::CheckIndex(int index, int limit) {
    if (index < 0 || index >= limit)
        Error(coIndexError, std::int16_t(index));
}

std::int16_t tCollection::IndexOf(void* item) {
    for (std::int16_t i = 0; i < Count; ++i)
        if (Items[i] == item)
            return i;
    return -1;
}

bool tCollection::Insert(void* item) {
    return InsertAt(Count, item);
}

void* tCollection::ItemAt(std::int16_t index) {
    CheckIndex(index, Count);
    return Items[index];
}

void tCollection::DeleteAt(std::int16_t index) {
    CheckIndex(index, Count);
    std::memmove(Items + index, Items + index + 1, sizeof(void*) * std::size_t(Count - index - 1));
    --Count;
}

void tCollection::FreeAt(std::int16_t index) {
    void* item = ItemAt(index);
    DeleteAt(index);
    FreeItem(item);
}

bool tCollection::InsertAt(std::int16_t index, void* item) {
    CheckIndex(index, Count + 1);
    if (Count == Capacity) {
        SetCapacity(Count + GrowBy);
        if (Count == Capacity) {
            Error(coOverflow, 0);
            return false;
        }
    }
    std::memmove(Items + index + 1, Items + index, sizeof(void*) * std::size_t(Count - index));
    Items[index] = item;
    ++Count;
    return true;
}

void tCollection::ReplaceAt(std::int16_t index, void* item) {
    CheckIndex(index, Count);
    Items[index] = item;
}

void tCollection::Delete(void* item) {
    DeleteAt(IndexOf(item));
}

void tCollection::DeleteAndFree(void* item) {
    Delete(item);
    FreeItem(item);
}

void tCollection::FreeAll() {
    while (Count > 0)
        FreeAt(0);
}

void* tCollection::FindFirst(const std::function<bool(void*)>& test) const {
    for (std::int16_t i = 0; i < Count; ++i)
        if (test(Items[i]))
            return Items[i];
    return nullptr;
}

void* tCollection::FindLast(const std::function<bool(void*)>& test) const {
    for (int i = Count - 1; i >= 0; --i)
        if (test(Items[i]))
            return Items[i];
    return nullptr;
}

void tCollection::ForEachItem(const std::function<void(void*)>& action) const {
    for (std::int16_t i = 0; i < Count; ++i)
        action(Items[i]);
}

void tCollection::SetCapacity(int capacity) {
    capacity = std::min(std::max(capacity, int(Count)), int(kMaxCollectionSize));
    if (capacity == Capacity)
        return;
    void** items = nullptr;
    if (capacity > 0) {
        items = new (std::nothrow) void*[std::size_t(capacity)]();
        if (items == nullptr) {
            Error(coAllocationError, 0);
            return;
        }
        if (Count > 0)
            std::memcpy(items, Items, sizeof(void*) * std::size_t(Count));
    }
    delete[] Items;
    Items = items;
    Capacity = std::int16_t(capacity);
}

} // namespace zarvo
