// A hand check of the dialog controls, the menus and the status line: a menu bar ("Файл"
// opens the dialog or ends the demo, "Окна" opens, cycles and closes plain windows), a
// status line listing the keys of whatever has the focus, and a dialog with one of every
// control. When the dialog is closed with "Принять" its record is printed in UTF-8 on stdout
// (which the terminal host holds back until it gives the terminal back). Alt+X or closing
// the window ends it; an orderly end writes "dialogs_demo: ended" to stderr.
//
//   zarvo_dialogs_demo [--host=window|terminal|auto] [--settings=FILE] [--open-dialog]
#include <cstdio>
#include <string>
#include <string_view>

#include "console/console.h"
#include "console/drivers_console.h"
#include "library/scope.h"
#include "platform/cp866.h"
#include "tests/demo_host/demo_host.h"
#include "tests/dialogs_demo/demo_app.h"
#include "tests/dialogs_demo/demo_dialog.h"
#include "tests/dialogs_demo/demo_status.h"
#include "views/commands.h"
#include "views/desktop.h"
#include "views/status_line_cache.h"

using namespace zarvo;
using namespace zarvo::demo;

namespace {

struct tOptions : tDemoHostOptions {
    tOptions() { Settings = "dialogs_demo.ini"; }
    bool OpenDialog = false;
};

void ShowRecord(const tDemoRecord& record) {
    std::string text = DescribeRecord(record);
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

void RunDemo(const tOptions& options) {
    tDemoDialogState dialogState;
    auto app = MakeObject<tDialogsApp>();
    SeedCityHistory();
    app->OnOpenDialog = [&dialogState] {
        if (dialogState.Run(*gDeskTop))
            ShowRecord(dialogState.Record);
    };
    app->Start();
    if (options.OpenDialog) {
        TEventRec open;
        open.what = evtCommand;
        open.message.command = cmdOpenDialog;
        app->PostEvent(open);
    }
    app->ExecuteApp();
}

void RunThread(const tOptions& options) {
    ConsoleClass = MakeDriversConsole;
    ApplicationStarted = true;
    RegisterDemoStatusLists();
    StartStatusLineCache();
    tScopeExit ended([] {
        StopStatusLineCache();
        ApplicationStarted = false;
        ScreenDrawLock = nullptr;
        PostHostQuit();
    });
    // The application starts the console driver and the input history and stops them again.
    RunDemo(options);
}

bool ParseOptions(int argc, char** argv, tOptions& options) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--open-dialog")
            options.OpenDialog = true;
        else if (!ParseDemoHostOption(arg, options))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    tOptions options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s [--host=window|terminal|auto] [--settings=FILE] [--open-dialog]\n",
                     argv[0]);
        return 2;
    }
    return RunDemoInHost(options, "Zarvo: диалоги"_oem, "dialogs_demo",
                         [&options] { RunThread(options); });
}
