// The field makers of generated dialogs: the control each field type gets, its text length
// and binding, what limits, pictures and format bits make of it, the directory field's
// chooser hook, and whole dialogs of real typed inputs accepted, refused and cancelled.
#include "record_inputs/field_controls.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "console/key_codes.h"
#include "platform/cp866.h"
#include "record_inputs/choice_input.h"
#include "record_inputs/code_input.h"
#include "record_inputs/count_input.h"
#include "record_inputs/date_time_input.h"
#include "record_inputs/string_input.h"
#include "tests/record_inputs/record_dialog_support.h"

namespace zarvo {
namespace {

using namespace testing_record_dialogs;

// The real makers, as the program uses them.
class FieldControlsTest : public tRecordDialogScreen {
  protected:
    void SetUp() override {
        tRecordDialogScreen::SetUp();
        FieldInputFactory = &MakeFieldInput;
        FieldCompanionFactory = &MakeFieldCompanion;
    }
    void TearDown() override {
        DirectoryCompanionMaker = nullptr;
        tRecordDialogScreen::TearDown();
    }
    // Field N's control made for a row at column 10 as wide as the builder would ask.
    tObjectPtr<tView> Make(tMemRecord& record, int n) {
        return MakeFieldInput(MakeRect(10, 2, 10 + FieldInputWidth(record, n) + 2, 3), record, n);
    }
};

// Catches a type given the wrong class, a text length not taken from the bounds, a control
// bound elsewhere than its field, or a control made for a type that has none.
TEST_F(FieldControlsTest, ControlPerType) {
    struct tCase {
        const char* Name;
        std::uint8_t Type;
        int Length;
        std::function<bool(tView*)> IsExpected; // null: no control
        int TextLength;
        std::string_view Mask = {}; // empty: none
    };
    auto is = [](auto sample) {
        using T = std::remove_pointer_t<decltype(sample)>;
        return std::function<bool(tView*)>([](tView* v) { return dynamic_cast<T*>(v); });
    };
    const tCase cases[] = {
        {"string", ftString, 40, is((TInputASCIIZ*)nullptr), 40},
        {"string with length", ftPString, 20, is((TInputString*)nullptr), 20},
        {"hidden", ftHidden, 16, is((TInputWord*)nullptr), 16},
        {"short int", ftShortInt, 4, is((TInputShortInt*)nullptr), 4},
        {"byte", ftByte, 3, is((TInputByte*)nullptr), 3},
        {"integer", ftInteger, 6, is((TInputInteger*)nullptr), 6},
        {"word", ftWord, 5, is((TInputWord*)nullptr), 5},
        {"long int", ftLongInt, 11, is((TInputLongInt*)nullptr), 11},
        {"comp", ftComp, 21, is((TInputComp*)nullptr), 21},
        {"single", ftSingle, 9, is((TInputSingle*)nullptr), 9},
        {"real", ftReal, 13, is((TInputReal*)nullptr), 13},
        {"double", ftDouble, 17, is((TInputDouble*)nullptr), 17},
        {"extended", ftExtended, 21, is((TInputExtended*)nullptr), 21},
        {"short date", ftDate, 8, is((TInputDate*)nullptr), 8, "##/##/##"},
        {"long date", ftDate, 10, is((TInputDate*)nullptr), 10, "##/##/####"},
        {"time", ftTime, 8, is((tInputTime*)nullptr), 8, "##:##:##"},
        {"set: a byte of 3", ftSet, 32, is((TInputByte*)nullptr), 3},
        {"period: a word of 5", ftPeriod, 8, is((TInputWord*)nullptr), 5},
        {"memo", ftMemo, 100, nullptr, 0},
        {"character", ftChar, 1, nullptr, 0},
        {"hexadecimal", ftHex, 8, nullptr, 0},
    };
    for (const tCase& c : cases) {
        auto record = MakeObject<tMemRecord>(1, "", "");
        record->AddField(c.Type, c.Length, "", "", "");
        ASSERT_TRUE(record->AllocData()) << c.Name;
        tObjectPtr<tView> control = Make(*record, 1);
        if (c.IsExpected == nullptr) {
            EXPECT_EQ(control, nullptr) << c.Name << ": expected no control";
            continue;
        }
        ASSERT_NE(control, nullptr) << c.Name;
        EXPECT_TRUE(c.IsExpected(control.get())) << c.Name << ": wrong class";
        auto* input = static_cast<TAbstractInput*>(control.get());
        EXPECT_EQ(input->MaxLength, c.TextLength) << c.Name;
        EXPECT_EQ(input->BoundPlace(), record->FieldAddress(1)) << c.Name;
        EXPECT_TRUE(input->InputOptions & ioCompareText || c.Type == ftHidden) << c.Name;
        EXPECT_EQ(input->HasMask() ? std::string_view(input->Mask) : std::string_view(), c.Mask)
            << c.Name;
    }
}

// Catches a long string input whose text is cut with its bounds, a string without its
// terminator, or a display width wider than the field letting the input write past it.
TEST_F(FieldControlsTest, StringLengths) {
    auto record = MakeObject<tMemRecord>(2, "", "");
    record->AddField(ftString, 250, "", "", "");
    record->AddField(ftString, 10, "", "", "");
    record->SetFieldWidth(2, 60);
    ASSERT_TRUE(record->AllocData());
    auto* data = static_cast<std::uint8_t*>(record->FieldAddress(1));
    std::memset(data, 'A', std::size_t(record->DataSize()));
    tObjectPtr<tView> control = MakeFieldInput(MakeRect(34, 2, 286, 3), *record, 1);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->BoundsRect(), MakeRect(34, 2, 72, 3)) << "expected a cut at 72";
    EXPECT_EQ(static_cast<tInputLine*>(control.get())->MaxLength, 250);
    EXPECT_EQ(data[250], 0) << "expected the terminator written first";
    EXPECT_EQ(static_cast<tInputLine*>(control.get())->LineText(), std::string(250, 'A'));

