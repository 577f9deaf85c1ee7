// The parameters: parsing, and the dialog's defaults, refusals and giving up.
#include "app/parameters.h"

#include <gtest/gtest.h>

#include "app/directory_sense.h"
#include "library/paths.h"
#include "platform/cp866.h"
#include "record_inputs/field_controls.h"
#include "support/temp_dir.h"
#include "tests/app/app_screen.h"
#include "views/application.h"
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
std::uint16_t gAnswer = cmdOk;
std::uint16_t Record(std::string_view text, std::uint16_t, void*) {
    gRefusals.push_back(Cp866ToUtf8(text));
    return gAnswer;
}

class ParametersDialog : public zarvo::testing::tAppScreen {
  protected:
    void SetUp() override {
        gRefusals.clear();
        MessageBoxHook = Record;
        DirectoryCompanionMaker = MakeDirectorySense;
    }
    void TearDown() override { DirectoryCompanionMaker = nullptr; }
};

struct tDialogCase {
    const char* Typed; // "DIR" stands for the server directory; times fill their masks
    std::uint16_t Answer;
    bool Accepted;
    std::int32_t Size, Work, Period;
    const char* Refusal; // the one message shown, or null
};

} // namespace

// Catches defaults not taken, values not parsed, a missing directory neither offered nor
// made, refusals that do not bring the dialog back, and a cancel that does not give up.
TEST_F(ParametersDialog, AcceptsRefusesAndGivesUp) {
    zarvo::testing::tTempDir server;
    const tDialogCase cases[] = {
        {"  DIR \r", cmdOk, true, 100, 0, 3600, nullptr},
        {"DIR\t5\t013000\t000010\r", cmdOk, true, 5, 5400, 10, nullptr},
        {"\r\x1b", cmdOk, false, 0, 0, 0, "Не указан каталог на сервере"},
        {"DIR/new/deep\r\x1b", cmdNo, false, 0, 0, 0,
         "Каталог DIR/new/deep не существует. Создать?"},
        {"DIR/new/deep\r", cmdYes, true, 100, 0, 3600,
         "Каталог DIR/new/deep не существует. Создать?"},
        {"DIR\t70000\r\x1b", cmdOk, false, 0, 0, 0,
         "Число должно быть не менее 0 и не более 65535."},
        {"DIR\t\t240000\r\x1b", cmdOk, false, 0, 0, 0, "TIME"},
        {"DIR\x1b", cmdOk, false, 0, 0, 0, nullptr},
    };
    auto withServer = [&](std::string text) {
        for (std::size_t at; (at = text.find("DIR")) != std::string::npos;)
            text.replace(at, 3, server.Str());
        return text;
    };
    for (const tDialogCase& c : cases) {
        gRefusals.clear();
        gAnswer = c.Answer;
        Type(withServer(c.Typed));
        std::string directory;
        std::int32_t size = -1, work = -1, period = -1;
        EXPECT_EQ(GetTestParams(directory, size, work, period), c.Accepted) << c.Typed;
        EXPECT_TRUE(Script.empty()) << c.Typed << ": keys left over";
        Script.clear();
        if (c.Accepted) {
            std::string typed = withServer(c.Typed);
            EXPECT_EQ(directory, TrimmedDirectory(typed.substr(0, typed.find_first_of("\t\r"))));
            EXPECT_TRUE(DirectoryExists(directory)) << directory;
            EXPECT_EQ(size, c.Size) << c.Typed;
            EXPECT_EQ(work, c.Work) << c.Typed;
            EXPECT_EQ(period, c.Period) << c.Typed;
        }
        if (c.Refusal == nullptr) {
            EXPECT_TRUE(gRefusals.empty()) << c.Typed << ": " << gRefusals.front();
        } else {
            ASSERT_EQ(gRefusals.size(), 1u) << c.Typed;
            if (std::string(c.Refusal) != "TIME")
                EXPECT_EQ(gRefusals[0], withServer(c.Refusal));
            else
                EXPECT_NE(gRefusals[0].find("23:59:59"), std::string::npos) << gRefusals[0];
        }
    }
}

