// The record dialog builder with plain makers: which fields become rows, the columns of
// captions, inputs and choosers, the dialog's size, the buttons, the page heights, the
// messages for no fields and too many, read-only dialogs and the delete button.
#include "record_inputs/record_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "console/key_codes.h"
#include "platform/cp866.h"
#include "record_inputs/super_un_label.h"
#include "records/mem_record.h"
#include "tests/record_inputs/record_dialog_support.h"
#include "views/button.h"
#include "views/indicator.h"
#include "views/input_line.h"
#include "views/label.h"
#include "views/scroll_bar.h"

namespace zarvo {
namespace {

using namespace testing_record_dialogs;

// ---- page heights

// Catches a wrong lowest height, a tie that keeps the smaller height, a last page left out of
// the empty room, or rows put on pages out of order.
TEST(LayoutPagesTest, Table) {
    struct tCase {
        const char* Name;
        std::vector<int> Heights;
        int Height;
        std::vector<int> Pages;
    };
    auto ones = [](int count) { return std::vector<int>(std::size_t(count), 1); };
    std::vector<int> twenty(20, 1), twentyPages(10, 1);
    twentyPages.insert(twentyPages.end(), 10, 2);
    const tCase cases[] = {
        {"four rows: one page of 4", ones(4), 4, {1, 1, 1, 1}},
        {"one row", ones(1), 1, {1}},
        {"seventeen rows: one full page", ones(17), 17, std::vector<int>(17, 1)},
        {"twenty rows: two pages of 10", twenty, 10, twentyPages},
        {"three memos of 6: one per page of 7", {6, 6, 6}, 7, {1, 2, 3}},
        {"a 17-row memo after a line", {1, 17}, 17, {1, 2}},
        {"18 rows: two pages of 9", ones(18), 9,
         [] {
             std::vector<int> p(9, 1);
             p.insert(p.end(), 9, 2);
             return p;
         }()},
    };
    for (const tCase& c : cases) {
        std::vector<int> pages;
        EXPECT_EQ(LayoutPages(c.Heights, pages), c.Height) << c.Name;
        EXPECT_EQ(pages, c.Pages) << c.Name;
    }
}

// ---- the four-field record

class RecordDialogTest : public tRecordDialogScreen {
  protected:
    // Fills every input made with its field's digit, so the screen shows where it lies.
    void MarkInputs() {
        for (const tMadeControl& made : Made) {
            auto* line = static_cast<tInputLine*>(made.View);
            line->SetLineText(std::string(std::size_t(line->Width - 2), char('0' + made.Field)));
            line->Repaint();
        }
    }
    int CountViews(tGroup& group, const std::function<bool(tView*)>& test) {
        int count = 0;
        group.ForEachView([&](tView* view) { count += test(view) ? 1 : 0; });
        return count;
    }
    std::vector<tButton*> Buttons(tGroup& group) {
        std::vector<tButton*> out;
        group.ForEachView([&](tView* view) {
            if (auto* button = dynamic_cast<tButton*>(view))
                out.insert(out.begin(), button); // the ring holds the last made in front
        });
        return out;
    }
};

// Catches inputs not at the widest caption + 4, the long string input not cut at column 69
// (or its text shortened with it), the chooser elsewhere than 69-71, a wrong dialog size or
// button row, or captions elsewhere than column 1.
TEST_F(RecordDialogTest, FourFieldLayout) {
    auto record = MakeParamsRecord();
    auto dialog = Build(*record, 1, "Параметры работы"_oem);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->BoundsRect(), MakeRect(0, 0, 74, 10)) << "expected 74 x 10";
    ASSERT_EQ(Made.size(), 4u);
    EXPECT_EQ(Made[0].Bounds, MakeRect(34, 2, 286, 3)) << "expected the maker to see 250 + 2";
    EXPECT_EQ(Made[0].View->BoundsRect(), MakeRect(34, 2, 69, 3)) << "expected a cut at 69";
    EXPECT_EQ(static_cast<tInputLine*>(Made[0].View)->MaxLength, 250);
    EXPECT_EQ(Made[1].View->BoundsRect(), MakeRect(34, 3, 41, 4));
    EXPECT_EQ(Made[2].View->BoundsRect(), MakeRect(34, 4, 44, 5));
    EXPECT_EQ(Made[3].View->BoundsRect(), MakeRect(34, 5, 44, 6));
    ASSERT_EQ(Companions.size(), 1u);
    EXPECT_EQ(Companions[0].Bounds, MakeRect(69, 2, 72, 3)) << "expected the chooser's area";
    EXPECT_EQ(Companions[0].Input, Made[0].View);
    std::vector<tButton*> buttons = Buttons(*dialog);
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[0]->BoundsRect(), MakeRect(35, 7, 46, 9));
    EXPECT_EQ(buttons[0]->Command, cmdOk);
    EXPECT_TRUE(buttons[0]->ButtonFlags & ButtonFlag::IsDefaultButton);
    EXPECT_EQ(buttons[1]->BoundsRect(), MakeRect(47, 7, 56, 9));
    EXPECT_EQ(buttons[1]->Command, cmdCancel);
    EXPECT_EQ(buttons[2]->BoundsRect(), MakeRect(57, 7, 67, 9));
    EXPECT_EQ(buttons[2]->Command, cmdHelp);
    EXPECT_EQ(dialog->CurrentView, Made[0].View) << "expected the first input focused";
    EXPECT_EQ(dialog->PageBar, nullptr) << "expected no page bar for one page";

