// The parameters: parsing, and the dialog's defaults, refusals and giving up.
#include "app/parameters.h"

#include <gtest/gtest.h>

#include "platform/cp866.h"
#include "support/temp_dir.h"
#include "tests/app/app_screen.h"
#include "views/commands.h"
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
    return cmdOk;
}

class ParametersDialog : public zarvo::testing::tAppScreen {
  protected:
    void SetUp() override {
        tAppScreen::SetUp();
        gRefusals.clear();
        MessageBoxHook = Record;
    }
};

struct tDialogCase {
    const char* Typed; // "DIR" stands for the server directory
    bool Accepted;
    std::int32_t Size, Work, Period;
    const char* Refusal; // the one refusal shown, or null
};

} // namespace

// Catches defaults not taken, values not parsed, refusals that do not bring the dialog back,
// and a cancel that does not give up.
TEST_F(ParametersDialog, AcceptsRefusesAndGivesUp) {
    zarvo::testing::tTempDir server;
    const tDialogCase cases[] = {
        {"  DIR \r", true, 100, 0, 3600, nullptr},
        {"DIR\t5\t1:30:00\t00:00:10\r", true, 5, 5400, 10, nullptr},
        {"\r\x1b", false, 0, 0, 0, "Не указан каталог на сервере"},
        {"/no/such/dir\r\x1b", false, 0, 0, 0, "Не найден каталог /no/such/dir"},
        {"DIR\t70000\r\x1b", false, 0, 0, 0, "Размер файла - число от 0 до 65535"},
        {"DIR\t\t\t24:00:00\r\x1b", false, 0, 0, 0,
         "Время указывается как чч:мм:сс, от 00:00:00 до 23:59:59"},
        {"DIR\x1b", false, 0, 0, 0, nullptr},
    };
    for (const tDialogCase& c : cases) {
        gRefusals.clear();
        std::string typed = c.Typed;
        if (std::size_t at = typed.find("DIR"); at != std::string::npos)
            typed.replace(at, 3, server.Str());
        Type(typed);
        std::string directory;
        std::int32_t size = -1, work = -1, period = -1;
        EXPECT_EQ(GetTestParams(directory, size, work, period), c.Accepted) << c.Typed;
        EXPECT_TRUE(Script.empty()) << c.Typed << ": keys left over";
        Script.clear();
        if (c.Accepted) {
            EXPECT_EQ(directory, server.Str()) << "expected it trimmed";
            EXPECT_EQ(size, c.Size) << c.Typed;
            EXPECT_EQ(work, c.Work) << c.Typed;
            EXPECT_EQ(period, c.Period) << c.Typed;
        }
        if (c.Refusal == nullptr) {
            EXPECT_TRUE(gRefusals.empty()) << c.Typed << ": " << gRefusals.front();
        } else {
            ASSERT_EQ(gRefusals.size(), 1u) << c.Typed;
            EXPECT_EQ(gRefusals[0], c.Refusal);
        }
    }
}
