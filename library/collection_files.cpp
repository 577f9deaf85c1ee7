// The order of directory entries in TFileCollection.
#include "library/collection_files.h"

#include <sys/stat.h>

#include "library/strings.h"

namespace zarvo {

bool tSearchRec::IsDirectory() const {
    return S_ISDIR(Mode);
}

void TFileCollection::FreeItem(void* item) {
    delete static_cast<tSearchRec*>(item);
}

int TFileCollection::Compare(const void* key1, const void* key2) {
    auto& a = *static_cast<const tSearchRec*>(key1);
    auto& b = *static_cast<const tSearchRec*>(key2);
    bool aUp = a.Name == "..";
    bool bUp = b.Name == "..";
    // Two ".." entries are equal: otherwise ".." could never be found again.
    if (aUp || bUp)
        return int(aUp) - int(bUp);
    if (a.IsDirectory() != b.IsDirectory())
        return a.IsDirectory() ? 1 : -1;
    if (int c = CompareText(a.Name, b.Name); c != 0)
        return c;
    return a.Name.compare(b.Name);
}

} // namespace zarvo
