// The parameters asked for on the terminal, one line each; an empty line takes the default
// and the end of input gives up, as "Отказ" does in the dialog.
#include "app/parameters.h"

#include <unistd.h>

#include "library/dates.h"
#include "library/paths.h"
#include "platform/cp866.h"
#include "platform/terminal_line.h"
#include "views/message_box_call.h"

namespace zarvo {

namespace {

bool AllDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

enum class tAnswer { Value, GiveUp };

// Asks until the value parses; parse returns -1 for a refusal.
template <typename Parse>
tAnswer AskValue(std::string_view prompt, std::string_view defaultText, std::string_view refusal,
                 Parse parse, std::int32_t& value) {
    for (;;) {
        WriteTerminalText(STDOUT_FILENO,
                          std::string(prompt) + " [" + std::string(defaultText) + "]: ");
        std::string line;
        if (ReadTerminalLine(STDIN_FILENO, line) != tLineResult::Line)
            return tAnswer::GiveUp;
        std::string text = TrimmedDirectory(line);
        value = parse(text.empty() ? std::string(defaultText) : text);
        if (value >= 0)
            return tAnswer::Value;
        MessageBoxCall(refusal, mbError | mbContinue);
    }
}

} // namespace

std::string TrimmedDirectory(std::string_view text) {
    std::size_t first = 0, last = text.size();
    while (first < last && std::uint8_t(text[first]) <= 32)
        ++first;
    while (last > first && std::uint8_t(text[last - 1]) <= 32)
        --last;
    return std::string(text.substr(first, last - first));
}

std::string_view FileSizeRefusal() {
    return "Размер файла - число от 0 до 65535"_oem;
}

std::string_view TimeRefusal() {
    return "Время указывается как чч:мм:сс, от 00:00:00 до 23:59:59"_oem;
}

bool CheckServerDirectory(const std::string& directory) {
    if (directory.empty()) {
        MessageBoxCall("Не указан каталог на сервере"_oem, mbError | mbContinue);
        return false;
    }
    if (DirectoryExists(directory))
        return true;
    MessageBoxCall(std::string("Не найден каталог "_oem) + directory, mbError | mbContinue);
    return false;
}

std::int32_t ParseTimeOfDay(std::string_view text) {
    std::int32_t parts[3] = {0, 0, 0};
    std::size_t part = 0, start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != ':')
            continue;
        std::string_view digits = text.substr(start, i - start);
        if (part >= 3 || digits.size() > 2 || !AllDigits(digits))
            return -1;
        parts[part++] = std::stoi(std::string(digits));
        start = i + 1;
    }
    if (part != 3 || parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
        return -1;
    return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

std::int32_t ParseFileSize(std::string_view text) {
    if (!AllDigits(text) || text.size() > 5)
        return -1;
    std::int32_t value = std::stoi(std::string(text));
    return value <= 65535 ? value : -1;
}

bool GetTestParams(std::string& directory, std::int32_t& fileSize, std::int32_t& workTime,
                   std::int32_t& period) {
    for (;;) {
        WriteTerminalText(STDOUT_FILENO, "Параметры работы\r"_oem);
        WriteTerminalText(STDOUT_FILENO, "Каталог на сервере: "_oem);
        std::string line;
        if (ReadTerminalLine(STDIN_FILENO, line) != tLineResult::Line)
            return false;
        directory = TrimmedDirectory(line);
        if (directory.size() > kMaxDirectoryLength)
            directory.resize(kMaxDirectoryLength);
        if (AskValue("Размер файла, Мб"_oem, "100", FileSizeRefusal(), ParseFileSize, fileSize) ==
                tAnswer::GiveUp ||
            AskValue("Время раб. (0-до прер. польз.)"_oem, "00:00:00", TimeRefusal(),
                     ParseTimeOfDay, workTime) == tAnswer::GiveUp ||
            AskValue("Период между итерациями"_oem, "01:00:00", TimeRefusal(), ParseTimeOfDay,
                     period) == tAnswer::GiveUp)
            return false;
        if (CheckServerDirectory(directory))
            return true;
    }
}

} // namespace zarvo
