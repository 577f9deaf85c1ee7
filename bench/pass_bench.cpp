// The per-value work of a test pass outside the transfers: the next chain value, storing it
// into (or comparing it with) the buffer, and the progress update with its cancel poll.
#include <benchmark/benchmark.h>

#include "app/latency_histogram.h"
#include "app/network_cycle.h"

using namespace zarvo;

namespace {

constexpr std::int64_t kValuesPerPass = 100 * 262'144; // a 100 MB test file

void BM_WritePassValues(benchmark::State& state) {
    tNetworkTest test(tTestParams{});
    test.PrepareForBenchmark(kValuesPerPass);
    std::int64_t next = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(test.FillBuffer(next, kBufferValues));
        next = next + std::int64_t(kBufferValues) > kValuesPerPass ? 1 : next + kBufferValues;
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(kBufferBytes));
}
BENCHMARK(BM_WritePassValues);

enum class tReadBack { Intact, Zeros };

// Against zeros (a server that hands back garbage) nearly every byte differs and is counted;
// the goal is at most twice the time of an intact buffer.
void BM_ReadPassValues(benchmark::State& state, tReadBack readBack) {
    tNetworkTest test(tTestParams{});
    test.PrepareForBenchmark(kValuesPerPass);
    std::uint32_t chain = test.BlockForBenchmark().Chain();
    if (readBack == tReadBack::Intact)
        test.FillBuffer(1, kBufferValues);
    else
        test.ClearBufferForBenchmark();
    std::int64_t next = 1;
    for (auto _ : state) {
        // The same buffer is checked again and again, so the chain starts over each time.
        test.BlockForBenchmark().SetChain(chain);
        benchmark::DoNotOptimize(test.CheckBuffer(next, kBufferValues));
        next = next + std::int64_t(kBufferValues) > kValuesPerPass ? 1 : next + kBufferValues;
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(kBufferBytes));
}
BENCHMARK_CAPTURE(BM_ReadPassValues, intact, tReadBack::Intact);
BENCHMARK_CAPTURE(BM_ReadPassValues, zeros, tReadBack::Zeros);

// A read pass's work per buffer with its transfer's time counted in the latency histogram, as
// the pass counts it.
void BM_ReadPassValuesWithLatency(benchmark::State& state) {
    tNetworkTest test(tTestParams{});
    test.PrepareForBenchmark(kValuesPerPass);
    std::uint32_t chain = test.BlockForBenchmark().Chain();
    test.FillBuffer(1, kBufferValues);
    tLatencyHistogram latencies;
    std::uint64_t micros = 1;
    std::int64_t next = 1;
    for (auto _ : state) {
        test.BlockForBenchmark().SetChain(chain);
        benchmark::DoNotOptimize(test.CheckBuffer(next, kBufferValues));
        latencies.Add(micros);
        // Times spread over many buckets, as a share's are.
        micros = micros * 7 % 1'000'003;
        next = next + std::int64_t(kBufferValues) > kValuesPerPass ? 1 : next + kBufferValues;
    }
    benchmark::DoNotOptimize(latencies.Quantile(0.99));
    state.SetBytesProcessed(state.iterations() * std::int64_t(kBufferBytes));
}
BENCHMARK(BM_ReadPassValuesWithLatency);

} // namespace
