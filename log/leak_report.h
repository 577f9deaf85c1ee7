// The memory-leak report: when the process ends, every block the program allocated and never
// released is dumped into the execution log (address, class name, bytes) and summed up on
// standard error. A run that released everything reports nothing.
#pragma once

#include <cstddef>

namespace zarvo {

// At start, once the log is open: the blocks allocated from now on are the program's.
void ArmLeakReport();

// At the program's end, before the log closes: formats the finish banner now and takes the
// log's end over, so the banner follows the dump.
void PrepareLeakReport();

// Leaves the blocks unreported (an exception is ending the program); the log still gets
// its finish banner, and an empty log is still removed.
void DisableLeakReport();

// The dump and the summary. The process's very last exit step calls it, after every static
// object is gone; later calls do nothing.
void RunLeakReport();

// The program's own blocks still allocated, and their bytes.
struct tLeakTotals {
    std::size_t Blocks = 0;
    std::size_t Bytes = 0;
};
tLeakTotals ReportedLeaks();

} // namespace zarvo
