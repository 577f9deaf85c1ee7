// Records of raised exceptions; the throw hook itself is in exception_throw_hook.cpp.
#include "log/exception_records.h"

#include <atomic>

#include "diagnostics/log_output.h"
#include "log/log_record_format.h"
#include "platform/cp866.h"

namespace zarvo {

namespace {

std::atomic<bool> gInstalled{false};
// An exception thrown while one is being recorded is not recorded again.
thread_local bool gRecording = false;

} // namespace

namespace detail {

extern const bool kThrowHookLinked;

void RecordThrow(const void* returnAddress) noexcept {
    if (!gInstalled.load(std::memory_order_relaxed) || !gLogOutputHook || gRecording)
        return;
    gRecording = true;
    try {
        WriteLog(ExceptionRecordText(DescribeAddress(returnAddress)));
    } catch (...) {
        // The exception under way matters more than its record.
    }
    gRecording = false;
}

} // namespace detail

void InstallExceptionRecords() {
    // Reading the flag keeps the hook's object file in every program that opens the log.
    gInstalled.store(detail::kThrowHookLinked, std::memory_order_relaxed);
}

std::string ExceptionRecordText(const tStackFrame& frame) {
    return std::string("\r\n  Исключение по адресу "_oem) + FrameAddress(frame.Address) + " (" +
           FrameDetails(frame) + ")";
}

} // namespace zarvo
