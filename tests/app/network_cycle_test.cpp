// The test cycle against real directories: the file's contents, error counting, cancel,
// the schedule, the protocol entry and the cleanup after every ending.
#include "app/network_cycle.h"
#include "app/result_text.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <regex>
#include <thread>
#include <vector>

#include "app/cycle_fixture.h"
#include "app/protocol.h"
#include "diagnostics/pending_error.h"
#include "library/crc32.h"
#include "platform/cp866.h"
#include "platform/interrupt_signals.h"
#include "platform/os_file.h"
#include "support/temp_dir.h"
#include "views/commands.h"
#include "views/message_box_call.h"

using namespace zarvo;
using zarvo::testing::ReadFileBytes;
using zarvo::testing::tTempDir;
using namespace zarvo::testing;

using NetworkTestCycle = tCycleFixture;

// Catches a file whose values do not follow the CRC chain of its block.
TEST_F(NetworkTestCycle, WrittenFileFollowsTheChain) {
    tNetworkTest test(Params(1, kOneIterationWork, kOneIterationPeriod));
    std::string seen;
    std::array<std::uint8_t, 28> prefix{};
    gOnPoll = [&](tProgress& progress) {
        if (seen.empty() && EndsWith(progress.Text, "Чтение"_oem)) {
            seen = ReadFileBytes(TestFile());
            auto bytes = test.Block().Bytes();
            std::copy_n(bytes.begin(), 28, prefix.begin());
        }
        return false;
    };
    test.Run();
    ASSERT_EQ(seen.size(), 1'048'576u) << "the read pass finds the whole file";
    EXPECT_EQ(prefix[0], 27);
    EXPECT_EQ(CountChainBreaks(seen, prefix), 0) << "every value is the CRC of its block";
    EXPECT_EQ(test.Statistics().ErrorBytes, 0);
    EXPECT_EQ(test.Statistics().BytesWritten, 1'048'576);
    EXPECT_EQ(test.Statistics().BytesRead, 1'048'576);
    ExpectNothingLeft();
}

