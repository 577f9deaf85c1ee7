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
    }
    void TearDown() override { ClearError(); }
};

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
