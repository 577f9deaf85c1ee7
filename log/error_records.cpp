// Error records, written through the pending error's post hook.
#include "log/error_records.h"

#include "diagnostics/call_stack.h"
#include "diagnostics/log_output.h"
#include "library/dates.h"
#include "library/text_wrap.h"
#include "log/log_record_format.h"

namespace zarvo {

std::string ErrorRecordText(const ESException& error, std::string_view time) {
    const std::string_view indent = error.Nested ? "  " : "";
    const std::string text = std::string(time) + " " + error.Message();
    tWrapState state;
    state.Width = kLogRecordWidth - int(indent.size());
    // A record starts after an empty line; centred lines are not centred here.
    std::string record = "\r\n";
    while (WrapNextLine(text, state)) {
        record += indent;
        record += state.Line(text);
        record += "\r\n";
    }
    return record;
}

[[gnu::noinline]] void WriteErrorRecord(ESException& error) {
    if (!gLogOutputHook)
        return;
    std::string record = ErrorRecordText(error, FormatNow(kLongTimeTemplate));
    if (!error.Nested) {
        // The stack starts at the posting call: this hook's own frame is left out.
        std::vector<tStackFrame> frames;
        for (const void* address : CaptureCallStack(1))
            frames.push_back(DescribeAddress(address));
        record += CallStackText(frames);
    }
    WriteLog(record);
}

void InstallErrorRecords() {
    gErrorPostHook = WriteErrorRecord;
}

} // namespace zarvo
