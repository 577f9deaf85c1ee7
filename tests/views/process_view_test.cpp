// Process views: the fraction read from a 6-byte real, clamped, rounded half to even into the
// bar and the percentage, the last value that moved enough, and the stored form.
#include "views/process_view.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "tests/views/dialog_test_support.h"

namespace zarvo {
namespace {

using namespace testing_dialogs;

// The 6-byte real (1 + TOP / 128) x 2^(EXPONENT - 129), with NEGATIVE for the sign: exact
// binary fractions, enough for these tests.
std::array<std::uint8_t, 6> Real48(int exponent, std::uint8_t top = 0, bool negative = false) {
    return {std::uint8_t(exponent), 0, 0, 0, 0, std::uint8_t(top | (negative ? 0x80 : 0))};
}

// Catches a wrong exponent bias, fraction byte order or sign bit.
TEST(Real48Test, Values) {
    EXPECT_EQ(Real48Value(Real48(0).data()), 0.0L);
    EXPECT_EQ(Real48Value(Real48(129).data()), 1.0L);
    EXPECT_EQ(Real48Value(Real48(128).data()), 0.5L);
    EXPECT_EQ(Real48Value(Real48(128, 0x40).data()), 0.75L);
    EXPECT_EQ(Real48Value(Real48(130, 0x40, true).data()), -3.0L);
    const std::uint8_t lowest[6] = {129, 0x01, 0, 0, 0, 0};
    EXPECT_EQ(Real48Value(lowest), 1.0L + std::ldexp(1.0L, -39)) << "the lowest byte first";
}

class ProcessViewTest : public tDialogScreen {};

// Catches a bar or percentage rounded the wrong way (halves go to even), a fraction outside
// 0..1 not clamped, or the bar not filling the width.
TEST_F(ProcessViewTest, BarAndPercentage) {
    struct tCase {
        const char* Name;
        std::array<std::uint8_t, 6> Value;
        int Width;
        std::string_view Expected;
    } cases[] = {
        {"half of 10", Real48(128), 10, "50% █████░░░░░"_oem},
        {"0.25 of 2: 0.5 cells round to 0", Real48(127), 2, "25% ░░"_oem},
        {"0.75 of 2: 1.5 cells round to 2", Real48(128, 0x40), 2, "75% ██"_oem},
        {"0.125: 12.5 % rounds to 12", Real48(126), 8, "12% █░░░░░░░"_oem},
        {"0.375: 37.5 % rounds to 38", Real48(127, 0x40), 8, "38% ███░░░░░"_oem},
        {"above 1", Real48(129, 0x40), 4, "100% ████"_oem},
        {"negative", Real48(128, 0, true), 4, "0% ░░░░"_oem},
        {"zero", Real48(0), 4, "0% ░░░░"_oem},
    };
    for (const tCase& c : cases) {
        tDialog* dialog = AddDialog();
        auto* view = new tProcessView(MakeRect(2, 2, 2 + c.Width, 3), "%d%% %s");
        dialog->InsertView(view);
        EXPECT_EQ(view->DataLength(), 6);
        view->ImportData(c.Value.data());
        view->Repaint();
        EXPECT_EQ(view->CurrentText(), c.Expected) << c.Name;
        FreeObject(dialog);
    }
}

// Catches the view not drawing its formatted text (wrapped like any static text), a bar
// longer than 80 characters, and a stored format whose directives do not match the two
// parameters reading the percentage as an address.
TEST_F(ProcessViewTest, DrawnCutAndMismatched) {
    tDialog* dialog = AddDialog();
    auto* view = new tProcessView(MakeRect(2, 2, 22, 4), "%3d%% %s");
    dialog->InsertView(view);
    auto half = Real48(128);
    view->ImportData(half.data());
    view->Repaint();
    EXPECT_EQ(Block(2, 2, 20, 2),
              (std::vector<std::string>{" 50%                ", "██████████░░░░░░░░░░"}));
    EXPECT_EQ(AttrAt(2, 3), 0x70);
    tProcessView wide(MakeRect(0, 3, 100, 4), "%d %s");
    wide.ImportData(half.data());
    wide.Draw();
    EXPECT_EQ(wide.CurrentText().size(), 3u + 80u) << "the bar cut to 80 characters";
    tProcessView mismatched(MakeRect(0, 3, 10, 4), "%s|%d|%s");
    mismatched.ImportData(half.data());
    mismatched.Draw();
    EXPECT_EQ(mismatched.CurrentText(), "50|0|%s");
    tProcessView none(MakeRect(0, 3, 4, 4), "%d%%");
    none.Draw();
    EXPECT_EQ(none.CurrentText(), "0%") << "without a fraction yet";
}

// Catches the last value following every small step instead of steps of at least 0.009.
TEST_F(ProcessViewTest, LastValueMovesInSteps) {
    tProcessView view(MakeRect(0, 0, 10, 1), "%d");
    auto half = Real48(128);
    auto slightlyMore = Real48(128, 0x01);   // 0.5 + 1/256
    auto noticeablyMore = Real48(128, 0x04); // 0.5 + 1/64
    view.ImportData(half.data());
    view.Draw();
    EXPECT_EQ(view.LastValue, 0.5L);
    view.ImportData(slightlyMore.data());
    view.Draw();
    EXPECT_EQ(view.LastValue, 0.5L) << "moved by less than 0.009";
    view.ImportData(noticeablyMore.data());
    view.Draw();
    EXPECT_EQ(view.LastValue, 0.515625L);
}

// Catches a process view stored under another id or losing its text and count; and a stored
// parameter count larger than the two parameters read past them.
TEST(ProcessViewStream, RoundTrip) {
    RegisterViewStreamClasses();
    RegisterDialogStreamClasses();
    tProcessView stored(MakeRect(1, 1, 21, 2), "%d%% %s %d %d");
    stored.ParamCount = 9;
    EXPECT_EQ(stored.StoreID(), 248);
    tMemoryStream out;
    Put(out, &stored);
    tMemoryStream in(out.Bytes());
    tObjectPtr<tSObject> object(Get(in));
    ASSERT_EQ(in.Status, stOk);
    auto* view = dynamic_cast<tProcessView*>(object.get());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Text, "%d%% %s %d %d");
    EXPECT_EQ(view->ParamCount, 9);
    auto quarter = Real48(127);
    view->ImportData(quarter.data());
    view->Draw();
    EXPECT_EQ(view->CurrentText(), "25% █████░░░░░░░░░░░░░░░ %d %d"_oem);
    ClearError();
}

} // namespace
} // namespace zarvo
