// Collections of raw records: tNRCollection sorts variable-length records by a
// length-prefixed key at KeyOffset, tRCollection holds records of one fixed size.
#pragma once

#include <cstdint>
#include <string_view>

#include "library/collection_sorted.h"

namespace zarvo {

// Records are std::uint8_t arrays from new[] (use NewRecord); the key is a length byte and up
// to 255 CP866 characters, compared case-insensitively.
class tNRCollection : public tSortedCollection {
  public:
    tNRCollection(std::int16_t initialCapacity, std::int16_t growBy, std::uint16_t keyOffset);
    ~tNRCollection() override { FreeAll(); }

    std::uint16_t StoreID() const override { return 54; }
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    void FreeItem(void* item) override;
    void* GetItem(tStream& s) override;
    void PutItem(tStream& s, void* item) override;
    int Compare(const void* key1, const void* key2) override;
    const void* KeyOf(void* item) override;

    // A zeroed record with KEY (cut to 255 characters) in place.
    std::uint8_t* NewRecord(std::string_view key) const;
    std::size_t RecordSize(const void* item) const;
    static std::string_view KeyText(const void* key);

    // Carried and stored, not interpreted.
    std::uint16_t HeaderWord = 0;
    std::uint16_t KeyOffset = 0;

  protected:
    bool ItemValid(void*) override { return true; }
};

// Records are std::uint8_t arrays of RecordSize bytes from new[] (use NewRecord).
class tRCollection : public tCollection {
  public:
    tRCollection(std::int16_t initialCapacity, std::int16_t growBy, std::uint16_t recordSize);
    ~tRCollection() override { FreeAll(); }

    std::uint16_t StoreID() const override { return 55; }
    void FreeItem(void* item) override;
    void* GetItem(tStream& s) override;
    void PutItem(tStream& s, void* item) override;

    std::uint8_t* NewRecord() const;

    std::uint16_t RecordSize = 0;

  protected:
    bool ItemValid(void*) override { return true; }
};

} // namespace zarvo
