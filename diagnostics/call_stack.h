// Call stacks for the log: the calling thread's return addresses and, for each, the module,
// the procedure and, where debug information can be read, the source file and line.
#pragma once

#include <string>
#include <vector>

namespace zarvo {

struct tStackFrame {
    const void* Address = nullptr; // the return address, or the address itself
    std::string Module;            // file name of the executable or library
    std::string Procedure;         // demangled, without its parameter list
    std::string SourceFile;        // file name only; empty without debug information
    int Line = 0;                  // 0 without debug information
};

// The return addresses of the calling thread, innermost first, leaving out this function's
// own frame and the Skip frames above it.
std::vector<const void*> CaptureCallStack(int skip, int limit = 64);

// Where an address lies. A return address points after its call: ReturnAddress looks up
// the call itself, so the line is the call's.
enum class tAddressKind { ReturnAddress, Exact };
tStackFrame DescribeAddress(const void* address, tAddressKind kind = tAddressKind::ReturnAddress);

// A demangled name without its parameter list: "zarvo::PostAppError".
std::string ProcedureName(const char* symbol);

} // namespace zarvo
