// One record, one write, under the lock.
#include "app/journal_append.h"

#include <cerrno>

#include "platform/os_error.h"
#include "platform/os_file.h"

namespace zarvo {

bool AppendWholeRecord(std::string_view name, const std::function<std::string(bool empty)>& text) {
    // Copies finishing together wait for one another's record, briefly.
    constexpr std::uint32_t kLockWaitMs = 10'000;
    tOsFile file;
    if (!file.OpenAppend(name, kLockWaitMs))
        return false;
    std::int64_t before = file.Size();
    std::string record = text(before == 0);
    SetLastOsError(0);
    std::int64_t written = file.Write(record.data(), record.size());
    int code = written == std::int64_t(record.size()) ? 0
               : LastOsError() != 0                   ? LastOsError()
                                                      : ENOSPC;
    // Half a record would read as a whole one cut short: it is taken back.
    if (code != 0 && written > 0 && before >= 0 && file.Seek(before) == before)
        file.Truncate();
    if (!file.Close() && code == 0)
        code = LastOsError();
    SetLastOsError(code);
    return code == 0;
}

} // namespace zarvo
