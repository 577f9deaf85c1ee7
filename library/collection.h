// tCollection, the framework's container of untyped item pointers with 16-bit counts, and
// tTempCollection, which lists items without owning them. A plain collection owns framework
// objects and frees them with the framework's free.
#pragma once

#include <cstdint>
#include <functional>

#include "library/sobject.h"

namespace zarvo {

inline constexpr std::int16_t kMaxCollectionSize = 16380;

// Error codes of tCollection::Error; the run-time error is 212 - code.
inline constexpr std::int16_t coIndexError = -1;
inline constexpr std::int16_t coOverflow = -2;
inline constexpr std::int16_t coAllocationError = -3;

// Items of a plain tCollection are stored as tSObject*. A descendant that disposes of its
// items otherwise calls FreeAll in its own destructor: by the time this destructor runs the
// descendant's FreeItem can no longer be reached.
class tCollection : public tSObject {
  public:
    tCollection() = default;
    tCollection(std::int16_t initialCapacity, std::int16_t growBy);
    ~tCollection() override;

    std::uint16_t StoreID() const override { return 50; }
    // Command 1000 also asks every item.
    bool Valid(std::uint16_t command) override;
    // Count, Capacity, GrowBy and the items; object streaming fills these in.
    void Store(tStream& s) override;
    void Load(tStream& s) override;

    virtual void FreeItem(void* item);
    virtual void* GetItem(tStream& s);
    virtual std::int16_t IndexOf(void* item);
    virtual bool Insert(void* item);
    virtual void PutItem(tStream& s, void* item);
    // Stops the operation with run-time error 212 - code (213, 214 or 215).
    virtual void Error(std::int16_t code, std::int16_t info);

    void* ItemAt(std::int16_t index);
    void DeleteAt(std::int16_t index);
    void FreeAt(std::int16_t index);
    bool InsertAt(std::int16_t index, void* item);
    void ReplaceAt(std::int16_t index, void* item);
    void Delete(void* item);
    void DeleteAndFree(void* item);
    void DeleteAll() { Count = 0; }
    void FreeAll();
    void* FindFirst(const std::function<bool(void*)>& test) const;
    void* FindLast(const std::function<bool(void*)>& test) const;
    void ForEachItem(const std::function<void(void*)>& action) const;
    void SetCapacity(int capacity);

    void** Items = nullptr;
    std::int16_t Count = 0;
    std::int16_t Capacity = 0;
    std::int16_t GrowBy = 0;

  protected:
    // Whether an item counts as usable for Valid(1000).
    virtual bool ItemValid(void* item);
    void CheckIndex(int index, int limit);
};

// Lists items it does not own: freeing it or its items leaves them alone.
class tTempCollection : public tCollection {
  public:
    using tCollection::tCollection;
    ~tTempCollection() override { DeleteAll(); }

    void FreeItem(void*) override {}

  protected:
    bool ItemValid(void*) override { return true; }
};

} // namespace zarvo
