// A hand check of the views: a desktop with three overlapping, shadowed windows (a scrolled
// text, a list of 200 lines, an empty window to move, resize and zoom) in either console
// host. The keys are on the bottom row; Alt+X or closing the window ends it, and an orderly
// end writes "views_demo: ended" to stderr.
//
//   zarvo_views_demo [--host=window|terminal|auto] [--settings=FILE]
#include <cstdio>
#include <string>
#include <string_view>

#include "console/console.h"
#include "console/drivers_console.h"
#include "library/scope.h"
#include "platform/cp866.h"
#include "tests/demo_host/demo_host.h"
#include "tests/views_demo/demo_desktop.h"
#include "tests/views_demo/demo_windows.h"

using namespace zarvo;
using namespace zarvo::demo;

namespace {

struct tOptions : tDemoHostOptions {
    tOptions() { Settings = "views_demo.ini"; }
};

// Text, list and empty window, overlapping from the top left, the empty one in front. They
// fit a desktop of 80 x 23 (a 24-row screen) with their shadows.
void FillDesktop(TDeskTop& desktop) {
    desktop.InsertView(MakeTextWindow(MakeRect(1, 1, 46, 16)).release());
    desktop.InsertView(MakeListWindow(MakeRect(32, 4, 58, 20)).release());
    desktop.InsertView(MakeEmptyWindow(MakeRect(50, 9, 76, 20)).release());
}

void RunDemo() {
    auto root = MakeObject<tDemoRoot>();
    tDemoRoot* rootView = root.get();
    CurrentConsole->OnMessage = [rootView](TConsoleMsg& msg) {
        // A close request reaches the reader only here; it comes back as cmdQuit.
        if (msg.message == WM_CLOSE || msg.message == WM_QUERYENDSESSION)
            CurrentConsole->PutMessage(msg);
        else if (msg.message == WM_SIZE)
            rootView->FitToConsole();
    };
    // One paint of the whole screen once every window is in, then the host shows it.
    root->BeginUpdate();
    FillDesktop(*root->Desktop);
    root->EndUpdate();
    CurrentConsole->Activate();
    root->RunModal();
    CurrentConsole->OnMessage = nullptr;
}

void RunThread() {
    ConsoleClass = MakeDriversConsole;
    StartConsoleDriver();
    ApplicationStarted = true;
    tScopeExit ended([] {
        ApplicationStarted = false;
        StopConsoleDriver();
        ScreenDrawLock = nullptr;
        PostHostQuit();
    });
    RunDemo();
}

bool ParseOptions(int argc, char** argv, tOptions& options) {
    for (int i = 1; i < argc; ++i)
        if (!ParseDemoHostOption(argv[i], options))
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    tOptions options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: %s [--host=window|terminal|auto] [--settings=FILE]\n",
                     argv[0]);
        return 2;
    }
    return RunDemoInHost(options, "Zarvo: окна"_oem, "views_demo", RunThread);
}
