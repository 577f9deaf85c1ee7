// Zarvo's start: the library's start-up facts, the working-directory lock, the run thread
// with the test, and the orderly end that releases the lock.
#include <csignal>
#include <pthread.h>
#include <thread>

#include "app/network_cycle.h"
#include "app/work_dir_lock.h"
#include "diagnostics/pending_error.h"
#include "library/memory_error.h"
#include "library/startup_facts.h"
#include "library/stream_class.h"
#include "platform/interrupt_signals.h"
#include "records/record_stream_classes.h"
#include "views/dialog.h"
#include "views/menu_view.h"
#include "views/status_line_cache.h"
#include "views/view.h"
#include "views/window.h"

using namespace zarvo;

int main() {
    InitStartupFacts();
    InstallMemoryErrorHandler();
    RegisterLibraryStreamClasses();
    RegisterViewStreamClasses();
    RegisterWindowStreamClasses();
    RegisterMenuStreamClasses();
    StartStatusLineCache();
    RegisterDialogStreamClasses();
    RegisterRecordStreamClasses();
    if (!TakeWorkDirLock())
        return 0;
    if (IsErrorPending()) {
        ReportError();
    } else {
        InstallInterruptSignals();
        std::thread runThread(RunTest);
        // The interrupts belong to the run thread: its terminal reads must be the ones they
        // break off.
        sigset_t interrupts;
        sigemptyset(&interrupts);
        for (int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&interrupts, signal);
        pthread_sigmask(SIG_BLOCK, &interrupts, nullptr);
        runThread.join();
    }
    ReleaseWorkDirLock();
    StopStatusLineCache();
    ReportError();
    return 0;
}
