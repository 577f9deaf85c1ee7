// The status-line cache, the global lookup it answers and the resource supplier behind it.
#include "views/status_line_cache.h"

#include "library/resource_stream.h"
#include "library/strings.h"
#include "platform/resources.h"

namespace zarvo {

tStatLnCache* StatLnCache = nullptr;

namespace {

struct tStatLnEntry {
    std::string Hint;
    tStatusItemPtr Items;
};

void AnswerLookup(void*, EventFrame& frame) {
    auto* request = static_cast<tStatusLookup*>(frame.Argument);
    if (StatLnCache == nullptr || request->Hint.empty())
        return;
    request->Items = StatLnCache->Find(request->Hint);
    if (request->Items == nullptr) {
        tStatusLookup supply;
        supply.Hint = request->Hint;
        FireEvent(GlobalEvents(), evnStatusListNeeded, &supply);
        if (supply.Made != nullptr)
            request->Items = StatLnCache->Add(request->Hint, std::move(supply.Made));
    }
    frame.Handled = request->Items != nullptr;
}

void SupplyFromResources(void*, EventFrame& frame) {
    auto* request = static_cast<tStatusLookup*>(frame.Argument);
    if (request->Made != nullptr)
        return;
    request->Made = LoadStatusLineResource(request->Hint);
    frame.Handled = request->Made != nullptr;
}

const EventHandler kLookupHandler(&AnswerLookup);
const EventHandler kSupplyHandler(&SupplyFromResources);

} // namespace

tStatLnCache::tStatLnCache(std::int16_t limit, std::int16_t delta)
    : tSortedCollection(limit, delta) {}

tStatLnCache::~tStatLnCache() {
    FreeAll();
}

void tStatLnCache::FreeItem(void* item) {
    delete static_cast<tStatLnEntry*>(item);
}

const void* tStatLnCache::KeyOf(void* item) {
    return &static_cast<tStatLnEntry*>(item)->Hint;
}

int tStatLnCache::Compare(const void* key1, const void* key2) {
    return CompareText(*static_cast<const std::string*>(key1),
                       *static_cast<const std::string*>(key2));
}

const TStatusItemRec* tStatLnCache::Find(std::string_view hint) {
    std::string key(hint);
    std::int16_t index = 0;
    if (!Search(&key, index))
        return nullptr;
    return static_cast<tStatLnEntry*>(ItemAt(index))->Items.get();
}

const TStatusItemRec* tStatLnCache::Add(std::string_view hint, tStatusItemPtr items) {
    auto entry = std::make_unique<tStatLnEntry>();
    entry->Hint = NewStr(hint);
    entry->Items = std::move(items);
    const TStatusItemRec* kept = entry->Items.get();
    if (Count >= kMaxCollectionSize || !Insert(entry.get()))
        return nullptr;
    entry.release();
    return kept;
}

void StartStatusLineCache() {
    if (StatLnCache != nullptr)
        return;
    StatLnCache = new tStatLnCache(5, 1);
    Subscribe(evnStatusListNeeded, kSupplyHandler);
    Subscribe(evnStatusLookup, kLookupHandler);
}

void StopStatusLineCache() {
    if (StatLnCache == nullptr)
        return;
    Unsubscribe(evnStatusLookup, kLookupHandler);
    Unsubscribe(evnStatusListNeeded, kSupplyHandler);
    FreeAndNull(StatLnCache);
}

const TStatusItemRec* LookupStatusItems(std::string_view hint) {
    tStatusLookup request;
    request.Hint = NewStr(hint);
    FireEvent(GlobalEvents(), evnStatusLookup, &request);
    return request.Items;
}

tStatusItemPtr LoadStatusLineResource(std::string_view hint) {
    if (hint.empty())
        return nullptr;
    std::string name = std::string(kStatusLineResourcePrefix) + std::string(hint);
    // A hint without a list is normal: only an existing resource is opened, so a missing
    // one reports nothing.
    if (!FindResource(kFrameworkResourceType, UpperCase(name)).has_value())
        return nullptr;
    tObjectPtr<tResourceStream> stream = MakeObject<tResourceStream>(kFrameworkResourceType, name);
    tStatusItemPtr items = ReadStatusItems(*stream);
    return stream->Status == stOk ? std::move(items) : nullptr;
}

} // namespace zarvo
