// The log-output hook and its two entry points.
#include "diagnostics/log_output.h"

#include <string>

namespace zarvo {

tLogOutputHook gLogOutputHook = nullptr;

void WriteLog(std::string_view text) {
    if (tLogOutputHook hook = gLogOutputHook)
        hook(text);
}

void WriteLogLine(std::string_view text) {
    if (gLogOutputHook)
        WriteLog(std::string(text) + "\r\n");
}

} // namespace zarvo
