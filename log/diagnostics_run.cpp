// Start and end of the execution log and the leak report.
#include "log/diagnostics_run.h"

#include "log/error_records.h"
#include "log/execution_log.h"
#include "log/leak_report.h"

namespace zarvo {

void StartDiagnostics() {
    if (!OpenLog())
        return;
    InstallErrorRecords();
    ArmLeakReport();
}

void FinishDiagnostics() {
    if (gErrorPostHook == WriteErrorRecord)
        gErrorPostHook = nullptr;
    PrepareLeakReport();
    CloseLog();
}

} // namespace zarvo
