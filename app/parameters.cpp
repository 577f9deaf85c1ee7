// The checks every way of giving the parameters shares: the command line's and the dialog's.
#include "app/parameters.h"

#include "library/dates.h"
#include "library/paths.h"
#include "library/strings.h"
#include "platform/cp866.h"
#include "platform/file_names.h"
#include "platform/format_text.h"
#include "platform/os_error.h"
#include "views/message_box_call.h"

namespace zarvo {

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
    return ServerDirectoryAnswers(directory);
}

bool ServerDirectoryAnswers(const std::string& directory) {
    return ShowDirectoryAnswer(AskDirectory(directory), directory);
}

bool ShowDirectoryAnswer(tDirectoryAnswer answer, const std::string& directory) {
    switch (answer) {
    case tDirectoryAnswer::Exists:
        return true;
    case tDirectoryAnswer::Missing:
        MessageBoxCall(std::string("Не найден каталог "_oem) + PrintableName(directory),
                       mbError | mbContinue);
        return false;
    case tDirectoryAnswer::NotAnswering:
        MessageBoxCall(FormatText("Сервер не отвечает: каталог %s\r(код: %d) %s"_oem,
                                  {PrintableName(directory), ETIMEDOUT, OsErrorText(ETIMEDOUT)}),
                       mbError | mbContinue);
        return false;
    case tDirectoryAnswer::Stopped:
        return false;
    }
    return false;
}

std::int32_t ParseTimeOfDay(std::string_view text) {
    std::int32_t parts[3] = {0, 0, 0};
    std::size_t part = 0, start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != ':')
            continue;
        std::string_view digits = text.substr(start, i - start);
        if (part >= 3 || digits.size() > 2 || !IsDigits(digits))
            return -1;
        parts[part++] = std::stoi(std::string(digits));
        start = i + 1;
    }
    if (part != 3 || parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
        return -1;
    return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

std::int32_t ParseFileSize(std::string_view text) {
    if (!IsDigits(text) || text.size() > 5)
        return -1;
    std::int32_t value = std::stoi(std::string(text));
    return value <= 65535 ? value : -1;
}

} // namespace zarvo
