// Start and end of the execution log and the leak report.
#include "diagnostics/log/diagnostics_run.h"

#include "diagnostics/log/error_records.h"
#include "diagnostics/log/execution_log.h"
#include "diagnostics/log/leak_report.h"

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
