// The run thread and the host loop beside it.
#include "app/run_thread.h"

#include <pthread.h>

#include <csignal>
#include <exception>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/util_app.h"
#include "console/drivers_console.h"
#include "console/host_settings.h"
#include "console/terminal/terminal_host.h"
#include "console/x11/x11_host.h"
#include "diagnostics/pending_error.h"
#include "library/scope.h"
#include "library/startup_facts.h"
#include "library/validity.h"
#include "log/leak_report.h"
#include "platform/cp866.h"
#include "views/desktop_message_box.h"

namespace zarvo {

namespace {

// What the run thread hands back to the main thread.
struct tRunOutcome {
    tTestEnd End = tTestEnd::Stopped;
    // The text of an exception that left the run thread (UTF-8 as thrown), empty when none.
    std::string Escaped;
    bool HasEscaped = false;
};

// The signals belong to the host loop; a handler run on this thread would break off the
// test's transfers (and those of the transfer thread it starts) with EINTR.
void LeaveSignalsToTheHost() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGWINCH, SIGCONT, SIGTSTP})
        sigaddset(&signals, signal);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

void RunApplication(const tTestParams* given, tRunOutcome& outcome) {
    ConsoleClass = MakeDriversConsole;
    tObjectPtr<tUtlApp> application = MakeObject<tUtlApp>();
    if (application)
        application->Start();
    if (!IsValid(application.get())) {
        ReportError();
        return;
    }
    ApplicationStarted = true;
    outcome.End = RunTest(given);
}

// The run thread's body: always ends the host loop, also when an exception leaves the test.
void RunThreadBody(const tTestParams* given, tRunOutcome& outcome) {
    LeaveSignalsToTheHost();
    try {
        RunApplication(given, outcome);
    } catch (const std::exception& error) {
        outcome.HasEscaped = true;
        outcome.Escaped = error.what();
    } catch (...) {
        outcome.HasEscaped = true;
    }
    if (outcome.HasEscaped)
        DisableLeakReport();
    ApplicationStarted = false;
    ScreenDrawLock = nullptr;
    PostHostQuit();
}

std::string WindowCaption() {
    std::string_view description = StartupFacts().VersionString("FileDescription");
    return std::string(description.empty() ? std::string_view(StartupFacts().ProgramName)
                                           : description);
}

// Shown once the host has given the screen back, so that the terminal can show it too.
void ShowEscapedException(const tRunOutcome& outcome) {
    std::string text(std::string_view("Программа остановлена из-за внутренней ошибки."_oem));
    if (!outcome.Escaped.empty())
        text += '\r' + Utf8ToCp866(outcome.Escaped);
    DesktopMessageBox(text, "Ошибка"_oem, tDesktopIcon::Error, tDesktopButtons::Ok);
}

} // namespace

tHostChoice ChooseProgramHost() {
    std::vector<std::string> problems;
    tHostPreference preference = LoadHostSettings(SettingsFileName(), problems).Host;
    return ChooseHost(CurrentHostFacts(preference, X11DisplayOpens));
}

tTestEnd RunInTextUi(const tTestParams* given, const tHostChoice& chosen) {
    std::unique_ptr<tConsoleHost> host;
    if (chosen.Kind == tHostKind::Window)
        host = std::make_unique<tX11Host>(WindowCaption());
    else
        host = std::make_unique<tTerminalHost>();
    tRunOutcome outcome;
    std::thread runThread;
    try {
        bool shown = RunConsoleHost(*host, [&] {
            ConsoleClass = MakeDriversConsole;
            BindScreenDrawLock();
            runThread = std::thread(RunThreadBody, given, std::ref(outcome));
        });
        if (!shown)
            ReportError();
    } catch (const std::exception& error) {
        outcome.HasEscaped = true;
        outcome.Escaped = error.what();
    }
    if (runThread.joinable())
        runThread.join();
    if (outcome.HasEscaped)
        ShowEscapedException(outcome);
    return outcome.End;
}

} // namespace zarvo
