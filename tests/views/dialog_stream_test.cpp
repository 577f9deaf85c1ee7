// The stored form of a whole dialog of controls: every control back in its place, the label's
// link to a later subview found again and watched, the current control, the data record laid
// out through the controls; and damaged dialogs giving nil and a stream error.
#include <gtest/gtest.h>

#include <algorithm>

#include "diagnostics/pending_error.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "platform/cp866.h"
#include "views/button.h"
#include "views/cluster.h"
#include "views/dialog.h"
#include "views/frame.h"
#include "views/history.h"
#include "views/input_line.h"
#include "views/label.h"
#include "views/process_view.h"
#include "views/static_text.h"

namespace zarvo {
namespace {

constexpr std::string_view kLabelText = "~И~мя-метка"_oem;

// A dialog filled front to back: cancel, OK (the default button), two check boxes, a label
// linked to the radio buttons after it, the radio buttons (current), a static text, a
// parameter text and a process view; the frame last.
struct tStoredDialog {
    tStoredDialog() {
        Dialog.reset(new tDialog(MakeRect(5, 3, 55, 17), "Поиск"_oem));
        Dialog->tInsert(new tButton(MakeRect(2, 11, 12, 13), "Отмена"_oem, cmdCancel, 0));
        Dialog->tInsert(
            new tButton(MakeRect(14, 11, 24, 13), "~Д~а"_oem, cmdOk, ButtonFlag::IsDefaultButton));
        Dialog->tInsert(new tCheckBoxes(MakeRect(2, 2, 20, 4),
                                        NewSItem("~С~лово", NewSItem("~Р~егистр"_oem, nullptr))));
        Radio = new tRadioButtons(MakeRect(2, 6, 20, 9),
                                  NewSItem("~В~перёд"_oem, NewSItem("~Н~азад"_oem, nullptr)));
        Label = new tLabel(MakeRect(2, 5, 20, 6), kLabelText, Radio);
        Dialog->tInsert(Label);
        Dialog->tInsert(Radio);
        Dialog->tInsert(new tStaticText(MakeRect(22, 2, 48, 4), "Текст"_oem));
        Dialog->tInsert(new tParamText(MakeRect(22, 5, 48, 6), "%d из %d"_oem, 2));
        Dialog->tInsert(new tProcessView(MakeRect(22, 7, 48, 8), "%d%% %s"));
        Radio->SelectView();
    }
    std::vector<std::uint8_t> Bytes() {
        tMemoryStream s;
        Put(s, Dialog.get());
        EXPECT_EQ(s.Status, stOk);
        return s.Bytes();
    }
    tObjectPtr<tDialog> Dialog;
    tRadioButtons* Radio = nullptr;
    tLabel* Label = nullptr;
};

class DialogStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterLibraryStreamClasses();
        RegisterViewStreamClasses();
        RegisterWindowStreamClasses();
        RegisterDialogStreamClasses();
        RegisterInputStreamClasses();
    }
    void TearDown() override { ClearError(); }
};

// Catches the find dialog (cancel, OK as the default button, two check boxes, a history button
// and a label both naming the input line after them, the input line, the frame) coming back
// with its references, its current control or its 83-byte data record wrong.
TEST_F(DialogStreamTest, FindDialog) {
    tObjectPtr<tDialog> stored(new tDialog(MakeRect(0, 0, 40, 12), "Найти"_oem));
    auto* input = new tInputLine(MakeRect(3, 3, 34, 4), 80);
    stored->tInsert(new tButton(MakeRect(20, 9, 30, 11), "Отмена"_oem, cmdCancel, 0));
    stored->tInsert(
        new tButton(MakeRect(8, 9, 18, 11), "~Д~а"_oem, cmdOk, ButtonFlag::IsDefaultButton));
    stored->tInsert(new tCheckBoxes(MakeRect(3, 5, 36, 7),
                                    NewSItem("~С~лово"_oem, NewSItem("~Р~егистр"_oem, nullptr))));
    stored->tInsert(new tHistory(MakeRect(34, 3, 37, 4), input, 1));
    stored->tInsert(new tLabel(MakeRect(2, 2, 20, 3), "~Т~екст"_oem, input));
    stored->tInsert(input);
    input->SelectView();
    tMemoryStream out;
    Put(out, stored.get());
    ASSERT_EQ(out.Status, stOk);

    tMemoryStream in(out.Bytes());
    tObjectPtr<tSObject> object(Get(in));
    ASSERT_EQ(in.Status, stOk);
    auto* dialog = dynamic_cast<tDialog*>(object.get());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->WindowFlags, 5);
    EXPECT_EQ(dialog->ColorScheme, 2);
    EXPECT_EQ(dialog->IndexOfView(dialog->Frame), 7);
    EXPECT_EQ(dialog->IndexOfView(dialog->CurrentView), 6);
    auto* loadedInput = dynamic_cast<tInputLine*>(dialog->ViewAt(6));
    ASSERT_NE(loadedInput, nullptr);
    EXPECT_EQ(loadedInput->MaxLength, 80);
    auto* history = dynamic_cast<tHistory*>(dialog->ViewAt(4));
    auto* label = dynamic_cast<tLabel*>(dialog->ViewAt(5));
    ASSERT_NE(history, nullptr);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(history->Link, loadedInput);
    EXPECT_EQ(label->Link, loadedInput);
    ASSERT_EQ(dialog->DataLength(), 83);
    std::vector<std::uint8_t> record(83, 0);
    record[0] = 3;
    record[1] = 'a';
    record[2] = 'b';
    record[3] = 'c';
    record[81] = 0x02;
    dialog->ImportData(record.data());
    EXPECT_EQ(dynamic_cast<tCheckBoxes*>(dialog->ViewAt(3))->ClusterValue, 2)
        << "the check boxes' two bytes after the input line's 81";
    std::vector<std::uint8_t> exported(83, 0xEE);
    dialog->ExportData(exported.data());
    EXPECT_EQ(exported[0], 3) << "the input line's text first";
    EXPECT_EQ(exported[3], 'c');
    EXPECT_EQ(exported[81], 0x02);
    EXPECT_EQ(exported[82], 0x00);
}

