// The status line's item lists: the process-wide cache of lists by hint, the global lookup
// that answers from it, and the supplier that fills it from the program's "STATUSLINE|"
// resources. Lists placed in the cache live until it is stopped and are shared by every
// status line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "library/collection_sorted.h"
#include "views/status_line.h"

namespace zarvo {

// Global notifications (argument: tStatusLookup*): the lookup a status line sends, and the
// request the cache sends on a miss, which a supplier answers with a list of its own making.
inline constexpr std::string_view evnStatusLookup = "738IWHCYO";
inline constexpr std::string_view evnStatusListNeeded = "7FZX2NV8G";

// Resources holding an item list are named this followed by the hint.
inline constexpr std::string_view kStatusLineResourcePrefix = "STATUSLINE|";

struct tStatusLookup {
    std::string Hint;
    const TStatusItemRec* Items = nullptr; // the lookup's answer, owned by the cache
    tStatusItemPtr Made;                   // a supplier's list, taken over by the cache
};

class tStatLnCache : public tSortedCollection {
  public:
    tStatLnCache(std::int16_t limit, std::int16_t delta);
    ~tStatLnCache() override;

    void FreeItem(void* item) override;
    const void* KeyOf(void* item) override;
    int Compare(const void* key1, const void* key2) override;

    const TStatusItemRec* Find(std::string_view hint);
    // Keeps ITEMS under a copy of HINT; the kept list.
    const TStatusItemRec* Add(std::string_view hint, tStatusItemPtr items);
};

// The running cache, or null.
extern tStatLnCache* StatLnCache;

// Creates the cache and subscribes its lookup answer and the resource supplier; stopping
// unsubscribes them and frees the cache with every list. Both are safe to repeat.
void StartStatusLineCache();
void StopStatusLineCache();

// Sends the global lookup for HINT: its list, or null.
const TStatusItemRec* LookupStatusItems(std::string_view hint);

// The list of the resource "STATUSLINE|" + HINT: null when there is none (nothing is
// reported), null and a stream error when it is damaged.
tStatusItemPtr LoadStatusLineResource(std::string_view hint);

} // namespace zarvo
