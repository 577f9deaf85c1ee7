// Dialogs: their defaults, the palette of each colour scheme, Esc and Enter turned into
// cancel and default, the answer commands that end only a modal dialog, and whole modal runs
// ended from the keyboard.
#include "views/dialog.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "tests/views/dialog_test_support.h"
#include "views/button.h"

namespace zarvo {
namespace {

using namespace testing_dialogs;

class DialogTest : public tDialogScreen {};

// Catches a dialog made with window defaults (blue, growing, zoomable) instead of its own.
TEST_F(DialogTest, Defaults) {
    tDialog dialog(MakeRect(1, 2, 31, 12), "Д"_oem);
    EXPECT_EQ(dialog.GrowFlags, 0);
    EXPECT_EQ(dialog.WindowFlags, WindowFlag::CanMove | WindowFlag::CanClose);
    EXPECT_EQ(dialog.ColorScheme, WindowScheme::Gray);
    EXPECT_EQ(dialog.HelpTopic, 900);
    EXPECT_EQ(dialog.Number, 0);
    EXPECT_EQ(dialog.Title, "Д"_oem);
    tDialog blank;
    EXPECT_EQ(blank.BoundsRect(), MakeRect(0, 0, 20, 10));
    EXPECT_EQ(blank.Title, "Диалог"_oem);
}

// Catches a scheme mapped to the wrong table, a gray palette without its seven extra entries
// (history window and list colours), or a damaged scheme number without colours.
TEST_F(DialogTest, PalettePerScheme) {
    struct tCase {
        std::int16_t Scheme;
        int Length;
        std::uint8_t First, Sixth, Last;
    } cases[] = {
        {WindowScheme::Blue, 32, 8, 13, 95},
        {WindowScheme::Cyan, 32, 96, 101, 127},
        {WindowScheme::Gray, 39, 32, 37, 94},
        {77, 39, 32, 37, 94},
    };
    for (const tCase& c : cases) {
        tDialog dialog;
        dialog.ColorScheme = c.Scheme;
        tPalette palette = dialog.GetPalette();
        ASSERT_NE(palette, nullptr);
        EXPECT_EQ(PaletteLength(palette), c.Length) << c.Scheme;
        EXPECT_EQ(palette[1], c.First) << c.Scheme;
        EXPECT_EQ(palette[6], c.Sixth) << c.Scheme;
        EXPECT_EQ(palette[c.Length], c.Last) << c.Scheme;
    }
    tDialog dialog;
    EXPECT_EQ(dialog.GetPalette()[33], 88) << "entry 33 of the gray palette";
}

// Catches Esc or Enter left to others, posted as the wrong kind, or carrying an info pointer.
TEST_F(DialogTest, EscAndEnter) {
    struct tCase {
        std::uint16_t Key;
        std::uint16_t What;
        std::uint16_t Command;
    } cases[] = {{kKeyEsc, evtCommand, cmdCancel}, {kKeyEnter, evtBroadcast, cmdDefault}};
    for (const tCase& c : cases) {
        tDialog* dialog = AddDialog();
        TEventRec key = Key(c.Key);
        dialog->HandleEvent(key);
        EXPECT_EQ(key.what, evtNothing) << c.Key << ": consumed";
        ASSERT_EQ(Root->History.size(), 1u) << c.Key;
        EXPECT_EQ(Root->History[0].what, c.What) << c.Key;
        EXPECT_EQ(Root->History[0].message.command, c.Command) << c.Key;
        EXPECT_EQ(Root->History[0].message.info, nullptr) << c.Key;
        Root->History.clear();
        Root->Posted.clear();
        FreeObject(dialog);
    }
}

// Catches answer commands that end a dialog that is not modal, or are left alone by a modal
// one; and other commands taken as answers.
TEST_F(DialogTest, AnswersEndOnlyAModalDialog) {
    for (bool modal : {false, true}) {
        for (std::uint16_t command :
             {cmdOk, cmdCancel, cmdYes, cmdNo, cmdHelp, std::uint16_t(300)}) {
            tDialog* dialog = AddDialog();
            if (modal)
                dialog->StateFlags |= ViewState::Modal;
            TEventRec event = Message(evtCommand, command);
            dialog->HandleEvent(event);
            bool answer = command >= cmdOk && command <= cmdNo;
            bool ends = modal && answer;
            EXPECT_EQ(dialog->ModalResult, ends ? command : 0) << modal << " " << command;
            EXPECT_EQ(event.what == evtNothing, ends) << modal << " " << command;
            dialog->StateFlags &= std::uint16_t(~ViewState::Modal);
            Root->Posted.clear();
            FreeObject(dialog);
        }
    }
}

// Catches a modal run that Esc, Enter on the default button, or a button's hot key does not
// end with the right command, and a default button that is not drawn pressed at the moment it
// posts its command.
TEST_F(DialogTest, ModalRunEndedFromTheKeyboard) {
    struct tCase {
        const char* Name;
        std::uint16_t Key;
        std::uint16_t Result;
    } cases[] = {
        {"Esc", kKeyEsc, cmdCancel},
        {"Enter presses the default button", kKeyEnter, cmdOk},
        {"Alt + the hot key of Нет (Y)", kKeyAltY, cmdNo},
    };
    for (const tCase& c : cases) {
        auto* dialog = new tDialog(MakeRect(10, 5, 40, 12), "");
        auto* ok =
            new tButton(MakeRect(2, 3, 12, 5), "~Д~а"_oem, cmdOk, ButtonFlag::IsDefaultButton);
        auto* no = new tButton(MakeRect(14, 3, 24, 5), "~Н~ет"_oem, cmdNo, 0);
        dialog->InsertView(ok);
        dialog->InsertView(no);
        Root->InsertView(dialog);
        ok->SelectView();
        std::string pressedLook;
        Root->OnPost = [&](const TEventRec& event) {
            if (event.what == evtCommand && event.message.command == cmdOk)
                pressedLook = Cells(8, 12, 10);
        };
        Root->Script = {Key(c.Key)};
        std::uint16_t result = Root->RunView(dialog);
        Root->OnPost = nullptr;
        EXPECT_EQ(result, c.Result) << c.Name;
        if (c.Result == cmdOk) {
            EXPECT_EQ(pressedLook, "     Да   ") << c.Name << ": drawn pressed while it posts";
        }
        EXPECT_FALSE(dialog->HasState(ViewState::Modal)) << c.Name;
        Root->Script.clear();
        Root->Posted.clear();
        FreeObject(dialog);
    }
}

} // namespace
} // namespace zarvo
