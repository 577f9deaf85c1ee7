// What the run leaves for scripts beyond the protocol: its parameters, its iterations' rows,
// the mismatching blocks it re-read and how each turned out; written as one JSON object at the
// end of the program, once the exit status is known.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/iteration_history.h"
#include "app/parameters.h"

namespace zarvo {

// A 32 KiB block of a read pass that differed and was read again: persistent when it still
// differed (stored wrong on the server), transient when it matched (the wire or the client).
struct tBlockFinding {
    std::int64_t Iteration = 0;
    std::int64_t Offset = 0;
    bool Persistent = false;
};

struct tRunEvidence {
    tRunFacts Facts;
    std::vector<tIterationRecord> Iterations;
    std::vector<tBlockFinding> Blocks;
};

// The run's one collection, filled by the test on the run thread and read after it ended.
tRunEvidence& RunEvidence();

// The facts of a run with these parameters on this workstation.
tRunFacts RunFactsOf(const tTestParams& params);

// The whole run as one JSON object (UTF-8, one line ended by LF).
std::string RunJson(const tRunEvidence& evidence, int exitStatus);

// Writes RunJson to PATH (UTF-8, as given on the command line), or to stdout for "-". False
// with the system's reason in LastOsError.
bool WriteRunJson(std::string_view path, const tRunEvidence& evidence, int exitStatus);

} // namespace zarvo
