// Appending one whole record to a file shared by several copies of the program (the protocol,
// the history): one write under an exclusive lock, and a record cut short taken back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zarvo {

// Appends what TEXT answers to NAME (CP866) in the working directory; TEXT is told whether the
// file was empty, under the lock, so that only one copy writes a heading. A failure answers
// false with the system's reason in LastOsError: nothing of the record is left.
bool AppendWholeRecord(std::string_view name, const std::function<std::string(bool empty)>& text);

} // namespace zarvo
