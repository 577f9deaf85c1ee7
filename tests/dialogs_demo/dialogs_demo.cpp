// A hand check of the dialog controls, the menus and the status line: a menu bar ("Файл"
// opens the dialog or ends the demo, "Окна" opens, cycles and closes plain windows), a
// status line listing the keys of whatever has the focus, and a dialog with one of every
// control. When the dialog is closed with "Принять" its record is printed in UTF-8 on stdout
// (which the terminal host holds back until it gives the terminal back). Alt+X or closing
// the window ends it; an orderly end writes "dialogs_demo: ended" to stderr.
//
//   zarvo_dialogs_demo [--host=window|terminal|auto] [--settings=FILE] [--open-dialog]
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "console/console.h"
#include "console/drivers_console.h"
#include "console/host_choice.h"
#include "console/terminal/terminal_host.h"
#include "console/x11/x11_host.h"
#include "diagnostics/pending_error.h"
#include "library/scope.h"
#include "platform/cp866.h"
#include "tests/dialogs_demo/demo_app.h"
#include "tests/dialogs_demo/demo_dialog.h"
#include "tests/dialogs_demo/demo_status.h"
#include "views/commands.h"
#include "views/desktop.h"
#include "views/status_line_cache.h"

using namespace zarvo;
using namespace zarvo::demo;

namespace {

struct tOptions {
    tHostPreference Preference = tHostPreference::Auto;
    std::string Settings = "dialogs_demo.ini";
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
        if (arg == "--host=window")
            options.Preference = tHostPreference::Window;
        else if (arg == "--host=terminal")
            options.Preference = tHostPreference::Terminal;
        else if (arg == "--host=auto")
            options.Preference = tHostPreference::Auto;
        else if (arg.starts_with("--settings="))
            options.Settings = std::string(arg.substr(11));
        else if (arg == "--open-dialog")
            options.OpenDialog = true;
        else
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
    tHostChoice choice = ChooseHost(CurrentHostFacts(options.Preference, X11DisplayOpens));
    if (choice.Kind == tHostKind::NoHost)
        return ReportNoHost(choice);
    std::unique_ptr<tConsoleHost> host;
    if (choice.Kind == tHostKind::Window)
        host = std::make_unique<tX11Host>("Zarvo: диалоги"_oem);
    else
        host = std::make_unique<tTerminalHost>();
    std::thread run;
    bool shown = RunConsoleHost(
        *host,
        [&] {
            BindScreenDrawLock();
            run = std::thread(RunThread, options);
        },
        options.Settings);
    if (run.joinable())
        run.join();
    if (!shown) {
        std::string text = Cp866ToUtf8(PendingError() ? PendingError()->Message() : "") + "\n";
        std::fputs(text.c_str(), stderr);
        return 1;
    }
    // Tests look for it: the program came through its own way out.
    std::fputs("dialogs_demo: ended\n", stderr);
    return 0;
}
