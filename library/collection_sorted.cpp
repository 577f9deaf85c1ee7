// Binary search and ordered insertion of tSortedCollection.
#include "library/collection_sorted.h"
#include "library/sorted_search.h"

namespace zarvo {

bool tSortedCollection::Search(const void* key, std::int16_t& index) {
    return SortedSearch(
        Count, Duplicates, [&](int i) { return Compare(KeyOf(Items[i]), key); }, index);
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
