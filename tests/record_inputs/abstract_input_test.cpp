// What every typed input shares: leaving the field (Tab, a click elsewhere) only with a
// valid text, storing only when the dialog asks, the lookup veto, the unchanged query, the
// password look, the word keys, the case and trim options, and editing through a mask.
#include "record_inputs/abstract_input.h"

#include <gtest/gtest.h>

#include <cstring>

#include "console/key_codes.h"
#include "platform/cp866.h"
#include "record_inputs/count_input.h"
#include "record_inputs/string_input.h"
#include "records/field_input.h"
#include "tests/record_inputs/typed_input_support.h"

namespace zarvo {
namespace {

using namespace testing_typed;

class AbstractInputTest : public tTypedScreen {
  protected:
    // Two word fields bound to First and Second; the first is current.
    void TwoWords() {
        Top = Place(new TInputWord(MakeRect(1, 1, 10, 2), 5), &First);
        Bottom = Place(new TInputWord(MakeRect(1, 3, 10, 4), 5), &Second);
        Top->SelectView();
    }
    std::uint16_t First = 1, Second = 2;
    TInputWord* Top = nullptr;
    TInputWord* Bottom = nullptr;
};

// Catches Tab leaving a field whose text is out of range, the message shown twice or not
// at all, or a valid field kept from being left.
TEST_F(AbstractInputTest, TabLeavesOnlyAValidField) {
    TwoWords();
    Top->SetLineText("70000");
    Root->Script = {Key(kKeyTab)};
    Root->RunView(Box);
    EXPECT_EQ(Box->CurrentView, Top) << "expected the focus to stay";
    ASSERT_EQ(Asked().size(), 1u) << "expected the range message once";
    EXPECT_EQ(Asked()[0].Text, NumberRangeMessage("0", "65535"));
    EXPECT_EQ(Top->SelStart, 0);
    EXPECT_EQ(Top->SelEnd, 5) << "expected the refused text selected";

    Asked().clear();
    Top->SetLineText("7");
    Root->Script = {Key(kKeyTab)};
    Root->RunView(Box);
    EXPECT_EQ(Box->CurrentView, Bottom) << "expected a valid field to let the focus go";
    EXPECT_TRUE(Asked().empty());
    EXPECT_EQ(First, 1) << "leaving stores nothing without ioStoreOnLeave";
}

// Catches a click on another control taking the focus from a field with a bad text.
TEST_F(AbstractInputTest, ClickElsewhereNeedsAValidField) {
    TwoWords();
    Top->SetLineText("99999");
    Root->Script = {Mouse(evtMouseDown, 3, 3), Mouse(evtMouseUp, 3, 3)};
    Root->RunView(Box);
    EXPECT_EQ(Box->CurrentView, Top);
    EXPECT_EQ(Asked().size(), 1u);
    Top->SetLineText("9");
    Root->Script = {Mouse(evtMouseDown, 3, 3), Mouse(evtMouseUp, 3, 3)};
    Root->RunView(Box);
    EXPECT_EQ(Box->CurrentView, Bottom);
}

// Catches a value written by editing, by accepting or cancelling the dialog, instead of
// only by cmdStoreFields (or by leaving with ioStoreOnLeave).
TEST_F(AbstractInputTest, StoresOnlyWhenAsked) {
    TwoWords();
    Root->Script = {Char('5'), Key(kKeyEsc)};
    EXPECT_EQ(Root->RunView(Box), cmdCancel);
    EXPECT_EQ(Top->LineText(), "5");
    EXPECT_EQ(First, 1) << "expected a cancelled dialog to leave the value";
    EXPECT_TRUE(Box->Valid(cmdValidateAll));
    EXPECT_EQ(First, 1) << "validating stores nothing";
    Broadcast(cmdStoreFields);
    EXPECT_EQ(First, 5);
    EXPECT_EQ(Second, 2) << "an unchanged field stores its own value back";

    Bottom->SetInputOptions(ioStoreOnLeave);
    Bottom->SelectView();
    Bottom->SetLineText("8");
    Root->Script = {Key(kKeyTab)};
    Root->RunView(Box);
    EXPECT_EQ(Second, 8) << "ioStoreOnLeave stores when the field is left";
}

// Catches ioStoreOnLeave or ioRequired letting a blank text through, with the wrong message.
TEST_F(AbstractInputTest, RequiredFieldsRefuseBlanks) {
    char name[11] = "old";
    auto* input = Place(new TInputASCIIZ(MakeRect(1, 1, 14, 2), 10), name);
    input->SetLineText("   ");
    EXPECT_TRUE(input->Valid(cmdValidateAll)) << "not required: blanks pass";
    input->SetInputOptions(ioRequired);
    input->SetLineText("   ");
    EXPECT_FALSE(input->Valid(cmdValidateAll));
    ASSERT_EQ(Asked().size(), 1u);
    EXPECT_EQ(Asked()[0].Text, "Неправильно введено поле. Повторите"_oem);
    EXPECT_EQ(Asked()[0].Flags, 0x0402);
    EXPECT_STREQ(name, "old");
}

// A view that vetoes every lookup, as an unresolved sense does.
class tVeto : public tView {
  public:
    explicit tVeto(const tRect& bounds) : tView(bounds) { AcceptMask |= evtBroadcast; }
    void HandleEvent(TEventRec& event) override {
        if (event.what == evtBroadcast && event.message.command == cmdResolveLookup) {
            Asker = event.message.info;
            ConsumeEvent(event);
        }
    }
    void* Asker = nullptr;
};

// Catches a field validating itself without first letting the lookups speak, or a veto that
// leaves another field current.
TEST_F(AbstractInputTest, ResolveLookupCanVeto) {
    TwoWords();
    auto* veto = new tVeto(MakeRect(20, 1, 21, 2));
    Box->InsertView(veto);
    Bottom->SelectView();
    EXPECT_FALSE(Top->Valid(cmdValidateAll));
    EXPECT_EQ(veto->Asker, Top) << "the broadcast names the field";
    EXPECT_EQ(Box->CurrentView, Top) << "expected the vetoed field selected";
    EXPECT_TRUE(Asked().empty()) << "the veto shows its own message, not the field's";
    EXPECT_TRUE(Top->Valid(cmdOk)) << "other commands are not vetoed";
}

// Catches the unchanged query comparing the wrong things, or an empty text not counting as
// the empty text of a zero.
TEST_F(AbstractInputTest, QueryUnchanged) {
    struct tCase {
        const char* Name;
        std::uint16_t Options;
        std::uint16_t Value;
        std::string Text;
        bool Unchanged;
    };
    const tCase cases[] = {
        {"text same", ioCompareText, 12, "12", true},
        {"text differs", ioCompareText, 12, "012", false},
        {"text empty zero", ioCompareText, 0, "", true},
        {"value same", ioCompareValue, 12, "012", true},
        {"value differs", ioCompareValue, 12, "13", false},
        {"value unconvertible", ioCompareValue, 12, "99999", false},
        {"both", ioCompareText | ioCompareValue, 12, "012", false},
        {"neither", 0, 12, "13", true},
    };
    for (const tCase& c : cases) {
        std::uint16_t value = c.Value;
        auto* input = new TInputWord(MakeRect(1, 1, 10, 2), 5);
        input->SetInputOptions(c.Options);
        Place(input, &value);
        input->SetLineText(c.Text);
        EXPECT_EQ(input->Valid(cmdQueryUnchanged), c.Unchanged) << c.Name;
        EXPECT_TRUE(Asked().empty()) << c.Name;
        FreeObject(input);
    }
}

// Catches a password field showing its text, or a wrong count of password characters.
TEST_F(AbstractInputTest, PasswordDrawsStars) {
    char secret[11] = "hello";
    auto* input = new TInputASCIIZ(MakeRect(1, 1, 12, 2), 10);
    input->SetInputOptions(ioPassword);
    Place(input, secret);
    EXPECT_EQ(Cells(1, 1, 11), " *****     ");
    EXPECT_EQ(input->LineText(), "hello") << "expected the text itself kept";
}

// Catches the word keys deleting or moving by the wrong amount.
TEST_F(AbstractInputTest, WordKeys) {
    struct tCase {
        const char* Name;
        std::uint16_t Key;
        int Cursor;
        std::string Text;
        int CursorAfter;
    };
    const std::string text = "alpha beta,gamma";
    const tCase cases[] = {
        {"Ctrl+E deletes the word left", kKeyCtrlE, 10, "alpha ,gamma", 6},
        {"Ctrl+E over breaks", kKeyCtrlE, 11, "alpha gamma", 6},
        {"Ctrl+T deletes the word right", kKeyCtrlT, 6, "alpha gamma", 6},
        {"Ctrl+Left", kKeyCtrlLeft, 13, text, 11},
        {"Ctrl+Right", kKeyCtrlRight, 1, text, 6},
        {"Ctrl+End", kKeyCtrlEnd, 5, "alpha", 5},
        {"Ctrl+Home", kKeyCtrlHome, 6, "beta,gamma", 0},
    };
    char value[21] = {};
    auto* input = Place(new TInputASCIIZ(MakeRect(1, 1, 30, 2), 20), value);
    for (const tCase& c : cases) {
        input->SetLineText(text);
        input->CursorPos = std::int16_t(c.Cursor);
        EXPECT_TRUE(Press(input, c.Key)) << c.Name;
        EXPECT_EQ(input->LineText(), c.Text) << c.Name;
        EXPECT_EQ(input->CursorPos, c.CursorAfter) << c.Name;
    }
    std::strcpy(value, "stored");
    EXPECT_TRUE(Press(input, kKeyCtrlR));
    EXPECT_EQ(input->LineText(), "stored") << "Ctrl+R reloads the bound value";
}

// Catches typed and loaded letters keeping their case, or trims not applied on validation.
TEST_F(AbstractInputTest, CaseAndTrimOptions) {
    char value[11] = "MiXed";
    auto* lower = new TInputASCIIZ(MakeRect(1, 1, 14, 2), 10);
    lower->SetInputOptions(ioLowerCase);
    Place(lower, value);
    EXPECT_EQ(lower->LineText(), "mixed");
    auto* upper = new TInputASCIIZ(MakeRect(1, 3, 14, 4), 10);
    upper->SetInputOptions(ioUpperCase);
    Place(upper, value);
    upper->SetLineText("");
    Type(upper, "ab"_oem);
    Type(upper, "вё"_oem);
    EXPECT_EQ(upper->LineText(), "ABВЁ"_oem);
    upper->SetLineText("  x y  ");
    EXPECT_TRUE(upper->Valid(cmdValidateAll));
    EXPECT_EQ(upper->LineText(), "X Y") << "trimmed both sides and upper-cased";
}

// Catches a mask whose literals can be overwritten, whose placeholders take the wrong
// characters, or whose cursor rests on a literal.
TEST_F(AbstractInputTest, MaskEditing) {
    char value[12] = {};
    auto* input = Place(new TInputASCIIZ(MakeRect(1, 1, 16, 2), 11), value);
    input->SetMask("(###) LL-xx");
    EXPECT_EQ(input->LineText(), "(   )   -  ");
    EXPECT_EQ(input->CursorPos, 1) << "expected the cursor off the literal";
    Type(input, "12a3bc?D");
    Type(input, "Я"_oem);
    EXPECT_EQ(input->LineText(), "(123) BC-dя"_oem)
        << "a letter refused by #, \"?\" by x, case changed by L and x";
    EXPECT_EQ(input->CursorPos, 11) << "past the last placeholder";
    EXPECT_TRUE(Press(input, kKeyBackspace));
    EXPECT_EQ(input->LineText(), "(123) BC-d ");
    EXPECT_EQ(input->CursorPos, 10);
    EXPECT_TRUE(Press(input, kKeyBackspace));
    EXPECT_TRUE(Press(input, kKeyBackspace));
    EXPECT_EQ(input->LineText(), "(123) B -  ");
    EXPECT_EQ(input->CursorPos, 7) << "backspace skips the literal";
    EXPECT_TRUE(Press(input, kKeyLeft));
    EXPECT_TRUE(Press(input, kKeyLeft));
    EXPECT_EQ(input->CursorPos, 3) << "left skips \") \"";
    EXPECT_TRUE(Press(input, kKeyDel));
    EXPECT_EQ(input->LineText(), "(12 ) B -  ");
    std::string placeholders;
    input->TextFromMask(placeholders);
    EXPECT_EQ(placeholders, "12 B   ");
    EXPECT_TRUE(Press(input, kKeyCtrlY));
    EXPECT_EQ(input->LineText(), "(   )   -  ");
    EXPECT_EQ(input->CursorPos, 1);
    EXPECT_FALSE(Press(input, kKeyTab)) << "Tab is left to the dialog";
    Root->Script = {Mouse(evtMouseDown, 6, 1), Mouse(evtMouseUp, 6, 1)};
    Root->RunView(Box);
    EXPECT_EQ(input->CursorPos, 6) << "a click on \")\" puts the cursor on the next placeholder";
}

} // namespace
} // namespace zarvo