    control = Make(*record, 2);
    ASSERT_NE(control, nullptr);
    auto* narrow = static_cast<TAbstractInput*>(control.get());
    EXPECT_EQ(narrow->MaxLength, 10) << "expected no more than the field holds";
    narrow->SetLineText(std::string(60, 'B'));
    SendToView(narrow, evtBroadcast, cmdStoreFields, nullptr);
    EXPECT_EQ(data[251 + 10], 0) << "expected the field's last byte a terminator";
}

// Catches limits, decimals, a picture or the zero format bits not reaching the control.
TEST_F(FieldControlsTest, DescriptionShapesControl) {
    auto record = MakeObject<tMemRecord>(3, "", "");
    record->AddField(ftInteger, 6, "", "", "###");
    record->AddField(ftDouble, 12, "", "", "");
    record->AddField(ftWord, 5, "", "", "");
    const std::int16_t low = -5, high = 50;
    record->SetLimits(1, &low, &high);
    const double dlow = -1.5, dhigh = 2.5;
    record->SetLimits(2, &dlow, &dhigh);
    record->SetDecimals(2, 3);
    record->SetFieldFormat(3, fmZeroFill | fmShowZero);
    ASSERT_TRUE(record->AllocData());

    auto integer = Make(*record, 1);
    auto* counted = dynamic_cast<TInputCountType*>(integer.get());
    ASSERT_NE(counted, nullptr);
    EXPECT_EQ(counted->MinimumValue(), -5);
    EXPECT_EQ(counted->MaximumValue(), 50);
    EXPECT_TRUE(counted->HasMask());
    EXPECT_EQ(counted->Mask, "###");

    auto real = Make(*record, 2);
    auto* floating = dynamic_cast<tInputRealTypes*>(real.get());
    ASSERT_NE(floating, nullptr);
    EXPECT_EQ(floating->Decimals, 3);
    EXPECT_TRUE(floating->HasLimits());

    auto word = Make(*record, 3);
    auto* zeros = static_cast<TAbstractInput*>(word.get());
    EXPECT_TRUE(zeros->InputOptions & ioZeroFill);
    EXPECT_TRUE(zeros->InputOptions & ioShowZero);
    EXPECT_EQ(zeros->LineText(), "00000") << "expected the text reloaded with the options";
}

// Catches a yes/no field without its radio buttons bound to the field, a code input with
// groups or digits swapped, more groups than the field has bytes for, or its zero format
// bit ignored.
TEST_F(FieldControlsTest, YesNoAndCode) {
    auto record = MakeObject<tMemRecord>(3, "", "");
    record->AddField(ftBoolean, 3, "", "", "");
    record->AddField(ftCode, 4, "", "", "");
    record->AddField(ftCode, 2, "", "", "");
    record->SetCodeParams(2, 0x0304); // four groups of three digits
    record->SetCodeParams(3, 0x0208); // eight groups of two, in two bytes
    record->SetFieldFormat(2, fmShowZero);
    ASSERT_TRUE(record->AllocData());
    const std::uint8_t yes = 1;
    record->SetField(1, &yes);

    auto choice = Make(*record, 1);
    auto* boolean = dynamic_cast<TInputBoolean*>(choice.get());
    ASSERT_NE(boolean, nullptr);
    EXPECT_EQ(boolean->Bound, record->FieldAddress(1));
    EXPECT_EQ(boolean->ClusterValue, 1) << "expected Да shown";

    auto wide = Make(*record, 2);
    auto* code = dynamic_cast<tInputCode*>(wide.get());
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->Groups, 4);
    EXPECT_EQ(code->Digits, 3);
    EXPECT_TRUE(code->InputOptions & ioShowZero);
    auto narrow = Make(*record, 3);
    code = dynamic_cast<tInputCode*>(narrow.get());
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->Groups, 2) << "expected the groups cut to the field's two bytes";
}