    Root->InsertView(dialog.get());
    MarkInputs();
    const std::vector<std::string> expected = {
        "╔═[■]═══════════════════════ Параметры работы ═══════════════════════════╗",
        "║                                                                        ║",
        "║ Каталог на сервере               111111111111111111111111111111111 [v] ║",
        "║ Размер файла, Мб                 22222                                 ║",
        "║ Время раб. (0-до прер. польз.)   33333333                              ║",
        "║ Период между итерациями          44444444                              ║",
        "║                                                                        ║",
        "║                                    Принять ▄   Отказ ▄   Помощь ▄      ║",
        "║                                    ▀▀▀▀▀▀▀▀▀   ▀▀▀▀▀▀▀   ▀▀▀▀▀▀▀▀      ║",
        "╚════════════════════════════════════════════════════════════════════════╝",
    };
    EXPECT_EQ(Block(3, 7, 74, 10), expected);
    Root->RemoveView(dialog.get());
}

// Catches fields outside the mask shown, rows left for them, or a field whose maker made
// nothing still captioned.
TEST_F(RecordDialogTest, MaskAndSkippedFields) {
    auto record = MakeWordRecord(5, 1);
    record->SetFieldFlags(2, 2);
    record->SetFieldFlags(4, 2 | 8);
    RefusedField = 3;
    auto dialog = Build(*record, 1);
    ASSERT_NE(dialog, nullptr);
    std::vector<int> fields;
    for (const tMadeControl& made : Made)
        fields.push_back(made.Field);
    EXPECT_EQ(fields, (std::vector<int>{1, 5})) << "expected 2 and 4 left out, 3 refused";
    EXPECT_EQ(Made[1].View->Top, 4) << "expected field 5 on the third row, after 3's";
    EXPECT_EQ(CountViews(*dialog, [](tView* v) { return dynamic_cast<tLabel*>(v) != nullptr; }), 2)
        << "expected captions only for the fields made";
    EXPECT_EQ(dialog->Height, 9) << "three rows: pages of 3";
}

// Catches a dialog made when there is nothing to show or too much, the wrong message or
// flags, or a message shown while an error is pending.
TEST_F(RecordDialogTest, NoDialogMessages) {
    struct tCase {
        const char* Name;
        int Fields;
        std::uint32_t Mask;
        bool Pending;
        std::vector<std::string> Texts;
        std::uint16_t Flags;
    };
    const tCase cases[] = {
        {"no field in the mask", 3, 0x10, false, {"Нет изменяемых полей."}, 1024},
        {"151 fields", 151, 8, false, {"Превышено ограничение в 150 вводимых полей!"}, 1026},
        {"an error pending", 3, 8, true, {}, 0},
    };
    for (const tCase& c : cases) {
        Messages.clear();
        auto record = MakeWordRecord(c.Fields);
        if (c.Pending)
            PostAppError(1, "Ошибка"_oem);
        EXPECT_EQ(Build(*record, c.Mask), nullptr) << c.Name;
        ClearError();
        std::vector<std::string> texts;
        for (const tShownMessage& m : Messages) {
            texts.push_back(Cp866ToUtf8(m.Text));
            EXPECT_EQ(m.Flags, c.Flags) << c.Name;
        }
        EXPECT_EQ(texts, c.Texts) << c.Name;
    }
    auto record = MakeWordRecord(150);
    EXPECT_NE(Build(*record, 8), nullptr) << "expected 150 fields to be allowed";
}

