// Setting the progress text while nothing needs drawing yet: a test pass sets it at every
// change of phase and after a buffer that held error bytes. And the per-value update with a
// progress window attached.
#include <benchmark/benchmark.h>

#include "views/progress.h"
#include "views/progress_adapters.h"

using namespace zarvo;

namespace {

void BM_ProgressSetText(benchmark::State& state) {
    tObjectPtr<tProgress> progress;
    MakeStandardProgress(progress, nullptr);
    ProgressShow(*progress);
    const std::string texts[2] = {std::string(180, 'a') + "\rЧтение",
                                  std::string(180, 'b') + "\rЧтение"};
    int which = 0;
    for (auto _ : state) {
        ProgressSetText(*progress, texts[which]);
        which ^= 1;
    }
}
BENCHMARK(BM_ProgressSetText);

// A window listening and no poll due: the per-value call of a test pass must stay a few
// nanoseconds, asking the window (and so reading the clock) only once per stride of calls.
void BM_ProgressUpdateWithWindow(benchmark::State& state) {
    tObjectPtr<tProgress> progress;
    MakeProgressWindow(progress, nullptr, nullptr);
    ProgressShow(*progress);
    ProgressUpdate(*progress, 0.5);
    double fraction = 0.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ProgressUpdate(*progress, fraction));
        benchmark::DoNotOptimize(fraction);
    }
}
BENCHMARK(BM_ProgressUpdateWithWindow);

} // namespace
