// The history: one row per iteration in "zarvo-history.csv" of the working directory, for
// scripts, spreadsheets and the report; the same rows go into the run's JSON summary.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zarvo {

inline constexpr std::string_view kHistoryFileName = "zarvo-history.csv";

// What is known of the run before its first iteration.
struct tRunFacts {
    std::string Host;
    std::string Directory; // UTF-8, as the operator named it
    std::int64_t FileSize = 0;
    std::int32_t WorkTime = 0; // seconds
    std::int32_t Period = 0;   // seconds
};

// One iteration, also one that was cancelled or failed.
struct tIterationRecord {
    std::string StartTime; // ISO 8601 with the offset
    std::int64_t Iteration = 0;
    std::int64_t WriteBytes = 0;
    std::int64_t ReadBytes = 0;
    std::int64_t WriteMs = 0;
    std::int64_t ReadMs = 0;
    // A pass that did not run has no rate; nor has a write pass that did not finish, whose
    // data never reached the server (the protocol leaves it out too).
    bool WriteRated = false;
    bool ReadRated = false;
    std::int64_t ErrorBytes = 0;
    std::int64_t FirstMismatch = -1;
    std::int64_t MismatchBlocks = 0;
    std::int64_t PersistentBlocks = 0;
    std::int64_t TransientBlocks = 0;
    // Per transfer, in µs; none when the pass moved nothing.
    struct tLatencies {
        bool Known = false;
        std::uint64_t P50 = 0;
        std::uint64_t P99 = 0;
        std::uint64_t Maximum = 0;
    };
    tLatencies Write;
    tLatencies Read;
    std::uint64_t LongestStallMicros = 0;
    std::string Outcome; // UTF-8: ok, errors, cancelled, failed: <reason>
};

// A column's value: empty, a whole number, a number shown with fixed decimals, or text.
struct tHistoryField {
    enum class tKind { Empty, Integer, Decimal, Text };
    tKind Kind = tKind::Empty;
    std::int64_t Integer = 0;
    double Decimal = 0; // already rounded to Places
    int Places = 0;
    std::string Text;
};

inline constexpr std::array<std::string_view, 24> kHistoryColumns = {
    "start_time",
    "host",
    "directory",
    "file_size",
    "iteration",
    "write_bytes",
    "read_bytes",
    "write_seconds",
    "read_seconds",
    "write_mb_s",
    "read_mb_s",
    "error_bytes",
    "first_mismatch_offset",
    "mismatch_blocks",
    "persistent_blocks",
    "transient_blocks",
    "write_p50_ms",
    "write_p99_ms",
    "write_max_ms",
    "read_p50_ms",
    "read_p99_ms",
    "read_max_ms",
    "longest_stall_s",
    "outcome",
};

// The row's fields in the order of the columns.
std::vector<tHistoryField> HistoryFields(const tRunFacts& facts, const tIterationRecord& record);

// Text as a CSV file holds it: quoted when it holds a comma, a quote or a line end.
std::string CsvField(const tHistoryField& field);
// The heading or a row, with its line end.
std::string CsvHeading();
std::string CsvRow(const std::vector<tHistoryField>& fields);

// Appends the row (with the heading when the file is new) in one write under the lock, like
// the protocol. A failure answers false with the system's reason in LastOsError.
bool AppendHistory(const tRunFacts& facts, const tIterationRecord& record);

// What the operator is told when a row could not be written (the system's reason follows).
std::string HistoryFailureText(int osError);

} // namespace zarvo
