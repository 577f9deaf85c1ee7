// Formatting of addresses, frames and call stacks for the log.
#include "log/log_record_format.h"

#include <cstdint>
#include <cstdio>

#include "platform/cp866.h"

namespace zarvo {

std::string FrameAddress(const void* address) {
    char text[32];
    std::snprintf(text, sizeof text, "$%0*llX", int(sizeof(void*) * 2),
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(address)));
    return text;
}

std::string FrameDetails(const tStackFrame& frame) {
    return frame.Module + ", " + frame.Procedure + ", " + frame.SourceFile + ", " +
           std::to_string(frame.Line);
}

std::string CallStackText(const std::vector<tStackFrame>& frames) {
    std::string text(std::string_view("  Дамп стека:"_oem));
    for (const tStackFrame& frame : frames)
        text += "\r\n    " + FrameAddress(frame.Address) + ", " + FrameDetails(frame);
    return text + "\r\n";
}

} // namespace zarvo