// Catches a comparison that counts values instead of bytes, or misses or double-counts a
// corrupted byte at a lane or buffer boundary.
TEST_F(NetworkTestCycle, FlippedBytesCountOneErrorByteEach) {
    const std::vector<std::vector<std::streamoff>> cases = {
        {40'001},         // one byte inside a buffer
        {0, 15, 16, 31},  // the edges of the first lanes
        {12, 13, 14, 15}, // every byte of one value
        {32'767, 32'768}, // the last byte of a buffer and the first of the next
        {1'048'575},      // the file's last byte
    };
    for (const auto& offsets : cases) {
        SCOPED_TRACE(::testing::PrintToString(offsets));
        tNetworkTest test(Params(1, kOneIterationWork, kOneIterationPeriod));
        bool flipped = false;
        gOnPoll = [&](tProgress& progress) {
            if (!flipped && EndsWith(progress.Text, "Чтение"_oem)) {
                std::fstream file(TestFile(), std::ios::in | std::ios::out | std::ios::binary);
                for (std::streamoff offset : offsets) {
                    file.seekg(offset);
                    char c = char(file.get());
                    file.seekp(offset);
                    file.put(char(c ^ 0x10));
                }
                flipped = file.good();
            }
            return false;
        };
        test.Run();
        ASSERT_TRUE(flipped);
        std::int64_t expected = std::int64_t(offsets.size());
        EXPECT_EQ(test.Statistics().ErrorBytes, expected);
        EXPECT_NE(Protocol().rfind("Ошибок -  " + std::to_string(expected) + " байт. "),
                  std::string::npos)
            << Protocol();
        ExpectNothingLeft();
    }
}

// Catches a "No" that skips or repeats values, and a "Yes" that loses the entry.
TEST_F(NetworkTestCycle, CancelAnsweredNoResumesAndYesEnds) {
    tNetworkTest resumed(Params(1, kOneIterationWork, kOneIterationPeriod));
    int polls = 0;
    gOnPoll = [&](tProgress&) { return ++polls == 100'000; };
    gAnswer = cmdNo;
    resumed.Run();
    ASSERT_EQ(gMessages.size(), 1u);
    EXPECT_EQ(gMessages[0], "Вы желаете прервать процесс ?");
    EXPECT_EQ(resumed.Statistics().ErrorBytes, 0) << "no value skipped after No";
    EXPECT_EQ(resumed.Statistics().BytesRead, 1'048'576);

    gMessages.clear();
    polls = 0;
    gAnswer = cmdYes;
    tNetworkTest cancelled(Params(1, 0, 0));
    cancelled.Run();
    EXPECT_EQ(cancelled.Statistics().BytesRead, 0) << "cancelled in the first write pass";
    ExpectNothingLeft();
    // The second entry: cancelled before anything was read, so exactly two result lines.
    std::string protocol = Protocol();
    std::size_t second = protocol.rfind("\r\n\r\n");
    ASSERT_NE(second, std::string::npos);
    std::string entry = protocol.substr(second + 2);
    std::regex shape("\r\n\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\r\n"
                     "Размер файла 1 Мб\r\n"
                     "Каталог [^\r]*/TEST_NET\\.\\$\\$\\$\r\n"
                     "Время работы 00:00:0\\d\r\n"
                     "Прочитано 0 Мб\\. Ошибок -  0 байт\\. \r\n");
    EXPECT_TRUE(std::regex_match(entry, shape)) << entry;
}

// Catches values skipped or compared twice where the pass asks about a run of values by its
// cancel poll alone: an operator's Ctrl+C there, answered "No", must resume exactly.
TEST_F(NetworkTestCycle, CtrlCAnsweredNoResumesWithoutSkipping) {
    gProgressCancelHook = nullptr;
    gAnswer = cmdNo;
    std::atomic<bool> done = false;
    RequestCancel();
    std::thread operatorThread([&] {
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            RequestCancel();
        }
    });
    tNetworkTest test(Params(16, kOneIterationWork, kOneIterationPeriod));
    test.Run();
    done = true;
    operatorThread.join();
    TakeCancelRequest();
    EXPECT_FALSE(gMessages.empty()) << "the operator was asked";
    EXPECT_EQ(test.Statistics().ErrorBytes, 0) << "no value skipped or repeated";
    EXPECT_EQ(test.Statistics().BytesRead, 16 * kMegabyte);
    ExpectNothingLeft();
}

// Catches a file size of 0 that could never be stopped.
TEST_F(NetworkTestCycle, EmptyFileCanStillBeCancelled) {
    gAnswer = cmdYes;
    int polls = 0;
    gOnPoll = [&](tProgress&) { return ++polls == 50; };
    tNetworkTest test(Params(0, 0, 0));
    test.Run();
    EXPECT_EQ(polls, 50);
    ExpectNothingLeft();
}

// Catches a schedule that ignores the period or the working time.
TEST_F(NetworkTestCycle, WorkingTimeAndPeriodGiveTwoIterations) {
    tNetworkTest test(Params(1, 3, 2));
    test.Run();
    EXPECT_EQ(test.Statistics().BytesRead, 2 * 1'048'576) << "iterations at 0 s and 2 s only";
    ExpectNothingLeft();
}

// Catches a progress window that does not say which iteration runs or when the test ends
// (or ends "until the operator stops it" when the working time is 0).
TEST_F(NetworkTestCycle, WindowNamesTheIterationAndTheEnd) {
    const struct {
        std::int32_t WorkTime;
        std::string Expected; // UTF-8, the line above the phase in the second iteration
    } cases[] = {
        {600, "Итерация 2. Окончание в "},
        {0, "Итерация 2. До прерывания оператором"},
    };
    for (const auto& c : cases) {
        tNetworkTest test(Params(1, c.WorkTime, 1));
        std::string second;
        gOnPoll = [&](tProgress& progress) {
            std::string text = Cp866ToUtf8(progress.Text);
            std::size_t last = text.rfind('\r');
            std::size_t before = last == std::string::npos ? last : text.rfind('\r', last - 1);
            std::string line = before == std::string::npos
                                   ? std::string()
                                   : text.substr(before + 1, last - before - 1);
            if (!line.starts_with("Итерация 2"))
                return false;
            second = line;
            return true; // seen: the operator ends the test here
        };
        gAnswer = cmdYes;
        test.Run();
        EXPECT_TRUE(second.starts_with(c.Expected)) << "work time " << c.WorkTime << ": " << second;
        if (c.WorkTime > 0) {
            // The end: the start's time of day plus the working time.
            std::string end = Cp866ToUtf8(NextStartText(test.Statistics().StartStamp, c.WorkTime));
            EXPECT_EQ(second, c.Expected + end);
        }
        ExpectNothingLeft();
    }
}

// Catches an entry that differs from the protocol format in any byte.
TEST_F(NetworkTestCycle, ProtocolEntryByteForByte) {
    std::ofstream(m_Work.Path() / "protocol.doc", std::ios::binary) << "earlier\r\n";
    tNetworkTest test(Params(1, kOneIterationWork, kOneIterationPeriod));
    test.Run();
    std::string raw = ReadFileBytes(m_Work.Path() / "protocol.doc");
    ASSERT_EQ(raw.rfind("earlier\r\n", 0), 0u) << "earlier content is kept as it was";
    std::string entry = Cp866ToUtf8(raw.substr(9));
    std::string scratch =
        std::filesystem::canonical(Scratch().parent_path()).string() + "/TEST_NET.$$$";
    std::string rate = "\\d+\\.\\d +";
    std::regex shape("\r\n\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\r\n"
                     "Размер файла 1 Мб\r\n"
                     "Каталог " +
                     std::regex_replace(scratch, std::regex("[.$]"), "\\$&") +
                     "\r\n"
                     "Время работы 00:00:0\\d\r\n"
                     "Прочитано 1 Мб\\. Ошибок -  0 байт\\. \r\n"
                     "Скорость чтения мин\\., ср\\., макс\\. \\(Мб/с\\):\r\n" +
                     rate + " " + rate + " " + rate +
                     "\r\n"
                     "Скорость записи мин\\., ср\\., макс\\. \\(Мб/с\\):\r\n" +
                     rate + " " + rate + " " + rate + "\r\n");
    EXPECT_TRUE(std::regex_match(entry, shape)) << entry;
    std::string cp866 = raw.substr(9);
    EXPECT_NE(cp866.find("\x90\xa0\xa7\xac\xa5\xe0"), std::string::npos) << "written in CP866";
}

// Catches a scratch directory found there (another run's, or somebody else's) being removed,
// its other files with it, or not reused.
TEST_F(NetworkTestCycle, LeftoverScratchDirectoryIsReusedAndLeft) {
    std::filesystem::create_directory(Scratch());
    std::ofstream(Scratch() / "other.txt") << "keep me";
    tNetworkTest kept(Params(1, kOneIterationWork, kOneIterationPeriod));
    EXPECT_EQ(kept.Run(), tTestEnd::Clean);
    EXPECT_EQ(ReadFileBytes(Scratch() / "other.txt"), "keep me") << "other files stay";
    EXPECT_FALSE(std::filesystem::exists(TestFile())) << "the run's own file is gone";
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "Zarvo.lck")) << "so is its hold";

    std::filesystem::remove(Scratch() / "other.txt");
    tNetworkTest reused(Params(1, kOneIterationWork, kOneIterationPeriod));
    EXPECT_EQ(reused.Run(), tTestEnd::Clean);
    EXPECT_TRUE(std::filesystem::is_directory(Scratch())) << "the run did not make it";
    EXPECT_TRUE(std::filesystem::is_empty(Scratch()));
}

