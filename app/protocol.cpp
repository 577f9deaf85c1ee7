// Protocol entries: date and time, file size, the directory in its universal form, the
// result text, and the error that ended the test, if any.
#include "app/protocol.h"

#include "app/journal_append.h"
#include "app/result_text.h"
#include "diagnostics/pending_error.h"
#include "library/clocks.h"
#include "library/dates.h"
#include "library/paths.h"
#include "library/text_wrap.h"
#include "platform/cp866.h"
#include "platform/file_names.h"
#include "platform/format_text.h"
#include "platform/os_error.h"

namespace zarvo {

// A message may hold centring marks and line breaks; in the protocol it is one line.
std::string OneLine(std::string_view message) {
    std::string line;
    for (char c : message) {
        if (c == kCentreMark)
            continue;
        if (c == '\r' || c == '\n') {
            if (!line.empty() && line.back() != ' ')
                line += ' ';
            continue;
        }
        line += c;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

std::string ProtocolEntry(const tTestStatistics& statistics, std::string_view errorMessage) {
    std::string entry = "\r\n";
    entry +=
        FormatText("%s %s", {FormatDate("dd/mm/yyyy", Today()), FormatTime("hh:mm:ss", Now())});
    entry += "\r\n";
    entry += FormatText("Размер файла %d Мб"_oem, {statistics.SizeInBytes / kMegabyte});
    entry += "\r\n";
    entry += "Каталог "_oem;
    // A name's control characters would let it forge lines of the entry.
    entry += PrintableName(statistics.UniversalDirectory.empty()
                               ? ExpandUNCName(statistics.ScratchDirectory)
                               : statistics.UniversalDirectory);
    entry += "\r\n";
    entry += WrapText74(ResultText(statistics));
    if (statistics.LongestCallMs > 5000)
        entry += FormatText("\r\nСервер не отвечал %d с"_oem, {statistics.LongestCallMs / 1000});
    if (!errorMessage.empty()) {
        entry += "\r\n";
        entry += "Ошибка: "_oem;
        entry += OneLine(errorMessage);
    }
    entry += "\r\n";
    return entry;
}

bool AppendProtocol(const tTestStatistics& statistics, std::string_view errorMessage,
                    std::string* shown) {
    // The entry's leading CR LF is the empty line; its final one ends the last line.
    std::string entry = ProtocolEntry(statistics, errorMessage);
    if (shown != nullptr)
        *shown = entry;
    return AppendWholeRecord(kProtocolFileName, [&entry](bool) { return entry; });
}

std::string ProtocolFailureText(int osError) {
    return FormatText("Не удалось записать протокол %s\r(код: %d) %s"_oem,
                      {std::string(kProtocolFileName), osError, OsErrorText(osError)});
}

} // namespace zarvo