// Catches controls lost or reordered, a label link not found again (or found but not watched),
// the current control forgotten, and a data record laid out differently from the original.
TEST_F(DialogStreamTest, RoundTrip) {
    tStoredDialog stored;
    tMemoryStream s(stored.Bytes());
    tObjectPtr<tSObject> object(Get(s));
    ASSERT_EQ(s.Status, stOk);
    auto* dialog = dynamic_cast<tDialog*>(object.get());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Title, "Поиск"_oem);
    EXPECT_EQ(dialog->ColorScheme, WindowScheme::Gray);
    int index = 1;
    for (tView* v = dialog->FirstView(); v != nullptr; v = v->Following(), ++index)
        EXPECT_EQ(typeid(*v), typeid(*stored.Dialog->ViewAt(index))) << "subview " << index;
    EXPECT_EQ(index, stored.Dialog->IndexOfView(stored.Dialog->LastView) + 1);
    const int radioIndex = stored.Dialog->IndexOfView(stored.Radio);
    auto* label = dynamic_cast<tLabel*>(dialog->ViewAt(stored.Dialog->IndexOfView(stored.Label)));
    auto* radio = dynamic_cast<tRadioButtons*>(dialog->ViewAt(radioIndex));
    ASSERT_NE(label, nullptr);
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(label->Link, radio) << "the link to a later subview found again";
    EXPECT_EQ(dialog->CurrentView, radio);
    EXPECT_EQ(radio->ItemText(1), "~Н~азад"_oem);
    auto* ok = dynamic_cast<tButton*>(dialog->ViewAt(2));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->ButtonFlags, ButtonFlag::IsDefaultButton);

    ASSERT_EQ(dialog->DataLength(), stored.Dialog->DataLength());
    EXPECT_EQ(dialog->DataLength(), 6 + 2 * sizeof(tTextParam) + 2 + 2);
    std::vector<std::uint8_t> record(dialog->DataLength(), 0);
    const std::size_t radioAt = 6 + 2 * sizeof(tTextParam);
    record[radioAt] = 1;     // the radio buttons come after the process view and parameters
    record[radioAt + 2] = 2; // then the check boxes
    dialog->ImportData(record.data());
    EXPECT_EQ(radio->ClusterValue, 1);
    EXPECT_EQ(dynamic_cast<tCheckBoxes*>(dialog->ViewAt(3))->ClusterValue, 2);
    std::vector<std::uint8_t> exported(record.size(), 0xEE);
    dialog->ExportData(exported.data());
    EXPECT_EQ(exported[radioAt], 1);
    EXPECT_EQ(exported[radioAt + 2], 2);

    FreeObject(radio);
    EXPECT_EQ(label->Link, nullptr) << "a loaded link is watched too";
}

// Catches a label reference past the subviews (or negative) trusted, and a dialog cut anywhere
// read as a half-built dialog.
TEST_F(DialogStreamTest, DamagedDialogsGiveNil) {
    tStoredDialog stored;
    std::vector<std::uint8_t> good = stored.Bytes();
    const std::vector<std::uint8_t> labelBytes(kLabelText.begin(), kLabelText.end());
    auto at = std::search(good.begin(), good.end(), labelBytes.begin(), labelBytes.end());
    ASSERT_NE(at, good.end());
    std::size_t linkAt = std::size_t(at - good.begin()) + kLabelText.size();
    ASSERT_EQ(good[linkAt], stored.Dialog->IndexOfView(stored.Radio)) << "the link follows";
    std::vector<std::vector<std::uint8_t>> damaged;
    for (std::int16_t bad : {std::int16_t(99), std::int16_t(-2)}) {
        std::vector<std::uint8_t> bytes = good;
        bytes[linkAt] = std::uint8_t(bad);
        bytes[linkAt + 1] = std::uint8_t(std::uint16_t(bad) >> 8);
        damaged.push_back(bytes);
    }
    for (std::size_t length = 0; length < good.size(); length += 3)
        damaged.emplace_back(good.begin(), good.begin() + std::ptrdiff_t(length));
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        tMemoryStream s(damaged[i]);
        tSObject* object = Get(s);
        EXPECT_EQ(object, nullptr) << "case " << i;
        EXPECT_NE(s.Status, stOk) << "case " << i;
        FreeObject(object);
        ClearError();
    }
}

} // namespace
} // namespace zarvo
