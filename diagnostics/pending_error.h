// The pending error: one process-wide slot in which an ordinary failure waits until code
// further up reports or clears it. Failures never travel through callers as exceptions.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "platform/format_text.h"

namespace zarvo {

class ESException : public std::exception {
  public:
    ESException(std::int32_t code, std::string message)
        : Code(code), m_Message(std::move(message)) {}
    ~ESException() override = default;

    // CP866; may hold byte 3 (centre the line) and carriage returns.
    const std::string& Message() const { return m_Message; }
    const char* what() const noexcept override { return m_Message.c_str(); }
    virtual const char* ClassName() const { return "ESException"; }

    bool Nested = false;
    std::int32_t Code = 0;

  private:
    std::string m_Message;
};

class ESAppException : public ESException {
  public:
    using ESException::ESException;
    const char* ClassName() const override { return "ESAppException"; }
};

class ESStreamException : public ESException {
  public:
    ESStreamException(std::int32_t code, std::int32_t detail, std::string message)
        : ESException(code, std::move(message)), Detail(detail) {}
    const char* ClassName() const override { return "ESStreamException"; }

    std::int32_t Detail = 0;
};

using tErrorHook = void (*)(ESException& error);

// Called with every error being posted (the execution log's writer).
extern tErrorHook gErrorPostHook;
// Called with the error being reported (the console report writer by default).
extern tErrorHook gErrorReportHook;

void PostError(std::unique_ptr<ESException> error);
bool IsErrorPending();
ESException* PendingError();
std::unique_ptr<ESException> TakeError();
void ReplaceError(std::unique_ptr<ESException>& error);
void ClearError();
void ReportError();

void PostAppError(std::int32_t code, std::string_view text);
void PostAppErrorFmt(std::int32_t code, std::string_view format,
                     std::initializer_list<tFormatArg> args);
void PostOSError(std::string_view text, std::int32_t code);
void PostLastOSError(std::string_view text);

// The default report hook: "*** " and the message on standard output.
void ConsoleReportWriter(ESException& error);
// The console form of a message: byte 3 removed, lone CR or LF made CR LF.
std::string ConsoleReportText(std::string_view message);

} // namespace zarvo
