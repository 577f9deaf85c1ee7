// The diagnostics' part in the program's start and end, in one call each.
#pragma once

namespace zarvo {

// Right after the start-up facts: opens the execution log, makes its error writer the post
// hook and arms the leak report. Without a writable log the program goes on without both.
void StartDiagnostics();

// The program's last step: the leak report takes over the log's end and the log closes; the
// report itself runs as the process exits, once every static object is gone.
void FinishDiagnostics();

} // namespace zarvo
