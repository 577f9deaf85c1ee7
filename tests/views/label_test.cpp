// Labels: the look (hot letter, light while the link is focused, disabled, centred, markers on
// the first line only), focusing the link by click, Alt key or plain letter, the current
// control's refusal to let go, and a link freed before the label.
#include "views/label.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "tests/views/dialog_test_support.h"

namespace zarvo {
namespace {

using namespace testing_dialogs;

// A selectable control that answers Valid(cmdValidateField) as told and may eat typed keys.
class tField : public tView {
  public:
    explicit tField(const tRect& bounds) : tView(bounds) { OptionFlags |= ViewOption::Selectable; }
    bool Valid(std::uint16_t command) override {
        if (command == cmdValidateField)
            ++Asked;
        return command == cmdValidateField ? Agrees : tView::Valid(command);
    }
    void HandleEvent(TEventRec& event) override {
        tView::HandleEvent(event);
        if (EatsKeys && event.what == evtKeyDown)
            ConsumeEvent(event);
    }
    bool Agrees = true;
    bool EatsKeys = false;
    int Asked = 0;
};

class LabelTest : public tDialogScreen {
  protected:
    // A dialog with a label "~И~мя" at (2, 2) linked to LINK at (14, 2), and another field at
    // (14, 4) that has the focus.
    void Setup(std::string_view text = "~И~мя"_oem, int width = 10, int height = 1) {
        Dialog = AddDialog();
        Link = new tField(MakeRect(14, 2, 20, 3));
        Other = new tField(MakeRect(14, 4, 20, 5));
        Label = new tLabel(MakeRect(2, 2, 2 + width, 2 + height), text, Link);
        Dialog->InsertView(Link);
        Dialog->InsertView(Other);
        Dialog->InsertView(Label);
        Other->SelectView();
    }
    tDialog* Dialog = nullptr;
    tField* Link = nullptr;
    tField* Other = nullptr;
    tLabel* Label = nullptr;
};

// Catches the text not starting at column 1, wrong colours for normal, light and disabled
// labels, a centred line off centre, or markers on every line instead of the first.
TEST_F(LabelTest, Look) {
    enum tState { Normal, Light, Disabled };
    struct tCase {
        const char* Name;
        std::string_view Text;
        int Width, Height;
        tState State;
        bool Markers;
        std::vector<std::string> Rows;
        int HotColumn;
        std::uint8_t TextAttr, HotAttr;
    } cases[] = {
        {"normal", "~И~мя"_oem, 10, 1, Normal, false, {" Имя      "}, 1, 0x70, 0x7E},
        {"light", "~И~мя"_oem, 10, 1, Light, false, {" Имя      "}, 1, 0x7F, 0x7E},
        {"disabled", "~И~мя"_oem, 10, 1, Disabled, false, {" Имя      "}, 1, 0x78, 0x78},
        {"centred", "\x03~И~мя"_oem, 10, 1, Normal, false, {"    Имя   "}, 4, 0x70, 0x7E},
        {"markers, light, two lines",
         "~И~мя файла"_oem,
         7,
         2,
         Light,
         true,
         {"►Имя   ", " файла "},
         1,
         0x7F,
         0x7E},
        {"markers, normal", "~И~мя"_oem, 6, 1, Normal, true, {" Имя  "}, 1, 0x70, 0x7E},
    };
    for (const tCase& c : cases) {
        ShowMarkers = c.Markers;
        Setup(c.Text, c.Width, c.Height);
        if (c.State == Light)
            Link->SelectView();
        if (c.State == Disabled)
            Label->ChangeState(ViewState::Disabled, true);
        Label->Repaint();
        EXPECT_EQ(Block(2, 2, c.Width, c.Height), c.Rows) << c.Name;
        EXPECT_EQ(AttrAt(2 + c.HotColumn, 2), c.HotAttr) << c.Name << ": hot letter";
        EXPECT_EQ(AttrAt(2 + c.HotColumn + 1, 2), c.TextAttr) << c.Name << ": text";
        FreeObject(Dialog);
        ShowMarkers = false;
    }
}

// Catches a label that does not focus its link by a click, its Alt key (either layout's key
// position) or its plain letter after the current control, takes a letter the current control
// ate, or moves the focus past a control that refuses to let go (the event is eaten then).
TEST_F(LabelTest, FocusesTheLink) {
    enum tHow { Click, AltKey, PlainLetter };
    struct tCase {
        const char* Name;
        tHow How;
        bool Agrees;
        bool EatsKeys;
        bool Focused; // the link afterwards
        bool Consumed;
    } cases[] = {
        {"click", Click, true, false, true, true},
        {"Alt + the key of И (B)", AltKey, true, false, true, true},
        {"typed и after the current control", PlainLetter, true, false, true, true},
        {"typed и eaten by the current control", PlainLetter, true, true, false, true},
        {"click, current refuses", Click, false, false, false, true},
        {"Alt key, current refuses", AltKey, false, false, false, true},
        {"typed и, current refuses", PlainLetter, false, false, false, true},
    };
    for (const tCase& c : cases) {
        Setup();
        Other->Agrees = c.Agrees;
        Other->EatsKeys = c.EatsKeys;
        TEventRec event = c.How == Click    ? Mouse(evtMouseDown, 4, 2)
                          : c.How == AltKey ? Key(kKeyAltB)
                                            : Key(0x00A8);
        Root->HandleEvent(event);
        EXPECT_EQ(Link->HasState(ViewState::Focused), c.Focused) << c.Name;
        EXPECT_EQ(event.what == evtNothing, c.Consumed) << c.Name;
        if (!c.Agrees) {
            EXPECT_GE(Other->Asked, 1) << c.Name << ": the current control was asked";
        }
        FreeObject(Dialog);
    }
}

// Catches a label that takes other keys, or fails to eat its key when it has no link or a link
// that cannot be selected.
TEST_F(LabelTest, WithoutAUsableLink) {
    for (bool freed : {false, true}) {
        Setup();
        Link->OptionFlags &= ~ViewOption::Selectable;
        if (freed)
            FreeObject(Link);
        TEventRec alt = Key(kKeyAltB);
        Dialog->HandleEvent(alt);
        EXPECT_EQ(alt.what, evtNothing) << freed << ": the hot key is eaten";
        EXPECT_EQ(Dialog->CurrentView, Other) << freed;
        TEventRec other = Key(kKeyAltA);
        Dialog->HandleEvent(other);
        EXPECT_EQ(other.what, evtKeyDown) << freed << ": another key is left alone";
        FreeObject(Dialog);
    }
}

// Catches a label that does not follow its link's focus, or keeps a freed link and touches it
// at the next focus change.
TEST_F(LabelTest, LightFollowsTheLinkAndLetsGoOfIt) {
    Setup();
    EXPECT_FALSE(Label->IsLight);
    Link->SelectView();
    EXPECT_TRUE(Label->IsLight);
    EXPECT_EQ(AttrAt(4, 2), 0x7F) << "drawn light";
    Other->SelectView();
    EXPECT_FALSE(Label->IsLight);
    EXPECT_EQ(AttrAt(4, 2), 0x70) << "drawn normal again";
    FreeObject(Link);
    EXPECT_EQ(Label->Link, nullptr);
    auto* third = new tField(MakeRect(14, 6, 20, 7));
    Dialog->InsertView(third);
    third->SelectView();
    EXPECT_FALSE(Label->IsLight);
}

// Catches the designer's blank label made with other defaults.
TEST(LabelDefaults, BlankLabel) {
    tLabel label;
    EXPECT_EQ(label.BoundsRect(), MakeRect(0, 0, 10, 2));
    EXPECT_EQ(label.Text, "Метка"_oem);
    EXPECT_EQ(label.Link, nullptr);
    EXPECT_TRUE(label.HasOption(ViewOption::PreProcess | ViewOption::PostProcess));
    EXPECT_FALSE(label.HasOption(ViewOption::Selectable));
    EXPECT_TRUE(label.AcceptMask & evtBroadcast);
}

} // namespace
} // namespace zarvo