// Catches a yes/no field given an input with nowhere to keep its value (a crash on the first
// look at it) and a code field of no bytes given one group, which reads and writes the byte
// after the record: the guard byte after the buffer must stay, and the other fields still work.
TEST_F(FieldControlsTest, FieldsWithoutValuePlaceRefused) {
    constexpr std::uint8_t kGuard = 0xA5;
    struct tCase {
        const char* Name;
        std::uint8_t Type;
        int Length;
        std::uint32_t Flags;
        bool AddedAfterAlloc; // past the record's own buffer
        bool WithBuffer;      // a buffer of the record's size and a guard byte after it
    };
    const tCase cases[] = {
        {"yes/no with the no-storage flag", ftBoolean, 3, ffNoStorage, false, true},
        {"yes/no past the buffer", ftBoolean, 3, 0, true, false},
        {"yes/no without a data buffer", ftBoolean, 3, 0, false, false},
        {"code of no bytes", ftCode, 0, 0, false, true},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.Name);
        auto record = MakeObject<tMemRecord>(3, "", "");
        record->AddField(ftWord, 5, "", "Первое"_oem, "");
        if (!c.AddedAfterAlloc)
            record->AddField(c.Type, c.Length, "", "Второе"_oem, "");
        record->AddField(ftWord, 5, "", "Третье"_oem, "");
        if (c.AddedAfterAlloc) {
            ASSERT_TRUE(record->AllocData());
            record->AddField(c.Type, c.Length, "", "Второе"_oem, "");
        }
        const int odd = c.AddedAfterAlloc ? 3 : 2;
        if (c.Type == ftCode)
            record->SetCodeParams(odd, 0x0301);
        for (int n = 1; n <= record->FieldCount(); ++n)
            record->SetFieldFlags(n, 1 | (n == odd ? c.Flags : 0));
        std::vector<std::uint8_t> buffer;
        void* data = nullptr;
        if (c.WithBuffer) {
            buffer.assign(std::size_t(record->DataSize()) + 1, 0);
            buffer.back() = kGuard;
            data = buffer.data();
        }
        const bool withData = c.WithBuffer || c.AddedAfterAlloc;

        auto dialog = BuildRecordDialog(data, *record, 1, "Запись"_oem, 0);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->FindView([](tView* v) {
            return dynamic_cast<TInputBoolean*>(v) != nullptr ||
                   dynamic_cast<tInputCode*>(v) != nullptr;
        }),
                  nullptr)
            << "expected the field refused";
        std::vector<TInputWord*> words;
        dialog->ForEachView([&words](tView* v) {
            if (auto* word = dynamic_cast<TInputWord*>(v))
                words.push_back(word);
        });
        EXPECT_EQ(words.size(), 2u) << "expected the other fields kept";
        if (!withData)
            continue;
        for (TInputWord* word : words)
            word->SetLineText("7");
        Script({Key(kKeyEnter)});
        EXPECT_EQ(Root->RunView(dialog.get()), cmdOk);
        std::uint16_t stored = 0;
        record->GetField(1, &stored);
        EXPECT_EQ(stored, 7);
        if (c.WithBuffer) {
            EXPECT_EQ(buffer.back(), kGuard) << "expected nothing past the record touched";
        }
    }
}

