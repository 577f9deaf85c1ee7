// Redrawing a whole 80 x 25 screen of ten overlapping shadowed windows (frame, title, number
// and a text view inside each) through the clipped write path: with every cache dropped, so
// every frame and text line is drawn again, from the caches, and bringing the back window to
// the front, which is what F6 or a click on a window costs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "console/console.h"
#include "console/headless/headless_host.h"
#include "tests/views/support/screen_root.h"
#include "views/window.h"

using namespace zarvo;

namespace {

constexpr int kWindows = 10;

// A window's contents: every row a line of text in the window's scroller colour.
class tTextLines : public tView {
  public:
    explicit tTextLines(const tRect& bounds) : tView(bounds) {
        GrowFlags = GrowFlag::GrowRight | GrowFlag::GrowBottom;
    }
    void Draw() override {
        static constexpr std::string_view kText =
            "The quick brown fox jumps over the lazy dog; 0123456789 and more text";
        tCell line[MaxLineCells];
        int width = std::min<int>(Width, MaxLineCells);
        std::uint8_t color = MapColor(6);
        for (int y = 0; y < Height; ++y) {
            FillCells(line, ' ', color, width);
            std::size_t from = std::size_t(y) % 7;
            int count = std::min<int>(width, int(kText.size() - from));
            CopyCharsToCells(line, kText.data() + from, color, count);
            PutSegment(0, y, width, line);
        }
    }
};

class tBackground : public tView {
  public:
    explicit tBackground(const tRect& bounds) : tView(bounds) {}
    void Draw() override {
        tCell line[MaxLineCells];
        FillCells(line, 0xB0, MapColor(1), MaxLineCells);
        PutLine(0, 0, Width, Height, line);
    }
};

// Ten 36 x 12 windows stepped down and right over a background, the last one in front.
struct tWindowScreen {
    tHeadlessConsole Console{80, 25};
    tObjectPtr<tScreenRoot> Root;

    tWindowScreen() {
        StartConsoleDriver();
        CurrentConsole->Activate();
        Root = MakeObject<tScreenRoot>();
        Root->BeginUpdate();
        Root->InsertView(MakeObject<tBackground>(Root->ExtentRect()).release());
        for (int i = 0; i < kWindows; ++i) {
            tRect bounds = MakeRect(i * 4, i + 1, i * 4 + 36, i + 13);
            auto window = MakeObject<tWindow>(bounds, "Window " + std::to_string(i), i % 9 + 1);
            window->ColorScheme = std::int16_t(i % 3);
            tRect inside = window->ExtentRect();
            inside.Grow(-1, -1);
            window->InsertView(MakeObject<tTextLines>(inside).release());
            Root->InsertView(window.release());
        }
        Root->EndUpdate();
    }
    ~tWindowScreen() {
        Root.reset();
        StopConsoleDriver();
        InputList.Clear();
    }
};

void BM_WindowsFullRedrawWithoutCaches(benchmark::State& state) {
    tWindowScreen screen;
    screen.Root->ResetWriteCount();
    for (auto _ : state) {
        FireEvent(GlobalEvents(), evnFreeCaches, nullptr);
        screen.Root->Repaint();
    }
    state.counters["cells/redraw"] =
        double(screen.Root->WrittenCells) / double(std::max<std::int64_t>(state.iterations(), 1));
}
BENCHMARK(BM_WindowsFullRedrawWithoutCaches);

void BM_WindowsFullRedrawFromCaches(benchmark::State& state) {
    tWindowScreen screen;
    for (auto _ : state)
        screen.Root->Repaint();
}
BENCHMARK(BM_WindowsFullRedrawFromCaches);

// The back window comes to the front; ten of these cycle through every window.
void BM_WindowToFront(benchmark::State& state) {
    tWindowScreen screen;
    for (auto _ : state) {
        // The back window lies just in front of the background, the root's last view.
        screen.Root->LastView->Predecessor()->SelectView();
    }
}
BENCHMARK(BM_WindowToFront);

} // namespace
