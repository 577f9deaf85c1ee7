// The run's JSON summary.
#include "app/run_evidence.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <nlohmann/json.hpp>

#include "platform/file_names.h"
#include "platform/os_error.h"
#include "platform/write_all.h"

namespace zarvo {

namespace {

nlohmann::ordered_json JsonOf(const tHistoryField& field) {
    switch (field.Kind) {
    case tHistoryField::tKind::Integer:
        return field.Integer;
    case tHistoryField::tKind::Decimal:
        return field.Decimal;
    case tHistoryField::tKind::Text:
        return field.Text;
    case tHistoryField::tKind::Empty:
        break;
    }
    return nullptr;
}

// Keys keep the documented order (the history's columns); a name or a reason in another
// encoding must not make the summary unreadable.
constexpr auto kInvalidUtf8 = nlohmann::ordered_json::error_handler_t::replace;

// Sets the OS error of a failed write, or ENOSPC when the file took nothing.
bool WriteText(int fd, std::string_view text) {
    errno = 0;
    if (WriteAll(fd, text))
        return true;
    SetLastOsError(errno != 0 ? errno : ENOSPC);
    return false;
}

} // namespace

tRunEvidence& RunEvidence() {
    static tRunEvidence evidence;
    return evidence;
}

tRunFacts RunFactsOf(const tTestParams& params) {
    tRunFacts facts;
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0)
        facts.Host = host;
    facts.Directory = OsPath(params.Directory);
    facts.FileSize = std::int64_t(params.FileSize) * 1'048'576;
    facts.WorkTime = params.WorkTime;
    facts.Period = params.Period;
    return facts;
}

std::string RunJson(const tRunEvidence& evidence, int exitStatus) {
    const tRunFacts& facts = evidence.Facts;
    nlohmann::ordered_json run;
    run["parameters"] = {
        {"directory", facts.Directory},
        {"file_size", facts.FileSize},
        {"work_time_minutes", double(facts.WorkTime) / 60.0},
        {"period_minutes", double(facts.Period) / 60.0},
        {"host", facts.Host},
    };
    nlohmann::ordered_json iterations = nlohmann::ordered_json::array();
    std::int64_t written = 0, read = 0, errors = 0, mismatching = 0, persistent = 0, transient = 0;
    std::uint64_t longestStall = 0;
    for (const tIterationRecord& record : evidence.Iterations) {
        std::vector<tHistoryField> fields = HistoryFields(facts, record);
        nlohmann::ordered_json row = nlohmann::ordered_json::object();
        for (std::size_t i = 0; i < fields.size(); ++i)
            row[std::string(kHistoryColumns[i])] = JsonOf(fields[i]);
        iterations.push_back(std::move(row));
        written += record.WriteBytes;
        read += record.ReadBytes;
        errors += record.ErrorBytes;
        mismatching += record.MismatchBlocks;
        persistent += record.PersistentBlocks;
        transient += record.TransientBlocks;
        longestStall = std::max(longestStall, record.LongestStallMicros);
    }
    run["iterations"] = std::move(iterations);
    nlohmann::ordered_json blocks = nlohmann::ordered_json::array();
    for (const tBlockFinding& block : evidence.Blocks)
        blocks.push_back({{"iteration", block.Iteration},
                          {"pass", "read"},
                          {"offset", block.Offset},
                          {"class", block.Persistent ? "persistent" : "transient"}});
    run["blocks"] = std::move(blocks);
    run["totals"] = {
        {"iterations", evidence.Iterations.size()},
        {"write_bytes", written},
        {"read_bytes", read},
        {"error_bytes", errors},
        {"mismatch_blocks", mismatching},
        {"persistent_blocks", persistent},
        {"transient_blocks", transient},
        {"longest_stall_s", double(std::int64_t(double(longestStall) / 1e5 + 0.5)) / 10.0},
    };
    run["exit_status"] = exitStatus;
    return run.dump(-1, ' ', false, kInvalidUtf8) + '\n';
}

bool WriteRunJson(std::string_view path, const tRunEvidence& evidence, int exitStatus) {
    std::string text = RunJson(evidence, exitStatus);
    if (path == "-")
        return WriteText(STDOUT_FILENO, text);
    // Replaced whole when it exists, but never through a link.
    int fd = open(std::string(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                  0666);
    if (fd < 0) {
        SetLastOsError(errno);
        return false;
    }
    bool written = WriteText(fd, text);
    int code = written ? 0 : LastOsError();
    if (close(fd) != 0 && code == 0)
        code = errno;
    SetLastOsError(code);
    return code == 0;
}

} // namespace zarvo
