// Redrawing a whole 80 x 25 screen of ten overlapping shadowed groups through the clipped
// write path: once with every cache dropped (every view draws), once from the caches.
#include <benchmark/benchmark.h>

#include "console/console.h"
#include "console/headless/headless_host.h"
#include "tests/views/support/screen_root.h"

using namespace zarvo;

namespace {

class tFill : public tView {
  public:
    tFill(const tRect& bounds, char ch) : tView(bounds), Ch(ch) {}
    void Draw() override {
        tCell line[MaxLineCells];
        FillCells(line, std::uint8_t(Ch), MapColor(1), MaxLineCells);
        PutLine(0, 0, Width, Height, line);
    }
    char Ch;
};

// The screen: a background and ten 30 x 10 groups stepped down and right, each casting a
// shadow over the ones behind it.
struct tBenchScreen {
    tHeadlessConsole Console{80, 25};
    tObjectPtr<tScreenRoot> Root;

    tBenchScreen() {
        StartConsoleDriver();
        CurrentConsole->Activate();
        Root = MakeObject<tScreenRoot>();
        Root->tInsert(new tFill(Root->ExtentRect(), '.'));
        for (int i = 0; i < 10; ++i) {
            tRect bounds = MakeRect(i * 5, i * 1 + 2, i * 5 + 30, i * 1 + 12);
            auto* group = new tGroup(bounds);
            group->tInsert(new tFill(MakeRect(0, 0, 30, 10), char('0' + i)));
            group->StateFlags |= ViewState::Shadow;
            Root->InsertView(group);
        }
        Root->Repaint();
    }
    ~tBenchScreen() {
        Root.reset();
        StopConsoleDriver();
        InputList.Clear();
    }
};

void BM_FullRedrawWithoutCaches(benchmark::State& state) {
    tBenchScreen screen;
    for (auto _ : state) {
        FireEvent(GlobalEvents(), evnFreeCaches, nullptr);
        screen.Root->Repaint();
    }
    state.counters["cells/redraw"] =
        double(screen.Root->WrittenCells) / double(std::max<std::int64_t>(state.iterations(), 1));
}
BENCHMARK(BM_FullRedrawWithoutCaches);

void BM_FullRedrawFromCaches(benchmark::State& state) {
    tBenchScreen screen;
    for (auto _ : state)
        screen.Root->Repaint();
}
BENCHMARK(BM_FullRedrawFromCaches);

} // namespace