// Catches rates computed from the bytes of an unfinished read pass without their time.
TEST_F(NetworkTestCycle, CancelInTheReadPassLeavesPossibleRates) {
    int readPolls = 0;
    gOnPoll = [&](tProgress& progress) {
        return EndsWith(progress.Text, "Чтение"_oem) && ++readPolls == 300'000;
    };
    gAnswer = cmdYes;
    tNetworkTest test(Params(2, kOneIterationWork, kOneIterationPeriod));
    test.Run();
    EXPECT_GT(test.Statistics().BytesRead, 0);
    EXPECT_LT(test.Statistics().BytesRead, 2 * kMegabyte) << "cancelled in the middle";
    ExpectPossibleRates(Protocol());
    ExpectNothingLeft();
}

// Catches a second copy that truncates or deletes the test of a copy already running in the
// same server directory.
TEST_F(NetworkTestCycle, SecondCopyIsRefusedAndLeavesTheFirstAlone) {
    std::filesystem::create_directory(Scratch());
    std::ofstream(TestFile()) << "the first copy's data";
    tOsFile firstHold;
    ASSERT_TRUE(firstHold.OpenHeld((Scratch() / "Zarvo.lck").string()));
    tNetworkTest second(Params(1, kOneIterationWork, kOneIterationPeriod));
    second.Run();
    ASSERT_EQ(gMessages.size(), 1u);
    EXPECT_NE(gMessages[0].find("уже идёт тест другой копии программы"), std::string::npos)
        << gMessages[0];
    EXPECT_NE(gMessages[0].find("(код: 32) Файл занят другим процессом"), std::string::npos)
        << gMessages[0];
    EXPECT_EQ(ReadFileBytes(TestFile()), "the first copy's data");
    EXPECT_TRUE(std::filesystem::exists(Scratch() / "Zarvo.lck"));
    EXPECT_FALSE(std::filesystem::exists(m_Work.Path() / "protocol.doc"))
        << "a test that never started has no entry";
}

// Catches a server directory that vanished after the dialog ending the program silently.
TEST_F(NetworkTestCycle, MissingServerDirectoryIsShown) {
    tTestParams params = Params(1, 0, 0);
    params.Directory += "/gone";
    tNetworkTest test(params);
    test.Run();
    ASSERT_EQ(gMessages.size(), 1u);
    EXPECT_EQ(gMessages[0], "Не найден каталог " + Cp866ToUtf8(params.Directory));
    EXPECT_FALSE(std::filesystem::exists(m_Work.Path() / "protocol.doc"));
}
