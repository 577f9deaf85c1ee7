// Setting the progress text while nothing needs drawing yet: a test pass sets it at every
// change of phase and after a buffer that held error bytes.
#include <benchmark/benchmark.h>

#include "views/progress.h"

using namespace zarvo;

namespace {

void BM_ProgressSetText(benchmark::State& state) {
    std::unique_ptr<tProgress> progress;
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

} // namespace
