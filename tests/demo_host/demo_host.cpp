// The demos' host choice and host loop.
#include "tests/demo_host/demo_host.h"

#include <cstdio>
#include <memory>
#include <thread>

#include "console/drivers_console.h"
#include "console/terminal/terminal_host.h"
#include "console/x11/x11_host.h"
#include "diagnostics/pending_error.h"
#include "platform/cp866.h"

namespace zarvo::demo {

bool ParseDemoHostOption(std::string_view arg, tDemoHostOptions& options) {
    if (arg == "--host=window")
        options.Preference = tHostPreference::Window;
    else if (arg == "--host=terminal")
        options.Preference = tHostPreference::Terminal;
    else if (arg == "--host=auto")
        options.Preference = tHostPreference::Auto;
    else if (arg.starts_with("--settings="))
        options.Settings = std::string(arg.substr(11));
    else
        return false;
    return true;
}

int RunDemoInHost(const tDemoHostOptions& options, std::string_view title, const char* name,
                  const std::function<void()>& run) {
    tHostChoice choice = ChooseHost(CurrentHostFacts(options.Preference, X11DisplayOpens));
    if (choice.Kind == tHostKind::NoHost)
        return ReportNoHost(choice);
    std::unique_ptr<tConsoleHost> host;
    if (choice.Kind == tHostKind::Window)
        host = std::make_unique<tX11Host>(title);
    else
        host = std::make_unique<tTerminalHost>();
    std::thread thread;
    bool shown = RunConsoleHost(
        *host,
        [&] {
            BindScreenDrawLock();
            thread = std::thread(run);
        },
        options.Settings);
    if (thread.joinable())
        thread.join();
    if (!shown) {
        std::string text = Cp866ToUtf8(PendingError() ? PendingError()->Message() : "") + "\n";
        std::fputs(text.c_str(), stderr);
        return 1;
    }
    // Tests look for it: the demo came through its own way out.
    std::fprintf(stderr, "%s: ended\n", name);
    return 0;
}

} // namespace zarvo::demo
