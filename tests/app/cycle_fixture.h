// The fixture of the test-cycle tests: a working directory the test runs in, a server
// directory, and hooks that answer the operator's questions and cancel at exact points.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/network_cycle.h"
#include "diagnostics/pending_error.h"
#include "library/crc32.h"
#include "platform/cp866.h"
#include "support/temp_dir.h"
#include "views/commands.h"
#include "views/message_box_call.h"

namespace zarvo::testing {

inline std::function<bool(tProgress&)> gOnPoll;
inline std::vector<std::string> gMessages;
inline std::uint16_t gAnswer = cmdNo;

inline bool PollHook(tProgress& progress) {
    return gOnPoll ? gOnPoll(progress) : false;
}

inline std::uint16_t BoxHook(std::string_view text, std::uint16_t, void*) {
    gMessages.push_back(Cp866ToUtf8(text));
    return gAnswer;
}

inline bool EndsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The chain recomputed from the block bytes found in the file, independently of the test.
inline std::int64_t CountChainBreaks(const std::string& bytes,
                                     const std::array<std::uint8_t, 28>& prefix) {
    std::int64_t breaks = 0;
    std::uint32_t chain = 0;
    for (std::size_t offset = 0; offset + 4 <= bytes.size(); offset += 4) {
        std::uint8_t block[32];
        std::copy(prefix.begin(), prefix.end(), block);
        for (int i = 0; i < 4; ++i)
            block[28 + i] = std::uint8_t(chain >> (8 * i));
        std::uint32_t crc;
        CrcInit(crc);
        chain = CrcUpdate(block, 32, crc);
        std::uint32_t stored = 0;
        for (int i = 0; i < 4; ++i)
            stored |= std::uint32_t(std::uint8_t(bytes[offset + i])) << (8 * i);
        breaks += stored != chain;
    }
    return breaks;
}

// How many bytes of the chain's values differ from zero: the error count of a read-back that
// returns nothing but zeros.
inline std::int64_t CountNonZeroChainBytes(std::int64_t values,
                                           const std::array<std::uint8_t, 32>& block) {
    std::int64_t bytes = 0;
    std::uint32_t chain = 0;
    for (std::int64_t k = 0; k < values; ++k) {
        std::uint8_t data[32];
        std::copy(block.begin(), block.begin() + 28, data);
        for (int i = 0; i < 4; ++i)
            data[28 + i] = std::uint8_t(chain >> (8 * i));
        std::uint32_t crc;
        CrcInit(crc);
        chain = CrcUpdate(data, 32, crc);
        for (int i = 0; i < 4; ++i)
            bytes += ((chain >> (8 * i)) & 0xFF) != 0;
    }
    return bytes;
}

// Checks every rate line of the last protocol entry: minimum <= mean <= maximum, nothing
// negative or impossible to print.
inline void ExpectPossibleRates(const std::string& protocol) {
    std::size_t entry = protocol.rfind("\r\n\r\n");
    entry = entry == std::string::npos ? 0 : entry;
    std::size_t at = entry;
    int lines = 0;
    while ((at = protocol.find("(Мб/с):\r\n", at)) != std::string::npos) {
        at += std::string_view("(Мб/с):\r\n").size();
        double minimum = -1, mean = -1, maximum = -1;
        ASSERT_EQ(std::sscanf(protocol.c_str() + at, "%lf %lf %lf", &minimum, &mean, &maximum), 3)
            << protocol.substr(at, 50);
        EXPECT_GE(minimum, 0);
        EXPECT_LE(minimum, mean) << "the mean is never below the minimum: "
                                 << protocol.substr(at, 50);
        EXPECT_LE(mean, maximum) << "the mean is never above the maximum: "
                                 << protocol.substr(at, 50);
        ++lines;
    }
    EXPECT_EQ(lines, 2) << "a read and a write rate line: " << protocol.substr(entry);
}

class tCycleFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        m_OldCwd = std::filesystem::current_path();
        std::filesystem::current_path(m_Work.Path());
        gOnPoll = nullptr;
        gMessages.clear();
        gAnswer = cmdNo;
        gProgressCancelHook = PollHook;
        MessageBoxHook = BoxHook;
        ClearError();
    }
    void TearDown() override {
        gProgressCancelHook = nullptr;
        MessageBoxHook = nullptr;
        gOnPoll = nullptr;
        ClearError();
        std::filesystem::current_path(m_OldCwd);
    }

    tTestParams Params(std::int32_t megabytes, std::int32_t workTime, std::int32_t period) {
        tTestParams params;
        params.Directory = Utf8ToCp866(m_Server.Str());
        params.FileSize = megabytes;
        params.WorkTime = workTime;
        params.Period = period;
        return params;
    }
    std::filesystem::path Scratch() const { return m_Server.Path() / "TEST_NET.$$$"; }
    std::filesystem::path TestFile() const { return Scratch() / "test.tmp"; }
    std::string Protocol() const {
        return Cp866ToUtf8(ReadFileBytes(m_Work.Path() / "protocol.doc"));
    }
    void ExpectNothingLeft() const {
        EXPECT_FALSE(std::filesystem::exists(Scratch())) << "the scratch directory must be removed";
    }

    tTempDir m_Work;
    tTempDir m_Server;
    std::filesystem::path m_OldCwd;
};

// One iteration only: the period pushes the next start past the working time.
inline constexpr std::int32_t kOneIterationWork = 600;
inline constexpr std::int32_t kOneIterationPeriod = 3600;

} // namespace zarvo::testing
