// Senses: a code input resolved against a list when it validates (found, not found, empty
// in each mode), the chooser opened by Down and by a click on the display line, the idle
// refresh, a display-only sense that must be filled, and inputs freed before their sense.
#include "record_inputs/sense.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "platform/cp866.h"
#include "record_inputs/count_input.h"
#include "tests/record_inputs/typed_input_support.h"

namespace zarvo {
namespace {

using namespace testing_typed;

tObjectPtr<tStringCollection> Names() {
    // In code order, as the field type names are kept: not sorted.
    auto names = MakeObject<tStringCollection>(4, 4);
    for (std::string_view name : {"  Строка "_oem, std::string_view(), "Дата"_oem})
        names->InsertAt(names->Count, tStringCollection::NewItem(name));
    return names;
}

class SenseTest : public tTypedScreen {
  protected:
    // A word input for the code, its display line and the list sense between them.
    void Build(std::uint8_t mode) {
        Input = Place(new TInputWord(MakeRect(1, 1, 6, 2), 3), &Code);
        Display = new tInputLine(MakeRect(10, 1, 30, 2), 20);
        Box->InsertView(Display);
        Sense = new TListSense(MakeRect(6, 1, 9, 2), Display, 0, Input, Names());
        Sense->Mode = mode;
        Box->InsertView(Sense);
        Input->SelectView();
    }
    std::uint16_t Code = 0;
    TInputWord* Input = nullptr;
    tInputLine* Display = nullptr;
    TListSense* Sense = nullptr;
};

// Catches a code that names no item let through, an empty code refused where the mode
// allows it (or let through where it does not), the wrong message, or the display not
// showing the trimmed name.
TEST_F(SenseTest, ResolvesTheInputWhenItValidates) {
    struct tCase {
        const char* Name;
        std::uint8_t Mode;
        std::string Text;
        bool Valid;
        std::string Shown;
        std::string Message;
    };
    const std::string notFound2 =
        std::string("Значение поля с кодом 2 отсутствует в справочнике"_oem);
    const std::string empty = std::string("Необходимо заполнить поле."_oem);
    const tCase cases[] = {
        {"found", smNormal, "1", true, std::string("Строка"_oem), ""},
        {"empty item", smNormal, "2", false, "", notFound2},
        {"empty normal", smNormal, "", true, "", ""},
        {"empty required", smRequired, "", false, "", empty},
        {"found required", smRequired, "3", true, std::string("Дата"_oem), ""},
        {"convert only", smConvertOnly, "2", true, "", ""},
        {"bad number", smNormal, "70000", false, "", ""},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Build(c.Mode);
        Input->SetLineText(c.Text);
        Display->SetLineText("old");
        EXPECT_EQ(Input->Valid(cmdValidateField), c.Valid);
        EXPECT_EQ(Display->LineText(), c.Shown);
        if (c.Valid) {
            EXPECT_TRUE(Asked().empty());
        } else {
            ASSERT_EQ(Asked().size(), 1u) << "expected one message";
            if (!c.Message.empty()) {
                EXPECT_EQ(Asked()[0].Text, c.Message);
            }
            EXPECT_EQ(Sense->ErrorState, seNone) << "the state is reset once shown";
        }
        FreeObject(Sense);
        FreeObject(Display);
        FreeObject(Input);
        Asked().clear();
    }
}

// Catches Down not opening the list, a picked item not becoming the code and the name, the
// chosen broadcast missing, or the bound value written by choosing.
TEST_F(SenseTest, DownChoosesFromTheList) {
    Build(smNormal);
    Input->SetLineText("1");
    std::vector<std::uint16_t> broadcasts;
    Root->Script = {Key(kKeyDown), Key(kKeyEnter), Key(kKeyDown), Key(kKeyDown), Key(kKeyEnter)};
    TEventRec down = Key(kKeyDown);
    Box->HandleEvent(down);
    EXPECT_EQ(down.what, evtNothing) << "the sense takes Down in post-processing";
    EXPECT_EQ(Input->LineText(), "1") << "the empty item 2 picked: nothing chosen";
    TEventRec again = Key(kKeyDown);
    Box->HandleEvent(again);
    EXPECT_EQ(Input->LineText(), "3") << "the list starts at the current code";
    EXPECT_EQ(Display->LineText(), "Дата"_oem);
    EXPECT_EQ(Sense->Current, 2);
    EXPECT_EQ(Code, 0) << "choosing stores nothing";
    EXPECT_EQ(Box->CurrentView, Input);
}

// Catches the idle refresh not showing the name for the loaded code, or running twice.
TEST_F(SenseTest, IdleRefreshShowsTheName) {
    Code = 3;
    Build(smNormal);
    Input->ImportData(&Code);
    TEventRec idle;
    idle.what = evtIdle;
    Sense->HandleEvent(idle);
    EXPECT_EQ(idle.what, evtNothing);
    EXPECT_EQ(Display->LineText(), "Дата"_oem);
    EXPECT_FALSE(Sense->RefreshPending);
    TEventRec again;
    again.what = evtIdle;
    Sense->HandleEvent(again);
    EXPECT_EQ(again.what, evtIdle) << "nothing pending: the idle event goes on";
}

// A display-only sense whose chooser puts a fixed text in its text place.
class tFixedSense : public TAbstractSense {
  public:
    using TAbstractSense::TAbstractSense;
    void RunChooser(std::uint16_t& command) override {
        ++Runs;
        if (TextPlace != nullptr)
            std::strcpy(TextPlace, "/srv");
        ShowInDisplay("/srv");
        command = cmdOk;
    }
    int Runs = 0;
};

// Catches a required display-only sense let through empty, a click on its display line
// not reaching the chooser, or Del not clearing the value.
TEST_F(SenseTest, DisplayOnlySense) {
    char place[21] = "";
    auto* display = new TSenseInput(MakeRect(1, 1, 20, 2), 20);
    Box->InsertView(display);
    auto* sense = new tFixedSense(MakeRect(20, 1, 23, 2), display, 20, nullptr);
    sense->Mode = smRequired;
    Box->InsertView(sense);
    sense->ImportData(place);
    EXPECT_EQ(sense->DataLength(), 21);
    EXPECT_FALSE(display->Valid(cmdValidateAll));
    ASSERT_EQ(Asked().size(), 1u);
    EXPECT_EQ(Asked()[0].Text, "Необходимо заполнить поле."_oem);

    Root->Script = {Mouse(evtMouseDown, 3, 1), Mouse(evtMouseUp, 3, 1)};
    Root->RunView(Box);
    EXPECT_EQ(sense->Runs, 1) << "expected the click on the display to choose";
    EXPECT_STREQ(place, "/srv");
    EXPECT_EQ(Box->CurrentView, display);
    EXPECT_TRUE(display->Valid(cmdValidateAll));

    EXPECT_TRUE(Press(Box, kKeyDel));
    EXPECT_STREQ(place, "") << "Del on the focused display clears the value";
}

// Catches a sense still using an input or display freed before it.
TEST_F(SenseTest, ForgetsFreedViews) {
    Build(smNormal);
    FreeObject(Input);
    FreeObject(Display);
    EXPECT_EQ(Sense->Input, nullptr);
    EXPECT_EQ(Sense->Display, nullptr);
    TEventRec idle;
    idle.what = evtIdle;
    Sense->HandleEvent(idle);
    Root->Script = {Mouse(evtMouseDown, 7, 1), Mouse(evtMouseUp, 7, 1)};
    Root->RunView(Box);
    EXPECT_TRUE(Asked().empty());
}

} // namespace
} // namespace zarvo