// Catches a close request in the parameter stage that checks the fields first (asking to
// make a typed directory that does not exist, and making it on "Да"), or that ends only the
// box shown so that the dialog comes back for a second close.
TEST_F(ParametersDialog, CloseRequestGivesUpAtOnce) {
    zarvo::testing::tTempDir server;
    const std::string missing = server.Str() + "/new";
    struct tCase {
        const char* Name;
        std::string Typed;
        bool CloseInBox; // the close comes while the refusal's box is open
    };
    const tCase cases[] = {
        {"a typed directory not yet checked", missing, false},
        {"a refusal's box open", "\r", true},
    };
    static bool closeInBox = false;
    static int fetchesAfterClose = -1;
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.Name);
        gRefusals.clear();
        gAnswer = cmdYes;
        closeInBox = c.CloseInBox;
        fetchesAfterClose = -1;
        Type(c.Typed);
        // The real box would end at the close with cmdCancel, as every modal view does.
        MessageBoxHook = [](std::string_view text, std::uint16_t flags, void* reserved) {
            Record(text, flags, reserved);
            if (!closeInBox)
                return gAnswer;
            closeInBox = false;
            TConsoleMsg close{WM_CLOSE, 0, 0, 0};
            gApplication->OnConsoleMessage(close);
            fetchesAfterClose = 0;
            return std::uint16_t(cmdCancel);
        };
        OnFetch = [this] {
            if (fetchesAfterClose >= 0)
                ++fetchesAfterClose;
            if (Script.empty() && !closeInBox && fetchesAfterClose < 0) {
                Screen.Feed({WM_CLOSE, 0, 0, 0});
                fetchesAfterClose = 0;
            }
        };
        std::string directory;
        std::int32_t size = -1, work = -1, period = -1;
        EXPECT_FALSE(GetTestParams(directory, size, work, period));
        EXPECT_EQ(fetchesAfterClose, 0) << "expected the dialog not to come back";
        EXPECT_FALSE(DirectoryExists(missing)) << "expected nothing made";
        if (c.CloseInBox) {
            EXPECT_EQ(gRefusals.size(), 1u);
        } else {
            EXPECT_TRUE(gRefusals.empty()) << "expected no question: " << gRefusals.front();
        }
        OnFetch = nullptr;
        Script.clear();
        MessageBoxHook = Record;
    }
}

// Catches a dialog that is not laid out as the record's rules make it: captions in column 1,
// inputs from column 34, the chooser in 69 to 71, the buttons from column 35 on rows 7 and 8
// of a 74 x 10 dialog, and the defaults shown.
TEST_F(ParametersDialog, FirstShownLayout) {
    std::vector<std::string> shown;
    OnFetch = [&] {
        if (shown.empty())
            shown = Screen.Lines();
    };
    Type("\x1b");
    std::string directory;
    std::int32_t size, work, period;
    EXPECT_FALSE(GetTestParams(directory, size, work, period));
    ASSERT_EQ(shown.size(), 25u);
    // The dialog is centred on the desktop (rows 1 to 23): 74 x 10 at (3, 7); a caption's text
    // follows one blank in its label, an input's its left margin.
    auto cells = [&](int y, int x, int n) {
        std::string out;
        std::size_t at = 0;
        for (int col = 0; col < x + n; ++col) {
            std::size_t len = 1;
            while (at + len < shown[std::size_t(y)].size() &&
                   (std::uint8_t(shown[std::size_t(y)][at + len]) & 0xC0) == 0x80)
                ++len;
            if (col >= x)
                out += shown[std::size_t(y)].substr(at, len);
            at += len;
        }
        return out;
    };
    EXPECT_NE(cells(7, 3, 74).find("Параметры работы"), std::string::npos) << cells(7, 3, 74);
    EXPECT_EQ(cells(9, 5, 18), "Каталог на сервере");
    EXPECT_EQ(cells(10, 5, 16), "Размер файла, Мб");
    EXPECT_EQ(cells(10, 38, 3), "100");
    EXPECT_EQ(cells(11, 5, 30), "Время раб. (0-до прер. польз.)");
    EXPECT_EQ(cells(11, 38, 8), "00:00:00");
    EXPECT_EQ(cells(12, 5, 23), "Период между итерациями");
    EXPECT_EQ(cells(12, 38, 8), "01:00:00");
    std::string buttons = cells(14, 38, 32);
    EXPECT_EQ(buttons.find("Принять"), buttons.find_first_not_of(' ')) << buttons;
    EXPECT_NE(buttons.find("Отказ"), std::string::npos) << buttons;
    EXPECT_NE(buttons.find("Помощь"), std::string::npos) << buttons;
}
