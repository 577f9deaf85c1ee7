// The pending-error slot, its hooks and the console report writer.
#include "diagnostics/pending_error.h"

#include <cstdio>

#include "platform/cp866.h"
#include "platform/os_error.h"

namespace zarvo {

tErrorHook gErrorPostHook = nullptr;
tErrorHook gErrorReportHook = ConsoleReportWriter;

namespace {

// Constant-initialised, and defined before the exit reporter so it outlives it.
std::unique_ptr<ESException> gSlot;

std::unique_ptr<ESException>& Slot() {
    return gSlot;
}

// Whatever is still pending when the program ends is reported, never dropped.
struct tExitReporter {
    ~tExitReporter() { ReportError(); }
} gExitReporter;

} // namespace

void PostError(std::unique_ptr<ESException> error) {
    if (!error)
        return;
    error->Nested = IsErrorPending();
    Slot().reset();
    if (tErrorHook hook = gErrorPostHook) {
        // An error posted from inside the hook is not logged again.
        gErrorPostHook = nullptr;
        hook(*error);
        gErrorPostHook = hook;
    }
    Slot() = std::move(error);
}

bool IsErrorPending() {
    return Slot() != nullptr;
}

ESException* PendingError() {
    return Slot().get();
}

std::unique_ptr<ESException> TakeError() {
    return std::move(Slot());
}

void ReplaceError(std::unique_ptr<ESException>& error) {
    Slot() = std::move(error);
}

void ClearError() {
    Slot().reset();
}

void ReportError() {
    std::unique_ptr<ESException> error = TakeError();
    if (error && gErrorReportHook)
        gErrorReportHook(*error);
}

void PostAppError(std::int32_t code, std::string_view text) {
    std::string message(text.empty() ? "Ошибка приложения: "_oem : text);
    if (code != 0)
        message += FormatText("(Код : %d)."_oem, {code});
    PostError(std::make_unique<ESAppException>(code, std::move(message)));
}

void PostAppErrorFmt(std::int32_t code, std::string_view format,
                     std::initializer_list<tFormatArg> args) {
    PostAppError(code, FormatText(format, args));
}

void PostOSError(std::string_view text, std::int32_t code) {
    std::string message(text);
    if (!text.empty())
        message += '\r';
    if (code != 0)
        message += std::string("Ошибка ОС: "_oem) + OsErrorText(code);
    PostError(std::make_unique<ESAppException>(code, std::move(message)));
}

void PostLastOSError(std::string_view text) {
    PostOSError(text, LastOsError());
}

std::string ConsoleReportText(std::string_view message) {
    std::string out;
    out.reserve(message.size() + 8);
    for (std::size_t i = 0; i < message.size(); ++i) {
        char c = message[i];
        if (c == kCentreMark)
            continue;
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < message.size() && message[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

void ConsoleReportWriter(ESException& error) {
    std::string text = "*** " + ConsoleReportText(error.Message()) + "\r\n";
    std::string utf8 = Cp866ToUtf8(text);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

} // namespace zarvo
