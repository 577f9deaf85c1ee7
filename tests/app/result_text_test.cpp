// Result text, rates, next start times and elapsed spans.
#include "app/result_text.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/cp866.h"

using namespace zarvo;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\r')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

} // namespace

struct tRateCase {
    std::int64_t Bytes;
    std::int64_t Ms;
    std::string Expected;
};

// Catches locale-dependent points, rounding errors, a division by zero and bad padding.
TEST(RateText, FormatsMegabytesPerSecond) {
    const tRateCase cases[] = {
        {12'939'428, 1000, "12.3           "}, // 12.34 MB/s
        {41'943, 1000, "0.0            "},     // 0.04 MB/s
        {1'048'576, 0, "1000.0         "},     // 0 ms counts as 1 ms
        {0, 0, "0.0            "},
        {1'000'000'000'000'000'000LL, 1, "953674316406250.0"}, // longer: not cut
    };
    for (const auto& c : cases)
        EXPECT_EQ(RateText(c.Bytes, c.Ms), c.Expected) << c.Bytes << " bytes in " << c.Ms << " ms";
}

// Catches rate lines shown before anything was read.
TEST(ResultText, NothingReadGivesTwoLines) {
    tTestStatistics s;
    s.SizeInBytes = 4 * kMegabyte;
    std::string text = ResultText(s, tDaySpan{0, 65'000});
    EXPECT_EQ(text, std::string("Время работы 00:01:05\rПрочитано 0 Мб. Ошибок -  0 байт. "_oem));
}

// Catches rates taken from the wrong times or in the wrong order.
TEST(ResultText, AfterOneIterationSixLines) {
    tTestStatistics s;
    s.SizeInBytes = 100 * kMegabyte;
    s.BytesRead = s.BytesWritten = 100 * kMegabyte;
    s.ReadTimes = {10'000, 20'000, 30'000, 100 * kMegabyte}; // min, max, total, bytes
    s.WriteTimes = {40'000, 50'000, 50'000, 100 * kMegabyte};
    std::vector<std::string> lines = Lines(ResultText(s, tDaySpan{0, 125'000}));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], std::string("Время работы 00:02:05"_oem));
    EXPECT_EQ(lines[1], std::string("Прочитано 100 Мб. Ошибок -  0 байт. "_oem));
    EXPECT_EQ(lines[2], std::string("Скорость чтения мин., ср., макс. (Мб/с):"_oem));
    EXPECT_EQ(lines[3], RateText(s.SizeInBytes, 20'000) + " " + RateText(s.BytesRead, 30'000) +
                            " " + RateText(s.SizeInBytes, 10'000));
    EXPECT_EQ(lines[3].size(), 47u);
    EXPECT_EQ(lines[4], std::string("Скорость записи мин., ср., макс. (Мб/с):"_oem));
    EXPECT_EQ(lines[5], RateText(s.SizeInBytes, 50'000) + " " + RateText(s.BytesWritten, 50'000) +
                            " " + RateText(s.SizeInBytes, 40'000));
}

// One pass as the test cycle records it: its transfers, then its end.
static void Pass(tPassTimes& times, std::int64_t ms, std::int64_t bytes, bool firstIteration) {
    times.AddTransfer(bytes, ms);
    times.CompletePass(firstIteration);
}

struct tRatesCase {
    const char* Name;
    std::function<void(tTestStatistics&)> Run; // what the test cycle recorded
    const char* ReadLine;
    const char* WriteLine;
};

// Catches rates computed from bytes without their time (or the reverse) after a pass that did
// not finish, and a mean outside the minimum and maximum.
TEST(ResultText, RatesAreOnlyWhatTheTransfersAllowed) {
    constexpr std::int64_t kSize = 16 * kMegabyte;
    const tRatesCase cases[] = {
        {"cancelled in the first read pass",
         [](tTestStatistics& s) {
             Pass(s.WriteTimes, 2000, kSize, true);
             s.ReadTimes.AddTransfer(4 * kMegabyte, 500);
         },
         "8.0             8.0             8.0            ",
         "8.0             8.0             8.0            "},
        {"share lost in the second read pass",
         [](tTestStatistics& s) {
             Pass(s.WriteTimes, 2000, kSize, true);
             Pass(s.ReadTimes, 1000, kSize, true);
             Pass(s.WriteTimes, 4000, kSize, false);
             s.ReadTimes.AddTransfer(4 * kMegabyte, 2000);
         },
         "2.0             6.7             16.0           ",
         "4.0             5.3             8.0            "},
        {"full share in the second write pass",
         [](tTestStatistics& s) {
             Pass(s.WriteTimes, 2000, kSize, true);
             Pass(s.ReadTimes, 1000, kSize, true);
             s.WriteTimes.AddTransfer(3 * kMegabyte, 10); // before the disk filled, never synced
         },
         "16.0            16.0            16.0           ",
         "8.0             8.0             8.0            "},
        {"passes too fast for the millisecond tick",
         [](tTestStatistics& s) {
             Pass(s.WriteTimes, 0, kSize, true);
             Pass(s.ReadTimes, 0, kSize, true);
             Pass(s.WriteTimes, 0, kSize, false);
             Pass(s.ReadTimes, 0, kSize, false);
         },
         "16000.0         16000.0         16000.0        ",
         "16000.0         16000.0         16000.0        "},
    };
    for (const auto& c : cases) {
        tTestStatistics s;
        s.SizeInBytes = kSize;
        c.Run(s);
        s.BytesRead = s.ReadTimes.Bytes + s.ReadTimes.PartialBytes;
        s.BytesWritten = s.WriteTimes.Bytes + s.WriteTimes.PartialBytes;
        std::vector<std::string> lines = Lines(ResultText(s, tDaySpan{0, 10'000}));
        ASSERT_EQ(lines.size(), 6u) << c.Name;
        EXPECT_EQ(lines[3], c.ReadLine) << c.Name << ": read rates";
        EXPECT_EQ(lines[5], c.WriteLine) << c.Name << ": write rates";
    }
}

// Catches a day count dropped from long runs and a text longer than a short string.
TEST(ResultText, DaysAndLengthLimit) {
    tTestStatistics s;
    std::string text = ResultText(s, tDaySpan{1, 7'200'000});
    EXPECT_EQ(Lines(text)[0], std::string("Время работы 1 дней 02:00:00"_oem));
    s.BytesRead = s.BytesWritten = s.SizeInBytes = 1'000'000'000LL * kMegabyte;
    s.ErrorBytes = 9'000'000'000'000LL;
    EXPECT_LE(ResultText(s, tDaySpan{30'000, 0}).size(), 255u);
}

struct tNextStartCase {
    std::int32_t StampMs;
    std::int32_t Period;
    const char* Expected;
};

// Catches a start after midnight shown as a time beyond 24 hours.
TEST(NextStartText, ShowsTimeOfDayOnly) {
    const tNextStartCase cases[] = {
        {0, 3600, "01:00:00"},
        {(23 * 3600 + 30 * 60) * 1000 + 999, 3600, "00:30:00"},
        {12 * 3600 * 1000, 0, "12:00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NextStartText(tDayTime{100, c.StampMs}, c.Period), c.Expected);
}

struct tDiffCase {
    tDayTime A, B;
    std::int32_t Days, Ms;
};

// Catches spans that go negative across midnight or when the stamps come in either order.
TEST(DayTimeDiff, SpansAcrossMidnightInEitherOrder) {
    const tDiffCase cases[] = {
        {{10, 1000}, {10, 5000}, 0, 4000},
        {{10, 5000}, {10, 1000}, 0, 4000},
        {{10, 86'000'000}, {11, 1'000'000}, 0, 1'400'000},
        {{11, 1'000'000}, {10, 86'000'000}, 0, 1'400'000},
        {{10, 0}, {12, 5}, 2, 5},
    };
    for (const auto& c : cases) {
        tDaySpan span = DayTimeDiff(c.A, c.B);
        EXPECT_EQ(span.Days, c.Days);
        EXPECT_EQ(span.Ms, c.Ms);
    }
}
