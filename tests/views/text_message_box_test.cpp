// The text-mode message box: its size and place from the text and the buttons, the title by
// kind, the button row, the answers from keys and the mouse, and the box that cannot be made.
#include "views/text_message_box.h"

#include <gtest/gtest.h>

#include <memory>

#include "console/key_codes.h"
#include "tests/views/dialog_test_support.h"
#include "views/message_box_call.h"

namespace zarvo {
namespace {

using namespace testing_dialogs;

class TextMessageBoxTest : public tDialogScreen {
  protected:
    // Runs the box with SCRIPT; SHOT gets the cells of AREA as the box first waits for input.
    std::uint16_t Run(std::string_view text, std::uint16_t flags, std::deque<TEventRec> script,
                      std::vector<std::string>* shot = nullptr, tRect area = tRect{}) {
        bool taken = false;
        Root->OnFetch = [&] {
            if (shot != nullptr && !taken)
                *shot = Block(area.Left, area.Top, area.Right - area.Left, area.Bottom - area.Top);
            taken = true;
        };
        Root->Script = std::move(script);
        std::uint16_t result = TextModeMessageBox(text, flags, nullptr);
        Root->OnFetch = nullptr;
        Root->Script.clear();
        Root->Posted.clear();
        return result;
    }
};

constexpr std::string_view kShort = "Текст сообщения"_oem;
constexpr std::string_view kLong = "Очень длинный текст, который не помещается в одну строку "
                                   "шириной шестьдесят колонок и потому переносится"_oem;

// Catches a wrong size rule (text width, 15 per button, the 6-cell margins), a box not
// centred on the desktop, a wrong or unguarded title, buttons out of order, apart by other
// than 2 cells or off the row 3 above the bottom, and text not wrapped at 60 or not centred
// after character 3.
TEST_F(TextMessageBoxTest, LayoutPerFlags) {
    struct tCase {
        const char* Name;
        std::string_view Text;
        std::uint16_t Flags;
        int Left, Top;
        std::vector<std::string> Box;
    } cases[] = {
        {"kind 0 is a warning; Да and Нет 2 apart, centred",
         kShort,
         0x0300,
         22,
         9,
         {
             "╔═[■]════════ Внимание ════════════╗",
             "║                                  ║",
             "║  Текст сообщения                 ║",
             "║                                  ║",
             "║        Да     ▄       Нет     ▄  ║",
             "║    ▀▀▀▀▀▀▀▀▀▀▀▀    ▀▀▀▀▀▀▀▀▀▀▀▀  ║",
             "╚══════════════════════════════════╝",
         }},
        {"error with Продолжить: 15 columns for one button",
         kShort,
         0x0402,
         29,
         9,
         {
             "╔═[■]═ Ошибка ══════╗",
             "║                   ║",
             "║  Текст сообщения  ║",
             "║                   ║",
             "║    Продолжить ▄   ║",
             "║    ▀▀▀▀▀▀▀▀▀▀▀▀   ║",
             "╚═══════════════════╝",
         }},
        {"all four buttons in table order",
         kShort,
         0x0F00,
         7,
         9,
         {
             "╔═[■]═══════════════════════ Внимание ═══════════════════════════╗",
             "║                                                                ║",
             "║  Текст сообщения                                               ║",
             "║                                                                ║",
             "║       Да     ▄       Нет     ▄    Продолжить ▄      Отказ    ▄ ║",
             "║   ▀▀▀▀▀▀▀▀▀▀▀▀    ▀▀▀▀▀▀▀▀▀▀▀▀    ▀▀▀▀▀▀▀▀▀▀▀▀    ▀▀▀▀▀▀▀▀▀▀▀▀ ║",
             "╚════════════════════════════════════════════════════════════════╝",
         }},
        {"error without buttons",
         kShort,
         0x0002,
         29,
         9,
         {
             "╔═[■]═ Ошибка ══════╗",
             "║                   ║",
             "║  Текст сообщения  ║",
             "║                   ║",
             "║                   ║",
             "║                   ║",
             "╚═══════════════════╝",
         }},
        {"a kind past the table has no title",
         kShort,
         0x0005,
         29,
         9,
         {
             "╔═[■]═══════════════╗",
             "║                   ║",
             "║  Текст сообщения  ║",
             "║                   ║",
             "║                   ║",
             "║                   ║",
             "╚═══════════════════╝",
         }},
        {"20 characters and one button: 26 x 7",
         "Двадцать символов..."_oem,
         0x0401,
         27,
         9,
         {
             "╔═[■]═══ Внимание ═══════╗",
             "║                        ║",
             "║  Двадцать символов...  ║",
             "║                        ║",
             "║       Продолжить ▄     ║",
             "║       ▀▀▀▀▀▀▀▀▀▀▀▀     ║",
             "╚════════════════════════╝",
         }},
        {"three buttons: 15 x 3 + 6 columns",
         "Коротко"_oem,
         0x0700,
         14,
         9,
         {
             "╔═[■]═══════════════ Внимание ════════════════════╗",
             "║                                                 ║",
             "║  Коротко                                        ║",
             "║                                                 ║",
             "║       Да     ▄       Нет     ▄    Продолжить ▄  ║",
             "║   ▀▀▀▀▀▀▀▀▀▀▀▀    ▀▀▀▀▀▀▀▀▀▀▀▀    ▀▀▀▀▀▀▀▀▀▀▀▀  ║",
             "╚═════════════════════════════════════════════════╝",
         }},
        {"a line after character 3 is centred",
         "\x03Центр\rслева длинная строка"_oem,
         0x0403,
         27,
         8,
         {
             "╔═[■]══ Информация ══════╗",
             "║                        ║",
             "║         Центр          ║",
             "║  слева длинная строка  ║",
             "║                        ║",
             "║       Продолжить ▄     ║",
             "║       ▀▀▀▀▀▀▀▀▀▀▀▀     ║",
             "╚════════════════════════╝",
         }},
        {"wrapped at 60 columns, two lines high",
         kLong,
         0x0304,
         9,
         8,
         {
             "╔═[■]══════════════════ Подтверждение ═══════════════════════╗",
             "║                                                            ║",
             "║  Очень длинный текст, который не помещается в одну строку  ║",
             "║  шириной шестьдесят колонок и потому переносится           ║",
             "║                                                            ║",
             "║                     Да     ▄       Нет     ▄               ║",
             "║                 ▀▀▀▀▀▀▀▀▀▀▀▀    ▀▀▀▀▀▀▀▀▀▀▀▀               ║",
             "╚════════════════════════════════════════════════════════════╝",
         }},
    };
    for (const tCase& c : cases) {
        int width = 0;
        for (unsigned char ch : c.Box.front())
            width += (ch & 0xC0) != 0x80 ? 1 : 0;
        std::vector<std::string> shot;
        tRect area = MakeRect(c.Left, c.Top, c.Left + width, c.Top + int(c.Box.size()));
        EXPECT_EQ(Run(c.Text, c.Flags, {Key(kKeyEsc)}, &shot, area), cmdCancel) << c.Name;
        EXPECT_EQ(shot, c.Box) << c.Name;
    }
}

// Catches a button posting another command than its own, a wrong first focus, hot letters
// (and the Latin y and n) not reaching the buttons, or Esc not ending a box whatever its
// buttons.
TEST_F(TextMessageBoxTest, Answers) {
    // "Да" of a 0x0300 box is at columns 25-38 of row 13; "Продолжить" of 0x0F00 at 42-55.
    struct tCase {
        const char* Name;
        std::uint16_t Flags;
        std::deque<TEventRec> Script;
        std::uint16_t Result;
    } cases[] = {
        {"Enter presses the last button, focused first", 0x0300, {Key(kKeyEnter)}, cmdNo},
        {"Space likewise", 0x0300, {Key(kKeySpace)}, cmdNo},
        {"Tab moves to the first", 0x0300, {Key(kKeyTab), Key(kKeySpace)}, cmdYes},
        {"hot letter Д", 0x0300, {Key(0x84)}, cmdYes},
        {"hot letter н", 0x0300, {Key(0xAD)}, cmdNo},
        {"Latin y for Да", 0x0300, {Key('y')}, cmdYes},
        {"Latin N for Нет", 0x0300, {Key('N')}, cmdNo},
        {"y without Да answers nothing", 0x0400, {Key('y'), Key(kKeyEsc)}, cmdCancel},
        {"click on Да", 0x0300, {Mouse(evtMouseDown, 27, 13), Mouse(evtMouseUp, 27, 13)}, cmdYes},
        {"Отказ last of four", 0x0F00, {Key(kKeyEnter)}, cmdCancel},
        {"Продолжить answers cmdOk",
         0x0F00,
         {Mouse(evtMouseDown, 44, 13), Mouse(evtMouseUp, 44, 13)},
         cmdOk},
        {"one button", 0x0400, {Key(kKeyEnter)}, cmdOk},
        {"Esc without Отказ", 0x0300, {Key(kKeyEsc)}, cmdCancel},
        {"no button: only Esc ends it",
         0x0002,
         {Key(kKeyEnter), Key(kKeySpace), Key(kKeyEsc)},
         cmdCancel},
    };
    for (tCase& c : cases)
        EXPECT_EQ(Run("x", c.Flags, c.Script), c.Result) << c.Name;
}

// Catches the call not reaching the box through the hook, or the box left on the screen's
// root after it ended.
TEST_F(TextMessageBoxTest, ThroughTheHook) {
    tMessageBoxHook saved = MessageBoxHook;
    MessageBoxHook = TextModeMessageBox;
    Root->Script = {Mouse(evtMouseDown, 27, 13), Mouse(evtMouseUp, 27, 13)};
    EXPECT_EQ(MessageBoxCall("x", 0x0300), cmdYes) << "the first button of a Да/Нет box";
    MessageBoxHook = saved;
    EXPECT_EQ(Root->FirstView(), nullptr) << "the box leaves the root when it ends";
}

// Catches a box centred on the root instead of the desktop it is given, or run elsewhere
// than in the runner.
TEST_F(TextMessageBoxTest, CentredOnTheGivenDesktop) {
    tView desktop(MakeRect(0, 1, 40, 12));
    gMessageBoxDesktop = &desktop;
    gMessageBoxRunner = Root;
    std::vector<std::string> shot;
    // 36 x 7 on a 40 x 11 desktop: at (2, 2) of the runner.
    EXPECT_EQ(Run(kShort, 0x0300, {Key(kKeyEsc)}, &shot, MakeRect(2, 2, 4, 3)), cmdCancel);
    gMessageBoxDesktop = nullptr;
    gMessageBoxRunner = nullptr;
    EXPECT_EQ(shot, std::vector<std::string>{"╔═"}) << "the top left corner at (2, 2)";
}

// Catches a box run while an error is pending, the text lost instead of joining an error,
// the error's class or code lost on the way, or the text joined for kinds other than errors.
TEST_F(TextMessageBoxTest, NoBoxWhileAnErrorIsPending) {
    struct tCase {
        std::uint16_t Flags;
        std::string Expected;
    } cases[] = {
        {0x0402, std::string("Сбой"_oem) + "\r\x03--- * ---\r\r" + std::string("Причина"_oem)},
        {0x0300, std::string("Причина"_oem)},
    };
    for (const tCase& c : cases) {
        PostError(std::make_unique<ESStreamException>(7, 9, std::string("Причина"_oem)));
        Root->Script = {Key(kKeyEnter)};
        EXPECT_EQ(TextModeMessageBox("Сбой"_oem, c.Flags, nullptr), cmdCancel) << c.Flags;
        EXPECT_EQ(Root->Script.size(), 1u) << c.Flags << ": no box ran";
        ASSERT_TRUE(IsErrorPending()) << c.Flags;
        auto* error = dynamic_cast<ESStreamException*>(PendingError());
        ASSERT_NE(error, nullptr) << c.Flags << ": the error keeps its class";
        EXPECT_EQ(error->Code, 7);
        EXPECT_EQ(error->Detail, 9);
        EXPECT_EQ(error->Message(), c.Expected) << c.Flags;
        ClearError();
        Root->Script.clear();
    }
}

} // namespace
} // namespace zarvo
