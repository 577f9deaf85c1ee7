// Cost of firing a named event through the record an object caches from EventLinkChanged:
// the test fires two such events per 4-byte value, so these are on its hot path.
#include <benchmark/benchmark.h>

#include "library/sobject.h"

namespace zarvo {
namespace {

constexpr std::string_view kValueEvent = "BENCH0001";

class tFiring : public tSObject {
  public:
    void EventLinkChanged(std::string_view name, tEventInfo* info) override {
        if (name == kValueEvent)
            Cached = info;
    }
    tEventInfo* Cached = nullptr;
};

struct tCounter {
    long Calls = 0;
};

void CountCall(void* data, EventFrame&) {
    ++static_cast<tCounter*>(data)->Calls;
}

void BM_FireCachedNoSubscriber(benchmark::State& state) {
    tFiring object;
    int value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(object.Cached);
        benchmark::DoNotOptimize(FireCachedEvent(object.Cached, &value));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FireCachedNoSubscriber);

void BM_FireCachedOneSubscriber(benchmark::State& state) {
    tFiring object;
    tCounter counter;
    object.Subscribe(kValueEvent, EventHandler(&CountCall, static_cast<void*>(&counter)));
    int value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(object.Cached);
        benchmark::DoNotOptimize(FireCachedEvent(object.Cached, &value));
    }
    if (counter.Calls != long(state.iterations()))
        state.SkipWithError("the subscriber missed firings");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FireCachedOneSubscriber);

// For comparison: the search by name that the cached record avoids.
void BM_FireByNameOneSubscriber(benchmark::State& state) {
    tFiring object;
    tCounter counter;
    object.Subscribe(kValueEvent, EventHandler(&CountCall, static_cast<void*>(&counter)));
    int value = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(object.FireEvent(kValueEvent, &value));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FireByNameOneSubscriber);

} // namespace
} // namespace zarvo
