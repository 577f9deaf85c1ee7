// Binary search and ordered insertion of tSortedCollection.
#include "library/collection_sorted.h"

namespace zarvo {

bool tSortedCollection::Search(const void* key, std::int16_t& index) {
    int low = 0;
    int high = Count - 1;
    bool found = false;
    while (low <= high) {
        int mid = (low + high) >> 1;
        int c = Compare(KeyOf(Items[mid]), key);
        if (c < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (c == 0) {
                found = true;
                if (!Duplicates)
                    low = mid;
            }
        }
    }
    index = std::int16_t(low);
    return found;
}

std::int16_t tSortedCollection::IndexOf(void* item) {
    std::int16_t index = 0;
    if (!Search(KeyOf(item), index))
        return -1;
    if (Duplicates)
        while (index < Count && Items[index] != item)
            ++index;
    return index < Count ? index : std::int16_t(-1);
}

bool tSortedCollection::Insert(void* item) {
    std::int16_t index = 0;
    if (Search(KeyOf(item), index) && !Duplicates)
        return false;
    return InsertAt(index, item);
}

} // namespace zarvo