// Catches a memo field given an input (there is no editor for it yet) or not keeping its six
// rows, which would shift the fields after it.
TEST_F(FieldControlsTest, MemoKeepsItsRowsEmpty) {
    auto record = MakeObject<tMemRecord>(3, "", "");
    record->AddField(ftWord, 5, "", "А"_oem, "");
    record->AddField(ftMemo, 100, "", "Б"_oem, "");
    record->AddField(ftWord, 5, "", "В"_oem, "");
    ASSERT_TRUE(record->AllocData());
    auto dialog = Build(*record, 8);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Height, 8 + 6) << "expected one page of 1 + 6 + 1 rows";
    std::vector<tView*> inputs;
    dialog->ForEachView([&](tView* v) {
        if (dynamic_cast<TAbstractInput*>(v) != nullptr)
            inputs.insert(inputs.begin(), v);
    });
    ASSERT_EQ(inputs.size(), 2u) << "expected no control for the memo";
    EXPECT_EQ(inputs[1]->Top, 9) << "expected the third field below the memo's six rows";
}

// Catches the directory chooser asked for another field, or not given the input.
TEST_F(FieldControlsTest, DirectoryCompanionHook) {
    static tView* s_Input = nullptr;
    static int s_Calls = 0;
    s_Calls = 0;
    DirectoryCompanionMaker = [](const tRect& bounds, tView* input) {
        ++s_Calls;
        s_Input = input;
        return tObjectPtr<tView>(
            new tView(MakeRect(bounds.Left, bounds.Top, bounds.Left + 3, bounds.Bottom)));
    };
    auto record = MakeParamsRecord();
    record->SetFieldFlags(3, 0);
    record->SetFieldFlags(4, 0);
    auto dialog = Build(*record, 1);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(s_Calls, 1) << "expected a chooser for the directory field only";
    EXPECT_EQ(s_Input, dialog->FirstSelectableOn(0));
    EXPECT_EQ(dialog->Width, 74) << "expected the chooser to reach column 72";
}

// Catches a required field that accepts an empty text.
TEST_F(FieldControlsTest, RequiredField) {
    auto record = MakeWordRecord(1);
    record->SetFieldFlags(1, 8 | ffRequired);
    auto dialog = Build(*record, 8);
    ASSERT_NE(dialog, nullptr);
    auto* input = static_cast<TAbstractInput*>(dialog->FirstSelectableOn(0));
    EXPECT_TRUE(input->InputOptions & ioRequired);
}

// Catches a dialog of real inputs that ends on an out-of-range number, shows no message or
// the wrong one, stores anything then, or changes the record on Отказ.
TEST_F(FieldControlsTest, RealInputsAcceptAndCancel) {
    auto record = MakeParamsRecord();
    const std::uint16_t size = 100;
    record->SetField(2, &size);
    auto dialog = Build(*record, 1);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->CurrentView, dialog->FirstSelectableOn(0));
    auto* word = dynamic_cast<TInputWord*>(
        dialog->FindView([](tView* v) { return dynamic_cast<TInputWord*>(v) != nullptr; }));
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(word->LineText(), "100");

    word->SetLineText("65536");
    Script({Key(kKeyEnter)});
    EXPECT_EQ(Root->RunView(dialog.get()), cmdCancel) << "expected the dialog kept open";
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Cp866ToUtf8(Messages[0].Text), "Число должно быть не менее 0 и не более 65535.");
    EXPECT_EQ(Messages[0].Flags, 1026);
    EXPECT_EQ(dialog->CurrentView, word) << "expected the bad field focused";
    std::uint16_t stored = 0;
    record->GetField(2, &stored);
    EXPECT_EQ(stored, 100) << "expected nothing stored";

    word->SetLineText("2048");
    Script({Key(kKeyEsc)});
    EXPECT_EQ(Root->RunView(dialog.get()), cmdCancel);
    record->GetField(2, &stored);
    EXPECT_EQ(stored, 100) << "expected Отказ to leave the record";

    word->SetLineText("2048");
    Script({Key(kKeyEnter)});
    EXPECT_EQ(Root->RunView(dialog.get()), cmdOk);
    record->GetField(2, &stored);
    EXPECT_EQ(stored, 2048) << "expected the accepted number stored";
}

} // namespace
} // namespace zarvo