// Catches a narrow dialog not widened to 40, the buttons not following its width, a read-only
// dialog that can still be accepted or edited, or a delete button running out of the dialog.
TEST_F(RecordDialogTest, WidthButtonsAndFlags) {
    struct tCase {
        const char* Name;
        std::uint32_t Mask;
        std::uint16_t Flags;
        int Width;
        std::vector<std::uint16_t> Commands;
        int FirstLeft;
    };
    const tCase cases[] = {
        {"narrow", 8, 0, 42, {cmdOk, cmdCancel, cmdHelp}, 3},
        {"read-only", 8, RecordDialogFlag::ReadOnly, 42, {cmdCancel, cmdHelp}, 3},
        {"delete", 8, RecordDialogFlag::Delete, 49, {cmdOk, cmdCancel, cmdNo, cmdHelp}, 4},
        {"delete never with mask 1",
         1,
         RecordDialogFlag::Delete,
         42,
         {cmdOk, cmdCancel, cmdHelp},
         3},
    };
    for (const tCase& c : cases) {
        auto record = MakeWordRecord(4, 1 | 8);
        auto dialog = Build(*record, c.Mask, "Запись"_oem, c.Flags);
        ASSERT_NE(dialog, nullptr) << c.Name;
        EXPECT_EQ(dialog->Width, c.Width) << c.Name;
        std::vector<std::uint16_t> commands;
        for (tButton* button : Buttons(*dialog)) {
            commands.push_back(button->Command);
            EXPECT_LE(button->BoundsRect().Right, dialog->Width - 1)
                << c.Name << ": expected every button inside the frame";
            EXPECT_EQ(button->Top, 7) << c.Name;
        }
        EXPECT_EQ(commands, c.Commands) << c.Name;
        EXPECT_EQ(Buttons(*dialog)[0]->Left, c.FirstLeft) << c.Name;
        const bool readOnly = c.Flags & RecordDialogFlag::ReadOnly;
        for (const tMadeControl& made : Made) {
            EXPECT_EQ(made.View->HasState(ViewState::Disabled), readOnly) << c.Name;
            EXPECT_EQ(made.View->HasOption(ViewOption::Selectable), !readOnly) << c.Name;
        }
        Made.clear();
    }
}

// Catches a table-linked field captioned by a plain label, a super label that leaves its
// control selectable on the broadcast, or a plain label that reacts to it.
TEST_F(RecordDialogTest, TableLinkedCaption) {
    auto record = MakeWordRecord(2);
    record->SetFieldFlags(1, 8 | ffTableLinked);
    auto dialog = Build(*record, 8);
    ASSERT_NE(dialog, nullptr);
    tView* super = dialog->FindView([](tView* v) { return dynamic_cast<tSuperUnLabel*>(v); });
    ASSERT_NE(super, nullptr);
    EXPECT_EQ(static_cast<tLabel*>(super)->Link, Made[0].View);
    SendToView(dialog.get(), evtBroadcast, cmdUnselectLinked, nullptr);
    EXPECT_FALSE(Made[0].View->HasOption(ViewOption::Selectable));
    EXPECT_TRUE(Made[1].View->HasOption(ViewOption::Selectable));
}

// Catches a field without an input line that still gets one, its chooser not starting at the
// input column, or its caption linked to nothing.
TEST_F(RecordDialogTest, CompanionOnlyField) {
    auto record = MakeWordRecord(2);
    record->SetFieldFlags(2, 8 | ffNoInputLine);
    CompanionField = 2;
    auto dialog = Build(*record, 8);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(Made.size(), 1u);
    ASSERT_EQ(Companions.size(), 1u);
    EXPECT_EQ(Companions[0].Bounds, MakeRect(10, 3, 72, 4));
    EXPECT_EQ(Companions[0].Input, nullptr);
    tView* found = dialog->FindView([&](tView* v) {
        auto* label = dynamic_cast<tLabel*>(v);
        return label != nullptr && label->Link == Companions[0].View;
    });
    EXPECT_NE(found, nullptr) << "expected the caption linked to the chooser";
}

