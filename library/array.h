// tArray and its sorted descendants: light, non-streamable arrays of pointers with the growth,
// limit and binary-search rules of the collections. Misuse (a bad index, a full array) is a
// programming error and raises the run-time errors 213 to 215.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zarvo {

// The most slots an array can have: counts and indices are 16-bit.
inline constexpr std::int16_t kMaxArraySize = 16380;

class tArray {
  public:
    tArray(std::int16_t initialCapacity, std::int16_t growBy);
    tArray(const tArray&) = delete;
    tArray& operator=(const tArray&) = delete;
    // Frees every item with this class's FreeItem: a descendant that disposes of its items
    // differently calls FreeAll in its own destructor.
    virtual ~tArray();

    // Disposes of an item: a plain array holds framework objects and frees them.
    virtual void FreeItem(void* item);
    // The first index holding Item, else -1.
    virtual std::int16_t IndexOf(void* item);
    // Appends; false only when nothing was added.
    virtual bool Insert(void* item);

    void* ItemAt(std::int16_t index) const;
    bool InsertAt(std::int16_t index, void* item);
    // Removes the slot without disposing of its item.
    void DeleteAt(std::int16_t index);
    void Delete(void* item);
    // Disposes of the items first to last; the capacity stays.
    void FreeAll();
    void SetCapacity(int capacity);

    std::int16_t Count() const { return m_Count; }
    std::int16_t Capacity() const { return m_Capacity; }
    std::int16_t GrowBy = 0;

  protected:
    // Stops the operation with run-time error 212 - Code.
    [[noreturn]] void Error(int code, int info) const;

  private:
    std::unique_ptr<void*[]> m_Items;
    std::int16_t m_Count = 0;
    std::int16_t m_Capacity = 0;
};

class tSortedArray : public tArray {
  public:
    using tArray::tArray;

    // With duplicates the exact pointer is found among the equal keys.
    std::int16_t IndexOf(void* item) override;
    // Puts the item at its sorted place; without Duplicates an equal key already present
    // refuses it (false, and the caller still owns the item). A duplicate goes before its
    // equals.
    bool Insert(void* item) override;
    virtual int Compare(const void* key1, const void* key2) const = 0;
    virtual const void* KeyOf(void* item) const { return item; }
    // Binary search: Index is the leftmost equal item (with Duplicates) or the insert point.
    virtual bool Search(const void* key, std::int16_t& index);

    bool Duplicates = false;
};

// Items are owned short strings (std::string on the heap), compared byte by byte.
class tStringArray : public tSortedArray {
  public:
    using tSortedArray::tSortedArray;
    ~tStringArray() override;

    void FreeItem(void* item) override;
    int Compare(const void* key1, const void* key2) const override;

    // Inserts a copy of Text; false (nothing kept) for a refused duplicate.
    bool InsertStr(std::string_view text);
    const std::string& StrAt(std::int16_t index) const {
        return *static_cast<const std::string*>(ItemAt(index));
    }
};

} // namespace zarvo
