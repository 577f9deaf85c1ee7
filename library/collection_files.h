// TFileCollection: directory entries of the file dialogs, ordered with ".." last, then
// directories after files, then by name ignoring letter case.
#pragma once

#include <cstdint>
#include <string>

#include "library/collection_sorted.h"

namespace zarvo {

// What the system tells about one directory entry.
struct tSearchRec {
    std::string Name;       // CP866
    std::uint32_t Mode = 0; // st_mode
    std::int64_t Size = 0;  // bytes
    std::int64_t Time = 0;  // modification time, seconds since the epoch

    bool IsDirectory() const;
};

// Items are tSearchRec* from new. Names that differ only in letter case are told apart byte
// by byte, so both entries of a case-sensitive directory are kept and found.
class TFileCollection : public tSortedCollection {
  public:
    using tSortedCollection::tSortedCollection;
    ~TFileCollection() override { FreeAll(); }

    std::uint16_t StoreID() const override { return 61; }
    void FreeItem(void* item) override;
    void* GetItem(tStream& s) override;
    void PutItem(tStream& s, void* item) override;
    int Compare(const void* key1, const void* key2) override;

  protected:
    bool ItemValid(void*) override { return true; }
};

} // namespace zarvo
