// The parameters as asked on the terminal: parsing, defaults, refusals and giving up.
#include "app/parameters.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/cp866.h"
#include "support/temp_dir.h"
#include "views/message_box_call.h"

using namespace zarvo;

struct tParseCase {
    const char* Text;
    std::int32_t Expected;
};

// Catches sizes past the 16-bit field and text that is not a number.
TEST(TestParams, FileSize) {
    const tParseCase cases[] = {{"0", 0},    {"100", 100}, {"65535", 65535}, {"65536", -1},
                                {"1e3", -1}, {"", -1},     {"-1", -1},       {"000007", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseFileSize(c.Text), c.Expected) << c.Text;
}

// Catches times of 24:00:00 or later, and malformed times taken as zero.
TEST(TestParams, TimeOfDay) {
    const tParseCase cases[] = {{"00:00:00", 0}, {"01:30:00", 5400},  {"23:59:59", 86399},
                                {"1:2:3", 3723}, {"24:00:00", -1},    {"12:60:00", -1},
                                {"12:00", -1},   {"12:00:00:00", -1}, {"aa:bb:cc", -1},
                                {"", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseTimeOfDay(c.Text), c.Expected) << c.Text;
}

namespace {

std::vector<std::string> gRefusals;
std::uint16_t Record(std::string_view text, std::uint16_t, void*) {
    gRefusals.push_back(Cp866ToUtf8(text));
    return 10;
}

// Runs GetTestParams with `typed` as the terminal's input.
bool AskWith(const std::string& typed, std::string& directory, std::int32_t& size,
             std::int32_t& work, std::int32_t& period) {
    int input[2];
    EXPECT_EQ(pipe(input), 0);
    EXPECT_EQ(write(input[1], typed.data(), typed.size()), ssize_t(typed.size()));
    close(input[1]);
    int savedInput = dup(STDIN_FILENO);
    int savedOutput = dup(STDOUT_FILENO);
    int quiet[2];
    EXPECT_EQ(pipe(quiet), 0);
    dup2(input[0], STDIN_FILENO);
    dup2(quiet[1], STDOUT_FILENO);
    bool accepted = GetTestParams(directory, size, work, period);
    dup2(savedInput, STDIN_FILENO);
    dup2(savedOutput, STDOUT_FILENO);
    for (int fd : {input[0], quiet[0], quiet[1], savedInput, savedOutput})
        close(fd);
    return accepted;
}

} // namespace

// Catches defaults not taken, refusals that do not ask again, and end of input not giving up.
TEST(TestParams, AskedOnTheTerminal) {
    zarvo::testing::tTempDir server;
    MessageBoxHook = Record;
    std::string directory;
    std::int32_t size = -1, work = -1, period = -1;

    EXPECT_TRUE(AskWith("  " + server.Str() + " \n\n\n\n", directory, size, work, period));
    EXPECT_EQ(directory, server.Str()) << "trimmed";
    EXPECT_EQ(size, 100);
    EXPECT_EQ(work, 0);
    EXPECT_EQ(period, 3600);
    EXPECT_TRUE(gRefusals.empty());

    std::string typed = "\n\n\n\n"             // no directory
                        "/no/such/dir\n\n\n\n" // missing directory
                        + server.Str() + "\n70000\n5\n1:30:00\n25:00:00\n00:00:10\n";
    EXPECT_TRUE(AskWith(typed, directory, size, work, period));
    EXPECT_EQ(size, 5);
    EXPECT_EQ(work, 5400);
    EXPECT_EQ(period, 10);
    ASSERT_EQ(gRefusals.size(), 4u);
    EXPECT_EQ(gRefusals[0], "Не указан каталог на сервере");
    EXPECT_EQ(gRefusals[1], "Не найден каталог /no/such/dir");

    EXPECT_FALSE(AskWith(server.Str() + "\n", directory, size, work, period))
        << "end of input is giving up";
    MessageBoxHook = nullptr;
}
