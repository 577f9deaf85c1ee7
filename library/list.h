// tList: a growable list of pointers with optional names per item and an optional lock, the
// container the console host and driver use as their thread-shared message queues.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "library/sync.h"

namespace zarvo {

// Misuse of a list (a bad index, a refused duplicate name): a programming error. CP866 text.
class EListError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

inline constexpr std::int32_t kMaxListSize = 134217727;

// Option bits.
inline constexpr std::uint32_t loNamed = 2;      // every item carries a text
inline constexpr std::uint32_t loCheckNames = 4; // setting it checks the existing names
inline constexpr std::uint32_t loSorted = 16;    // kept sorted by name (turns names on)
inline constexpr std::uint32_t loResort = 32;    // turns names on and sorts again when sorted

// What AddNamed does with a name the list already has.
enum class tDuplicateNames { Accept, Ignore, Error };

class tList {
  public:
    explicit tList(std::int32_t capacity = 0);
    tList(const tList&) = delete;
    tList& operator=(const tList&) = delete;
    // Disposes of the items with this class's FreeItem; a descendant that owns its items
    // calls Clear in its own destructor.
    virtual ~tList();

    // Disposal of an item deleted from the list: a plain list does not own its items.
    virtual void FreeItem(void* item);

    // Appends; answers the index. Without Duplicates an item already present is not added
    // again and its index is answered.
    std::int32_t Add(void* item);
    // Only for a list with names; a sorted list puts the item at its name's place.
    std::int32_t AddNamed(void* item, std::string_view name);
    void Insert(std::int32_t index, void* item);
    void* ItemAt(std::int32_t index) const;
    void* First() const { return ItemAt(0); }
    void* Last() const { return ItemAt(m_Count - 1); }
    const std::string& NameAt(std::int32_t index) const;
    std::int32_t IndexOf(const void* item) const;
    // Names compare case-insensitively; -1 when absent or when the list has no names.
    std::int32_t IndexOfName(std::string_view name) const;
    // Removes the item and its name, then disposes of the item with FreeItem.
    void DeleteAt(std::int32_t index);
    // Removes the item without disposing of it and hands it to the caller.
    void* Extract(std::int32_t index);
    void Clear();

    void SetCapacity(std::int32_t capacity);
    // Growing adds null items; shrinking disposes of the items cut off.
    void SetCount(std::int32_t count);
    void SetOption(std::uint32_t bit, bool on);
    bool HasOption(std::uint32_t bit) const { return (m_Options & bit) != 0; }

    std::int32_t Count() const { return m_Count; }
    std::int32_t Capacity() const { return m_Capacity; }

    // Enters the list's critical section (made on first use) when MultiThread is set;
    // otherwise does nothing.
    void Lock();
    void Unlock();
    bool HasLockObject() const { return m_LockObject != nullptr; }

    bool Duplicates = false;
    tDuplicateNames DuplicateNames = tDuplicateNames::Accept;
    bool MultiThread = false;

  private:
    void CheckIndex(std::int32_t index) const;
    void Grow();
    void CheckNames() const;
    void SortByName();
    std::int32_t SortedPlace(std::string_view name) const;
    void InsertNamed(std::int32_t index, void* item, std::string name);

    std::vector<void*> m_Items;
    std::vector<std::string> m_Names;
    std::int32_t m_Count = 0;
    std::int32_t m_Capacity = 0;
    std::uint32_t m_Options = 0;
    std::unique_ptr<TCriticalSection> m_LockObject;
    std::once_flag m_LockMade;
};

// Holds a list's lock for a scope.
class tListLock {
  public:
    explicit tListLock(tList& list) : m_List(list) { m_List.Lock(); }
    ~tListLock() { m_List.Unlock(); }
    tListLock(const tListLock&) = delete;
    tListLock& operator=(const tListLock&) = delete;

  private:
    tList& m_List;
};

// A list that owns heap objects of type T and deletes them when they leave it.
template <class T> class tOwningList : public tList {
  public:
    using tList::tList;
    ~tOwningList() override { Clear(); }
    void FreeItem(void* item) override { delete static_cast<T*>(item); }
    T* At(std::int32_t index) const { return static_cast<T*>(ItemAt(index)); }
};

} // namespace zarvo
