// Return addresses from the C library's backtrace, modules and exported names from the
// dynamic linker, procedures, source files and lines from the compiler's libbacktrace where
// it was at hand when the program was built.
#include "diagnostics/call_stack.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/file_names.h"

#if ZARVO_HAVE_LIBBACKTRACE
#include <backtrace.h>
#endif

namespace zarvo {

namespace {

// The last part of a system path, as the program shows names (CP866).
std::string BaseName(std::string_view path) {
    std::size_t slash = path.rfind('/');
    return FromOsPath(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// The dynamic linker names the main program with an empty string.
const std::string& ExecutableName() {
    static const std::string name = [] {
        char buffer[PATH_MAX];
        ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        return length > 0 ? BaseName(std::string_view(buffer, std::size_t(length))) : std::string();
    }();
    return name;
}

// Where a parameter list starts: the first "(" outside template arguments, lambda names,
// "(anonymous namespace)" and "operator()".
std::size_t ParameterListStart(std::string_view name) {
    int depth = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c == '<' || c == '{')
            ++depth;
        else if ((c == '>' || c == '}') && depth > 0)
            --depth;
        else if (c == '(' && depth == 0) {
            if (name.substr(i).starts_with("(anonymous namespace)"))
                i += std::strlen("(anonymous namespace)") - 1;
            else if (name.substr(0, i).ends_with("operator") && name.substr(i).starts_with("()"))
                ++i;
            else
                return i;
        }
    }
    return std::string_view::npos;
}

#if ZARVO_HAVE_LIBBACKTRACE

void IgnoreError(void*, const char*, int) {}

backtrace_state* DebugInfo() {
    static backtrace_state* state = backtrace_create_state(nullptr, 1, IgnoreError, nullptr);
    return state;
}

// Inlined calls are reported innermost first: the first report is where the code really is.
int TakeSourceLine(void* data, std::uintptr_t, const char* file, int line, const char* function) {
    auto* frame = static_cast<tStackFrame*>(data);
    if (file)
        frame->SourceFile = BaseName(file);
    frame->Line = file ? line : 0;
    if (function)
        frame->Procedure = ProcedureName(function);
    return 1;
}

void TakeSymbol(void* data, std::uintptr_t, const char* symbol, std::uintptr_t, std::uintptr_t) {
    auto* frame = static_cast<tStackFrame*>(data);
    if (symbol && frame->Procedure.empty())
        frame->Procedure = ProcedureName(symbol);
}

void ReadDebugInfo(std::uintptr_t address, tStackFrame& frame) {
    if (backtrace_state* state = DebugInfo()) {
        backtrace_pcinfo(state, address, TakeSourceLine, IgnoreError, &frame);
        if (frame.Procedure.empty())
            backtrace_syminfo(state, address, TakeSymbol, IgnoreError, &frame);
    }
}

#else

void ReadDebugInfo(std::uintptr_t, tStackFrame&) {}

#endif

} // namespace

[[gnu::noinline]] std::vector<const void*> CaptureCallStack(int skip, int limit) {
    std::vector<void*> raw(std::size_t(limit + skip + 1));
    int count = backtrace(raw.data(), int(raw.size()));
    std::vector<const void*> frames;
    for (int i = skip + 1; i < count; ++i)
        frames.push_back(raw[std::size_t(i)]);
    return frames;
}

tStackFrame DescribeAddress(const void* address, tAddressKind kind) {
    tStackFrame frame;
    frame.Address = address;
    auto lookup = reinterpret_cast<std::uintptr_t>(address);
    if (kind == tAddressKind::ReturnAddress && lookup > 0)
        --lookup;
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(lookup), &info) != 0) {
        frame.Module =
            info.dli_fname && *info.dli_fname ? BaseName(info.dli_fname) : ExecutableName();
        if (info.dli_sname)
            frame.Procedure = ProcedureName(info.dli_sname);
    }
    ReadDebugInfo(lookup, frame);
    return frame;
}

std::string ProcedureName(const char* symbol) {
    if (!symbol)
        return {};
    std::string name = symbol;
    if (name.starts_with("_Z")) {
        int status = 0;
        char* demangled = abi::__cxa_demangle(symbol, nullptr, nullptr, &status);
        if (status == 0 && demangled)
            name = demangled;
        std::free(demangled);
    }
    std::size_t parameters = ParameterListStart(name);
    if (parameters != std::string::npos)
        name.resize(parameters);
    return name;
}

} // namespace zarvo