// Catches a yes/no field given room for its three-letter text only, which cuts off its
// second radio button.
TEST_F(RecordDialogTest, YesNoFieldFitsBothButtons) {
    auto record = MakeObject<tMemRecord>(1, "", "");
    record->AddField(ftBoolean, 3, "", "Да/Нет"_oem, "");
    ASSERT_TRUE(record->AllocData());
    EXPECT_EQ(FieldInputWidth(*record, 1), 15);
    auto dialog = Build(*record, 8);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(Made.size(), 1u);
    EXPECT_EQ(Made[0].Bounds, MakeRect(10, 2, 27, 3));
}

// ---- runs

// Catches a cancelled run that stores, or an accepted run that does not.
TEST_F(RecordDialogTest, CancelKeepsAcceptStores) {
    for (std::uint16_t key : {kKeyEsc, kKeyEnter}) {
        auto record = MakeWordRecord(3);
        auto dialog = Build(*record, 8);
        ASSERT_NE(dialog, nullptr);
        static_cast<tInputLine*>(Made[1].View)->SetLineText("123");
        Script({Key(key)});
        const std::uint16_t result = Root->RunView(dialog.get());
        std::uint16_t value = 0;
        record->GetField(2, &value);
        if (key == kKeyEsc) {
            EXPECT_EQ(result, cmdCancel);
            EXPECT_EQ(value, 0) << "expected the record untouched by Отказ";
        } else {
            EXPECT_EQ(result, cmdOk);
            EXPECT_EQ(value, 123) << "expected the accepted value stored";
        }
        Made.clear();
    }
}

// Catches an invalid field on another page that lets the dialog end, stores the valid fields
// anyway, shows no message, or leaves the page of the bad field hidden.
TEST_F(RecordDialogTest, AcceptWithInvalidFieldStaysOnItsPage) {
    auto record = MakeWordRecord(20);
    auto dialog = Build(*record, 8);
    ASSERT_NE(dialog, nullptr);
    static_cast<tInputLine*>(Made[2].View)->SetLineText("7");
    static_cast<tInputLine*>(Made[14].View)->SetLineText("70000");
    Script({Key(kKeyEnter)});
    const std::uint16_t result = Root->RunView(dialog.get());
    EXPECT_EQ(result, cmdCancel) << "expected the dialog open until the script ended";
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Flags, 1026);
    EXPECT_EQ(dialog->CurrentPage, 1) << "expected the bad field's page shown";
    EXPECT_EQ(dialog->CurrentView, Made[14].View) << "expected the bad field focused";
    EXPECT_EQ(Made[14].View->Top, 6) << "expected field 15 on its page's fifth row";
    std::uint16_t value = 0;
    record->GetField(3, &value);
    EXPECT_EQ(value, 0) << "expected nothing stored";
}

// ---- pages

class RecordPagesTest : public RecordDialogTest {
  protected:
    void SetUp() override {
        RecordDialogTest::SetUp();
        Record = MakeWordRecord(20);
        Dialog = Build(*Record, 8);
        ASSERT_NE(Dialog, nullptr);
        Root->InsertView(Dialog.get());
    }
    void TearDown() override {
        Root->RemoveView(Dialog.get());
        Dialog.reset();
        Record.reset();
        RecordDialogTest::TearDown();
    }
    void Press(std::uint16_t key) { Feed(Dialog.get(), Key(key), Dialog.get()); }
    tView* Input(int field) { return Made[std::size_t(field - 1)].View; }

    tObjectPtr<tMemRecord> Record;
    tObjectPtr<tMultiDialog> Dialog;
};

