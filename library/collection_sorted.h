// tSortedCollection: a collection kept in key order, searched by binary search, with or
// without duplicate keys.
#pragma once

#include "library/collection.h"

namespace zarvo {

class tSortedCollection : public tCollection {
  public:
    using tCollection::tCollection;

    // Collection data, then Duplicates as one byte; object streaming fills these in.
    void Store(tStream& s) override;
    void Load(tStream& s) override;

    std::int16_t IndexOf(void* item) override;
    // Refuses an equal key unless Duplicates; a refused item stays the caller's.
    bool Insert(void* item) override;

    virtual int Compare(const void* key1, const void* key2) = 0;
    virtual const void* KeyOf(void* item) { return item; }
    // Index receives the item's place: with Duplicates the leftmost equal key, else the
    // equal key or the insertion point.
    virtual bool Search(const void* key, std::int16_t& index);

    bool Duplicates = false;
};

} // namespace zarvo
