// The four values the operator gives before the test starts, and the checks every way of
// giving them shares.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/server_scratch.h"

namespace zarvo {

struct tTestParams {
    std::string Directory;
    std::int32_t FileSize = 100; // megabytes, 0 to 65535
    std::int32_t WorkTime = 0;   // seconds; 0 runs until the operator stops it
    std::int32_t Period = 3600;  // seconds between iterations
};

// The longest server directory the test holds.
inline constexpr std::size_t kMaxDirectoryLength = 255;

// True when the operator accepted values whose directory exists; false when they gave up.
bool GetTestParams(std::string& directory, std::int32_t& fileSize, std::int32_t& workTime,
                   std::int32_t& period);

// True once a close request came while GetTestParams runs: the operator gave up, so no field
// is checked any more and nothing is made on the share.
bool ParameterStageGivenUp();

// Parses "hh:mm:ss" (each part one or two digits) into seconds; -1 when it is not a time
// of day from 00:00:00 to 23:59:59.
std::int32_t ParseTimeOfDay(std::string_view text);
// Parses a file size of 0 to 65535 megabytes; -1 otherwise.
std::int32_t ParseFileSize(std::string_view text);

// What the operator is told when a size or a time does not parse (CP866).
std::string_view FileSizeRefusal();
std::string_view TimeRefusal();
// The directory as given, without characters of code 32 or below at either end.
std::string TrimmedDirectory(std::string_view text);
// True when the directory exists; otherwise shows why ("Не указан каталог на сервере" or
// "Не найден каталог ...") as a refusal.
bool CheckServerDirectory(const std::string& directory);
// True when the directory answers within the time limit; otherwise shows why ("Не найден
// каталог ...", or that the server does not answer) as a refusal. A stop request ends the
// wait without a word.
bool ServerDirectoryAnswers(const std::string& directory);
// The same for an answer already had.
bool ShowDirectoryAnswer(tDirectoryAnswer answer, const std::string& directory);

} // namespace zarvo
