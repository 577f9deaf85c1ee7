// Result text and rates.
#include "app/result_text.h"

#include <charconv>

#include "library/dates.h"
#include "platform/cp866.h"
#include "platform/format_text.h"

namespace zarvo {

namespace {
constexpr std::size_t kShortStringLimit = 255;
}

std::string RateText(std::int64_t bytes, std::int64_t milliseconds) {
    std::int64_t t = milliseconds > 1 ? milliseconds : 1;
    double rate = (double(bytes) * 1000.0) / (double(t) * double(kMegabyte));
    char digits[64];
    // to_chars ignores the locale: the point is always ".".
    auto result = std::to_chars(digits, digits + sizeof digits, rate, std::chars_format::fixed, 1);
    std::string text(digits, result.ptr);
    if (text.size() < 15)
        text.append(15 - text.size(), ' ');
    return text;
}

std::string ResultText(const tTestStatistics& statistics) {
    return ResultText(statistics, statistics.Elapsed());
}

std::string ResultText(const tTestStatistics& s, const tDaySpan& elapsed) {
    std::string text(std::string_view("Время работы "_oem));
    if (elapsed.Days > 0)
        text += FormatText("%d дней "_oem, {elapsed.Days});
    text += FormatTime("hh:mm:ss", elapsed.Ms / 1000);
    text += '\r';
    text += FormatText("Прочитано %d Мб. Ошибок -  %d байт. "_oem,
                       {s.BytesRead / kMegabyte, s.ErrorBytes});
    if (s.BytesRead != 0) {
        text += '\r';
        text += FormatText("Скорость чтения мин., ср., макс. (Мб/с):\r%s %s %s\r"
                           "Скорость записи мин., ср., макс. (Мб/с):\r%s %s %s"_oem,
                           {RateText(s.SizeInBytes, s.ReadTimes.Maximum),
                            RateText(s.BytesRead, s.ReadTimes.Total),
                            RateText(s.SizeInBytes, s.ReadTimes.Minimum),
                            RateText(s.SizeInBytes, s.WriteTimes.Maximum),
                            RateText(s.BytesWritten, s.WriteTimes.Total),
                            RateText(s.SizeInBytes, s.WriteTimes.Minimum)});
    }
    if (text.size() > kShortStringLimit)
        text.resize(kShortStringLimit);
    return text;
}

std::string NextStartText(const tDayTime& stamp, std::int32_t period) {
    std::int32_t seconds = (stamp.Ms / 1000 + period) % 86400;
    return FormatTime("hh:mm:ss", seconds);
}

} // namespace zarvo
