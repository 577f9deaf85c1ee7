// The message-box call: the hook, the desktop fallback's icons, buttons and answers, and the
// terminal form of the desktop box.
#include "views/message_box_call.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "platform/cp866.h"
#include "views/commands.h"
#include "views/desktop_message_box.h"

using namespace zarvo;

namespace {

struct tShown {
    std::string Text;
    tDesktopIcon Icon;
    tDesktopButtons Buttons;
};
std::vector<tShown> gShown;
tDesktopAnswer gDesktopAnswer = tDesktopAnswer::Ok;

tDesktopAnswer FakeDesktop(std::string_view text, std::string_view, tDesktopIcon icon,
                           tDesktopButtons buttons) {
    gShown.push_back({std::string(text), icon, buttons});
    return gDesktopAnswer;
}

class MessageBox : public ::testing::Test {
  protected:
    void SetUp() override {
        gShown.clear();
        gDesktopMessageBoxForm = FakeDesktop;
    }
    void TearDown() override {
        gDesktopMessageBoxForm = nullptr;
        MessageBoxHook = nullptr;
    }
};

} // namespace

struct tFallbackCase {
    std::uint16_t Flags;
    tDesktopIcon Icon;
    tDesktopButtons Buttons;
};

// Catches flags mapped to the wrong icon or buttons when no application exists.
TEST_F(MessageBox, FallbackIconsAndButtons) {
    const tFallbackCase cases[] = {
        {0x0402, tDesktopIcon::Error, tDesktopButtons::Ok},
        {0x0401, tDesktopIcon::Warning, tDesktopButtons::Ok},
        {0x0403, tDesktopIcon::Information, tDesktopButtons::Ok},
        {0x0304, tDesktopIcon::Error, tDesktopButtons::YesNo},
        {0x0300, tDesktopIcon::None, tDesktopButtons::YesNo},
        {0x0B00, tDesktopIcon::None, tDesktopButtons::YesNoCancel},
        {0x0C00, tDesktopIcon::None, tDesktopButtons::OkCancel},
        {0x0002, tDesktopIcon::Error, tDesktopButtons::Ok},
    };
    for (const auto& c : cases) {
        gShown.clear();
        MessageBoxCall("x", c.Flags);
        ASSERT_EQ(gShown.size(), 1u);
        EXPECT_EQ(gShown[0].Icon, c.Icon) << std::hex << c.Flags;
        EXPECT_EQ(gShown[0].Buttons, c.Buttons) << std::hex << c.Flags;
    }
}

// Catches answers mapped to the wrong commands, and centring marks shown in the box.
TEST_F(MessageBox, FallbackAnswersAndText) {
    const std::pair<tDesktopAnswer, std::uint16_t> answers[] = {
        {tDesktopAnswer::Ok, cmdOk},   {tDesktopAnswer::Cancel, cmdCancel},
        {tDesktopAnswer::Yes, cmdYes}, {tDesktopAnswer::No, cmdNo},
        {tDesktopAnswer::None, 0},
    };
    for (auto [answer, command] : answers) {
        gDesktopAnswer = answer;
        EXPECT_EQ(MessageBoxCall("\x03title\rtext", 0x0402), command);
    }
    EXPECT_EQ(gShown.back().Text, "title\rtext");
}

std::uint16_t HookAnswer(std::string_view text, std::uint16_t flags, void*) {
    return text == "q" && flags == 0x0300 ? cmdYes : cmdNo;
}

// Catches the fallback being used while the application's box is installed.
TEST_F(MessageBox, HookTakesPrecedence) {
    MessageBoxHook = HookAnswer;
    EXPECT_EQ(MessageBoxCall("q", 0x0300), cmdYes);
    EXPECT_TRUE(gShown.empty());
}

// Catches formatting skipped, or the empty-format join done with the wrong separator.
TEST_F(MessageBox, FormattedTexts) {
    MessageBoxFmt("На диске свободно %d Мб, требуется %d Мб"_oem, {5, 101}, 0x0402);
    EXPECT_EQ(gShown.back().Text, std::string("На диске свободно 5 Мб, требуется 101 Мб"_oem));
    MessageBoxFmt("", {"one", 2, "two"}, 0x0400);
    EXPECT_EQ(gShown.back().Text, "one\r\ntwo");
}

struct tTerminalCase {
    const char* Typed;
    tDesktopButtons Buttons;
    tDesktopAnswer Expected;
};

// Catches Russian and Latin answers misread, and a closed input that hangs or says yes.
TEST(TerminalMessageBox, ReadsAnswersFromItsInput) {
    const tTerminalCase cases[] = {
        {"д\n", tDesktopButtons::YesNo, tDesktopAnswer::Yes},
        {"Нет\n", tDesktopButtons::YesNo, tDesktopAnswer::No},
        {"y\n", tDesktopButtons::YesNo, tDesktopAnswer::Yes},
        {"what\nn\n", tDesktopButtons::YesNo, tDesktopAnswer::No},
        {"", tDesktopButtons::YesNo, tDesktopAnswer::No},
        {"о\n", tDesktopButtons::YesNoCancel, tDesktopAnswer::Cancel},
        {"", tDesktopButtons::Ok, tDesktopAnswer::Ok},
    };
    for (const auto& c : cases) {
        int input[2], output[2];
        ASSERT_EQ(pipe(input), 0);
        ASSERT_EQ(pipe(output), 0);
        ASSERT_EQ(write(input[1], c.Typed, strlen(c.Typed)), ssize_t(strlen(c.Typed)));
        close(input[1]);
        // A pipe is no terminal: pretend it is by answering through the input directly.
        tDesktopAnswer answer = TerminalMessageBox("Вопрос"_oem, {}, tDesktopIcon::None, c.Buttons,
                                                   input[0], output[1], true);
        close(input[0]);
        close(output[1]);
        char shown[512] = {};
        ssize_t got = read(output[0], shown, sizeof shown - 1);
        close(output[0]);
        EXPECT_EQ(answer, c.Expected) << c.Typed;
        EXPECT_NE(std::string(shown, got > 0 ? got : 0).find("Вопрос"), std::string::npos);
    }
}
