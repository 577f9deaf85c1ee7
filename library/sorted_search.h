// The binary search shared by the sorted arrays and the sorted collections: it finds the
// first item whose key is not less than the key sought, which is also where a new item goes.
#pragma once

#include <cstdint>

namespace zarvo {

// compareAt(i) compares item i's key with the key sought (<0, 0, >0). Without duplicates the
// search stops at the first equal key it meets; with them it goes on to the leftmost one.
template <class CompareAt>
bool SortedSearch(int count, bool duplicates, CompareAt compareAt, std::int16_t& index) {
    int low = 0;
    int high = count - 1;
    bool found = false;
    while (low <= high) {
        int mid = (low + high) >> 1;
        int c = compareAt(mid);
        if (c < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (c == 0) {
                found = true;
                if (!duplicates)
                    low = mid;
            }
        }
    }
    index = std::int16_t(low);
    return found;
}

} // namespace zarvo