// Catches pages not stacked one dialog height apart, PgDn and PgUp not moving them, the page
// bar or indicator not following, or the focus not coming back to where it was on a page.
TEST_F(RecordPagesTest, PageKeys) {
    EXPECT_EQ(Dialog->Height, 16) << "expected pages of 10 rows";
    EXPECT_EQ(Dialog->PageCount, 2);
    EXPECT_EQ(Input(11)->Top, 2 + 16) << "expected page 2 one dialog height down";
    ASSERT_NE(Dialog->PageBar, nullptr);
    ASSERT_NE(Dialog->PageIndicator, nullptr);
    EXPECT_EQ(Dialog->PageIndicator->BoundsRect(), MakeRect(1, 15, 10, 16));
    Input(3)->SelectView();
    Press(kKeyPgDn);
    EXPECT_EQ(Dialog->CurrentPage, 1);
    EXPECT_EQ(Input(11)->Top, 2);
    EXPECT_EQ(Input(1)->Top, 2 - 16);
    EXPECT_EQ(Dialog->CurrentView, Input(11)) << "expected the page's first field focused";
    EXPECT_EQ(Dialog->PageBar->Value, 1);
    EXPECT_EQ(Dialog->PageIndicator->Location.Y, 1);
    EXPECT_EQ(Cells(Dialog->Top + 2, Dialog->Left + 2, 7), "Поле 11") << "expected page 2 shown";
    EXPECT_EQ(Cells(Dialog->Top + 15, Dialog->Left + 1, 9), "═══ 2:2 ═") << "expected page 2 of 2";
    Press(kKeyPgDn);
    EXPECT_EQ(Dialog->CurrentPage, 1) << "expected no page after the last";
    Press(kKeyPgUp);
    EXPECT_EQ(Dialog->CurrentPage, 0);
    EXPECT_EQ(Dialog->CurrentView, Input(3)) << "expected the focus back on field 3";
    EXPECT_EQ(Cells(Dialog->Top + 4, Dialog->Left + 2, 6), "Поле 3");
}

// Catches Tab leaving the page shown for a field of another page, or the buttons skipped.
TEST_F(RecordPagesTest, TabStaysOnPage) {
    Input(10)->SelectView();
    Press(kKeyTab);
    EXPECT_EQ(Dialog->CurrentView, Buttons(*Dialog)[0]) << "expected Принять after field 10";
    Press(kKeyShiftTab);
    EXPECT_EQ(Dialog->CurrentView, Input(10));
    Press(kKeyPgDn);
    Press(kKeyShiftTab);
    EXPECT_EQ(Dialog->CurrentView, Buttons(*Dialog)[2]) << "expected Помощь before field 11";
    Press(kKeyTab);
    EXPECT_EQ(Dialog->CurrentView, Input(11));
    EXPECT_EQ(Dialog->CurrentPage, 1);
}

// Catches a page switch past a field that refuses to be left, by key or by the page bar, or
// a bar left showing a page that is not shown.
TEST_F(RecordPagesTest, RefusingFieldKeepsPage) {
    static_cast<tInputLine*>(Input(1))->SetLineText("x");
    Press(kKeyPgDn);
    EXPECT_EQ(Dialog->CurrentPage, 0);
    EXPECT_EQ(Messages.size(), 1u) << "expected the field's message";
    Dialog->PageBar->SetPosition(1);
    EXPECT_EQ(Dialog->CurrentPage, 0);
    EXPECT_EQ(Dialog->PageBar->Value, 0) << "expected the bar moved back";
    static_cast<tInputLine*>(Input(1))->SetLineText("1");
    Dialog->PageBar->SetPosition(1);
    EXPECT_EQ(Dialog->CurrentPage, 1) << "expected the bar to switch pages";
}

// Catches focus moved to a field of another page (a caption's hot key, a field selecting
// itself) while its page stays hidden.
TEST_F(RecordPagesTest, FocusElsewhereShowsItsPage) {
    Input(17)->SelectView();
    EXPECT_EQ(Dialog->CurrentPage, 1);
    EXPECT_EQ(Input(17)->Top, 8);
    EXPECT_EQ(Dialog->PageBar->Value, 1);
    Press(kKeyPgUp);
    Press(kKeyPgDn);
    EXPECT_EQ(Dialog->CurrentView, Input(17)) << "expected the page's last focus restored";
}

} // namespace
} // namespace zarvo
