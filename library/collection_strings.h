// Sorted collections of texts: tStringCollection holds owned short strings (std::string of at
// most 255 CP866 characters), tStrCollection zero-terminated strings in their own heap blocks.
// Both compare byte-wise and case-sensitively, the shorter first on a common prefix.
#pragma once

#include <string>
#include <string_view>

#include "library/collection_sorted.h"

namespace zarvo {

// Items are std::string* allocated with new (use InsertText or NewItem).
class tStringCollection : public tSortedCollection {
  public:
    using tSortedCollection::tSortedCollection;
    ~tStringCollection() override { FreeAll(); }

    std::uint16_t StoreID() const override { return 51; }
    void FreeItem(void* item) override;
    void* GetItem(tStream& s) override;
    void PutItem(tStream& s, void* item) override;
    int Compare(const void* key1, const void* key2) override;

    // A new item holding S cut to 255 characters.
    static std::string* NewItem(std::string_view s);
    // Inserts a copy of S; answers false (and keeps nothing) when the key is refused.
    bool InsertText(std::string_view s);
    bool SearchText(std::string_view s, std::int16_t& index);
    const std::string& TextAt(std::int16_t index) {
        return *static_cast<std::string*>(ItemAt(index));
    }

  protected:
    bool ItemValid(void*) override { return true; }
};

// Items are char arrays allocated with new[] (use InsertText or NewItem).
class tStrCollection : public tSortedCollection {
  public:
    using tSortedCollection::tSortedCollection;
    ~tStrCollection() override { FreeAll(); }

    std::uint16_t StoreID() const override { return 60; }
    void FreeItem(void* item) override;
    void* GetItem(tStream& s) override;
    void PutItem(tStream& s, void* item) override;
    int Compare(const void* key1, const void* key2) override;

    static char* NewItem(std::string_view s);
    bool InsertText(std::string_view s);
    const char* TextAt(std::int16_t index) { return static_cast<const char*>(ItemAt(index)); }

  protected:
    bool ItemValid(void*) override { return true; }
};

} // namespace zarvo
