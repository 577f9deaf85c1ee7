// Result text and rates.
#include "app/result_text.h"

#include <algorithm>
#include <charconv>

#include "library/dates.h"
#include "platform/cp866.h"
#include "platform/format_text.h"

namespace zarvo {

namespace {
constexpr std::size_t kShortStringLimit = 255;
}

namespace {

double Rate(std::int64_t bytes, std::int64_t milliseconds) {
    std::int64_t t = milliseconds > 1 ? milliseconds : 1;
    return (double(bytes) * 1000.0) / (double(t) * double(kMegabyte));
}

std::string RateText(double rate) {
    char digits[64];
    // to_chars ignores the locale: the point is always ".".
    auto result = std::to_chars(digits, digits + sizeof digits, rate, std::chars_format::fixed, 1);
    std::string text(digits, result.ptr);
    if (text.size() < 15)
        text.append(15 - text.size(), ' ');
    return text;
}

struct tRates {
    double Minimum = 0;
    double Mean = 0;
    double Maximum = 0;
};

// Whether the pass under way has a rate yet. A read pass does; an unfinished write pass does
// not: its data was never forced to the server, so its time would flatter the share.
enum class tPartialPass { Counts, Ignored };

// Every rate from bytes and the time those very bytes took; a pass under way is one more
// pass with its own rate, so the mean always lies between the minimum and the maximum.
tRates RatesOf(const tPassTimes& times, std::int64_t sizeInBytes, tPartialPass partialPass) {
    tRates rates;
    bool complete = times.Bytes > 0;
    if (complete) {
        rates.Minimum = Rate(sizeInBytes, times.Maximum);
        rates.Maximum = Rate(sizeInBytes, times.Minimum);
    }
    std::int64_t bytes = times.Bytes;
    std::int64_t time = times.Total;
    if (partialPass == tPartialPass::Counts && times.PartialBytes > 0) {
        std::int64_t partialTime = std::max<std::int64_t>(times.PartialTime, 1);
        double partial = Rate(times.PartialBytes, partialTime);
        rates.Minimum = complete ? std::min(rates.Minimum, partial) : partial;
        rates.Maximum = complete ? std::max(rates.Maximum, partial) : partial;
        bytes += times.PartialBytes;
        time += partialTime;
    }
    if (bytes > 0)
        rates.Mean = Rate(bytes, time);
    return rates;
}

} // namespace

double RateOf(std::int64_t bytes, std::int64_t milliseconds) {
    return Rate(bytes, milliseconds);
}

std::string RateText(std::int64_t bytes, std::int64_t milliseconds) {
    return RateText(Rate(bytes, milliseconds));
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
        tRates read = RatesOf(s.ReadTimes, s.SizeInBytes, tPartialPass::Counts);
        tRates write = RatesOf(s.WriteTimes, s.SizeInBytes, tPartialPass::Ignored);
        text += '\r';
        text +=
            FormatText("Скорость чтения мин., ср., макс. (Мб/с):\r%s %s %s\r"
                       "Скорость записи мин., ср., макс. (Мб/с):\r%s %s %s"_oem,
                       {RateText(read.Minimum), RateText(read.Mean), RateText(read.Maximum),
                        RateText(write.Minimum), RateText(write.Mean), RateText(write.Maximum)});
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
