// Opening the history window over 20 entries (made, drawn into its dialog, taken out and
// freed) and redrawing a sorted list box of 300 names: each should stay well under 1 ms.
#include <benchmark/benchmark.h>

#include <string>

#include "console/console.h"
#include "console/headless/headless_host.h"
#include "library/collection_strings.h"
#include "tests/views/support/screen_root.h"
#include "views/history_store.h"
#include "views/history_window.h"
#include "views/list_box.h"
#include "views/scroll_bar.h"

using namespace zarvo;

namespace {

// An 80 x 25 headless screen with a 60 x 20 group standing for a dialog.
struct tBenchDialog {
    tHeadlessConsole Console{80, 25};
    tObjectPtr<tScreenRoot> Root;
    tGroup* Dialog = nullptr;

    tBenchDialog() {
        StartConsoleDriver();
        CurrentConsole->Activate();
        Root = MakeObject<tScreenRoot>();
        Dialog = new tGroup(MakeRect(5, 2, 65, 22));
        Root->InsertView(Dialog);
        Dialog->ChangeState(ViewState::Active, true);
        Root->Repaint();
    }
    ~tBenchDialog() {
        Root.reset();
        StopConsoleDriver();
        InputList.Clear();
    }
};

void BM_OpenHistoryWindow20(benchmark::State& state) {
    InitHistory();
    for (int i = 0; i < 20; ++i)
        HistoryAdd(1, "//server/share/directory number " + std::to_string(i));
    tBenchDialog screen;
    for (auto _ : state) {
        auto* window = new tHistoryWindow(MakeRect(4, 1, 40, 9), 1);
        screen.Dialog->InsertView(window);
        screen.Dialog->RemoveView(window);
        FreeObject(window);
    }
    DoneHistory();
}
BENCHMARK(BM_OpenHistoryWindow20);

void BM_DrawSortedListBox300(benchmark::State& state) {
    tBenchDialog screen;
    auto* bar = new tScrollBar(MakeRect(41, 1, 42, 19));
    screen.Dialog->InsertView(bar);
    auto* box = new tSortedListBox(MakeRect(1, 1, 41, 19), 2, bar);
    screen.Dialog->InsertView(box);
    auto* names = new tStringCollection(300, 10);
    for (int i = 0; i < 300; ++i)
        names->InsertText("name " + std::to_string(1000 + i * 7));
    box->AttachList(names);
    box->SelectView();
    box->FocusAt(150);
    for (auto _ : state)
        box->Repaint();
    FreeObject(names);
}
BENCHMARK(BM_DrawSortedListBox300);

} // namespace
