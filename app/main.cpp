// Zarvo's start: the library's start-up facts, the execution log, the working-directory lock,
// the run thread with the test, and the orderly end that releases the lock and closes the log.
#include <unistd.h>

#include <csignal>
#include <pthread.h>
#include <thread>

#include "app/command_line.h"
#include "app/directory_sense.h"
#include "app/network_cycle.h"
#include "app/no_ui.h"
#include "app/run_evidence.h"
#include "app/run_thread.h"
#include "app/work_dir_lock.h"
#include "diagnostics/pending_error.h"
#include "dirselect/directory_dialog.h"
#include "library/memory_error.h"
#include "library/startup_facts.h"
#include "library/stream_class.h"
#include "log/diagnostics_run.h"
#include "platform/cp866.h"
#include "platform/format_text.h"
#include "platform/interrupt_signals.h"
#include "platform/os_error.h"
#include "platform/terminal_line.h"
#include "record_inputs/field_controls.h"
#include "record_inputs/input_stream_classes.h"
#include "records/record_stream_classes.h"
#include "views/calculator.h"
#include "views/desktop.h"
#include "views/desktop_message_box.h"
#include "views/dialog.h"
#include "views/history.h"
#include "views/menu_view.h"
#include "views/status_line_cache.h"
#include "views/view.h"
#include "views/window.h"

using namespace zarvo;

namespace {

// Every part registers its streamable classes; the status lines' cache and the directory
// field's chooser come with them.
void StartModules() {
    RegisterLibraryStreamClasses();
    RegisterViewStreamClasses();
    RegisterWindowStreamClasses();
    RegisterMenuStreamClasses();
    StartStatusLineCache();
    RegisterDialogStreamClasses();
    RegisterInputStreamClasses();
    RegisterCalcStreamClasses();
    RegisterDeskTopStreamClasses();
    RegisterRecordStreamClasses();
    RegisterTypedInputStreamClasses();
    RegisterDirectoryStreamClasses();
    // The parameter dialog's directory field gets its chooser.
    DirectoryCompanionMaker = MakeDirectorySense;
}

// Without a UI the test runs on a thread of its own, as it would beside a host.
tTestEnd RunWithoutUi(const tTestParams* given) {
    InstallInterruptSignals();
    tTestEnd end = tTestEnd::Stopped;
    std::thread runThread([&] { end = RunTest(given); });
    // The interrupts belong to the run thread: its terminal reads must be the ones they
    // break off.
    sigset_t interrupts;
    sigemptyset(&interrupts);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&interrupts, signal);
    pthread_sigmask(SIG_BLOCK, &interrupts, nullptr);
    runThread.join();
    return end;
}

// The run's summary for scripts, once its status is known; a summary that cannot be written
// makes the run a stop, so that a script never reads an old one as this run's.
int WriteSummary(const tCommandLine& commandLine, int status) {
    if (commandLine.JsonPath().empty())
        return status;
    if (WriteRunJson(commandLine.JsonPath(), RunEvidence(), status))
        return status;
    int code = LastOsError();
    WriteTerminalText(STDERR_FILENO,
                      FormatText("zarvo: Не удалось записать итог JSON %s\r(код: %d) %s\r"_oem,
                                 {Utf8ToCp866(commandLine.JsonPath()), code, OsErrorText(code)}));
    return tCommandLine::kStatusStopped;
}

} // namespace

int main(int argc, char** argv) {
    // A reader of stderr that went away (a pipe into head) must not end the test halfway:
    // writes to it fail instead, and the test goes on to its entry and cleanup.
    std::signal(SIGPIPE, SIG_IGN);
    tCommandLine commandLine(std::span<const char* const>(argv + 1, argc > 0 ? argc - 1 : 0));
    if (commandLine.Action() != tCommandLine::tAction::Run)
        return commandLine.Answer();
    bool withoutUi = RunsWithoutUi(commandLine);
    tHostChoice host;
    if (withoutUi) {
        UseNoUi();
    } else {
        host = ChooseProgramHost();
        // The lock's refusal comes before the host: in the window host's look.
        if (host.Kind == tHostKind::Window)
            UseWindowMessageBox();
    }
    InitStartupFacts();
    InstallMemoryErrorHandler();
    StartModules();
    // The log is this copy's only while it holds the lock: a copy that is refused must not
    // open it, and at its end delete it as empty while the running copy writes to it.
    if (const tTestParams* params = commandLine.TestParams())
        RunEvidence().Facts = RunFactsOf(*params);
    if (!TakeWorkDirLock()) {
        StopStatusLineCache();
        return WriteSummary(commandLine, commandLine.ExitStatus(tTestEnd::Stopped));
    }
    StartDiagnostics();
    tTestEnd end = tTestEnd::Stopped;
    int status = -1;
    if (IsErrorPending())
        ReportError();
    else if (withoutUi)
        end = RunWithoutUi(commandLine.TestParams());
    else if (host.Kind == tHostKind::NoHost)
        status = ReportNoHost(host);
    else
        end = RunInTextUi(commandLine.TestParams(), host);
    StopStatusLineCache();
    ReportError();
    FinishDiagnostics();
    ReleaseWorkDirLock();
    return WriteSummary(commandLine, status >= 0 ? status : commandLine.ExitStatus(end));
}
