// The input history: the store's order, counts, deletion, limit and life span; the history
// button's look, when it records the line, the window's place, the choice by Enter, double
// click, Esc and the close icon, Del in the list, a line freed before its button; the drop
// window's endings; and the stored forms of the button and the entries.
#include "views/history.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "tests/views/input_test_support.h"
#include "views/history_store.h"
#include "views/history_window.h"
#include "views/input_line.h"
#include "views/scroll_bar.h"
#include "views/window.h"

namespace zarvo {
namespace {

using namespace testing_input;

std::vector<std::string> Texts(std::uint8_t id) {
    std::vector<std::string> texts;
    for (int i = 0; i < HistoryCount(id); ++i)
        texts.push_back(HistoryStr(id, i));
    return texts;
}

class HistoryStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { InitHistory(); }
    void TearDown() override {
        DoneHistory();
        HistoryLimit = kMaxCollectionSize;
    }
};

// Catches a wrong order, a text recorded twice, ids mixed up, or answers past the end.
TEST_F(HistoryStoreTest, OrderAndCounts) {
    HistoryAdd(1, "abc");
    HistoryAdd(2, "x");
    HistoryAdd(1, "def");
    HistoryAdd(1, "abc");
    HistoryAdd(1, "");
    EXPECT_EQ(HistoryCount(1), 2);
    EXPECT_EQ(Texts(1), (std::vector<std::string>{"abc", "def"})) << "most recent first";
    EXPECT_EQ(HistoryStr(1, 2), "");
    EXPECT_EQ(HistoryStr(1, -1), "");
    EXPECT_EQ(Texts(2), (std::vector<std::string>{"x"}));
    EXPECT_EQ(HistoryList->Count, 3) << "an empty text is not recorded";
    HistoryAdd(1, "ABC");
    EXPECT_EQ(HistoryCount(1), 3) << "texts compare byte for byte";
    HistoryAdd(1, std::string(300, 'z'));
    EXPECT_EQ(HistoryStr(1, 0).size(), 255u) << "a short string at most";
}

// Catches Del removing the wrong entry, an entry of another id, or acting on nothing.
TEST_F(HistoryStoreTest, Delete) {
    for (const char* text : {"abc", "def", "abc"})
        HistoryAdd(1, text);
    HistoryAdd(2, "def");
    HistoryDelete(1, "def");
    EXPECT_EQ(Texts(1), (std::vector<std::string>{"abc"}));
    EXPECT_EQ(Texts(2), (std::vector<std::string>{"def"})) << "other ids keep their texts";
    HistoryDelete(1, "");
    HistoryDelete(1, "none");
    EXPECT_EQ(HistoryCount(1), 1);
}

// Catches a store that grows until the collection stops the program, or that drops the
// wrong entries when full.
TEST_F(HistoryStoreTest, LimitDropsTheLeastRecentlyUsed) {
    HistoryLimit = 3;
    HistoryAdd(1, "a");
    HistoryAdd(2, "b");
    HistoryAdd(1, "c");
    HistoryAdd(1, "a"); // used again: now the most recent
    HistoryAdd(1, "d");
    EXPECT_EQ(HistoryList->Count, 3);
    EXPECT_EQ(Texts(1), (std::vector<std::string>{"d", "a", "c"})) << "b went first";
    EXPECT_EQ(HistoryCount(2), 0);
}

// Catches store operations acting (or faulting) outside InitHistory .. DoneHistory.
TEST(HistoryStoreLife, NothingOutsideItsSpan) {
    DoneHistory();
    HistoryAdd(1, "abc");
    HistoryDelete(1, "abc");
    ClearHistory();
    EXPECT_EQ(HistoryCount(1), 0);
    EXPECT_EQ(HistoryStr(1, 0), "");
    InitHistory();
    HistoryAdd(1, "abc");
    InitHistory();
    EXPECT_EQ(HistoryCount(1), 0) << "a second start clears";
    DoneHistory();
    EXPECT_EQ(HistoryList, nullptr);
}

// Catches an entry's id or text lost on the way through a stream, or an empty text.
TEST(HistoryObjectStream, RoundTrip) {
    RegisterInputStreamClasses();
    for (std::string_view text : {std::string_view("Путь"_oem), std::string_view("")}) {
        tHistoryObject entry(7, text);
        tMemoryStream out;
        Put(out, &entry);
        tMemoryStream in(out.Bytes());
        tObjectPtr<tSObject> loaded(Get(in));
        auto* back = dynamic_cast<tHistoryObject*>(loaded.get());
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->HistoryId, 7);
        EXPECT_EQ(back->Text, text);
        EXPECT_EQ(back->StoreID(), 10011);
    }
}

// A button that remembers the bounds its window was given.
class tProbeHistory : public tHistory {
  public:
    using tHistory::tHistory;
    tHistoryWindow* MakeHistoryWindow(const tRect& bounds) override {
        Bounds = bounds;
        ++Made;
        return Refuse ? nullptr : tHistory::MakeHistoryWindow(bounds);
    }
    tRect Bounds;
    int Made = 0;
    bool Refuse = false;
};

class HistoryButtonTest : public tInputScreen {
  protected:
    void SetUp() override {
        tInputScreen::SetUp();
        InitHistory();
        Line = new tInputLine(MakeRect(5, 2, 25, 3), 10);
        Box->InsertView(Line);
        Button = new tProbeHistory(MakeRect(25, 2, 28, 3), Line, 0x0101);
        Box->InsertView(Button);
        Other = new tInputLine(MakeRect(5, 5, 25, 6), 10);
        Box->InsertView(Other);
        Other->SelectView();
    }
    void TearDown() override {
        DoneHistory();
        tInputScreen::TearDown();
    }
    // Presses the button with the mouse while SCRIPT plays; what the window showed.
    std::vector<std::string> Click(std::initializer_list<TEventRec> script) {
        Root->Script = script;
        std::vector<std::string> shown;
        Root->OnFetch = [&] {
            if (!shown.empty())
                return;
            for (int y = 1; y < 9; ++y)
                shown.push_back(Cells(y, 4, 22));
            FocusAttr = AttrAt(6, 3);
            PlainAttr = AttrAt(6, 2);
        };
        TEventRec press = Mouse(evtMouseDown, 26, 2);
        Root->HandleEvent(press);
        Root->OnFetch = nullptr;
        EXPECT_EQ(press.what, evtNothing) << "the press is consumed";
        return shown;
    }
    tInputLine* Line = nullptr;
    tProbeHistory* Button = nullptr;
    tInputLine* Other = nullptr;
    std::uint8_t FocusAttr = 0; // of the window's third row, then its second
    std::uint8_t PlainAttr = 0;
};

// Catches the icon's characters or its two colours drawn wrongly.
TEST_F(HistoryButtonTest, Looks) {
    EXPECT_EQ(Cells(2, 25, 3), "▐↓▌");
    EXPECT_EQ(AttrAt(25, 2), Gray(23)) << "sides";
    EXPECT_EQ(AttrAt(26, 2), Gray(22)) << "arrow";
    EXPECT_EQ(AttrAt(27, 2), Gray(23));
}

// Catches the window opened in the wrong place or with the wrong entries and focus, the
// line not focused first, or the chosen text not copied, cut and selected.
TEST_F(HistoryButtonTest, EnterCopiesTheFocusedEntry) {
    HistoryAdd(1, "ghi");
    HistoryAdd(1, "a text longer than ten");
    HistoryAdd(1, "def");
    Line->SetLineText("abc");
    std::vector<std::string> shown = Click({Key(kKeyDown), Key(kKeyEnter)});
    EXPECT_EQ(Button->Bounds, MakeRect(4, 1, 26, 9));
    ASSERT_EQ(shown.size(), 8u);
    const std::vector<std::string> expected = {
        "╔═[■]════════════════╗", //
        "║ abc                ▲", // the line's own text heads the list
        "║ def                ▒", //
        "║ a text longer than ■", //
        "║ ghi                ▒", //
        "║                    ▒", //
        "║                    ▼", //
        "╚═◄■▒▒▒▒▒▒▒▒▒▒▒▒▒▒▒►═╝", //
    };
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(FocusAttr, Gray(20)) << "the focused entry, def, in the dialog's entry 20";
    EXPECT_EQ(PlainAttr, Gray(19));
    EXPECT_TRUE(Line->HasState(ViewState::Focused)) << "the line is focused first";
    EXPECT_EQ(Line->LineText(), "a text lon") << "Down moved to the third; cut to MaxLength";
    EXPECT_EQ(Line->SelStart, 0);
    EXPECT_EQ(Line->SelEnd, 10) << "the whole line selected";
    EXPECT_EQ(Texts(1).front(), "abc") << "opening recorded the line's text";
    EXPECT_EQ(Box->IndexOfView(Line), 3) << "the window is gone from the dialog";
    EXPECT_EQ(Box->FirstView(), Other);
}

// Catches choices by double click or Down on the line failing, and Esc or the close icon
// changing the line.
TEST_F(HistoryButtonTest, OtherWaysToChooseOrCancel) {
    HistoryAdd(1, "ghi");
    HistoryAdd(1, "def");
    Line->SetLineText("abc");
    Click({Mouse(evtMouseDown, 7, 4), Mouse(evtMouseUp, 7, 4), Mouse(evtMouseDown, 7, 4, true),
           Mouse(evtMouseUp, 7, 4)});
    EXPECT_EQ(Line->LineText(), "ghi") << "a double click chooses the entry under it";

    Click({Key(kKeyEsc)});
    EXPECT_EQ(Line->LineText(), "ghi") << "Esc leaves the line";
    Click({Mouse(evtMouseDown, 7, 1), Mouse(evtMouseUp, 7, 1)});
    EXPECT_EQ(Line->LineText(), "ghi") << "the close icon cancels";
    int views = 0;
    Box->ForEachView([&](tView*) { ++views; });
    EXPECT_EQ(views, 4) << "the frame and three controls: nothing of the window is left";

    Root->Script = {Key(kKeyDown), Key(kKeyEnter)};
    TEventRec down = Key(kKeyDown);
    Root->HandleEvent(down);
    EXPECT_EQ(down.what, evtNothing) << "Down on the focused line opens the window";
    EXPECT_EQ(Line->LineText(), "def");
    EXPECT_EQ(Button->Made, 4);
}

// Catches a window that runs off the dialog's last row or keeps an extra row.
TEST_F(HistoryButtonTest, WindowKeptInsideTheDialog) {
    Line->PlaceBounds(MakeRect(5, 9, 25, 10));
    Click({Key(kKeyEsc)});
    EXPECT_EQ(Button->Bounds, MakeRect(4, 8, 26, 11));
}

// Catches a button that records nothing, or records the wrong line, on the broadcasts.
TEST_F(HistoryButtonTest, RecordsOnBroadcasts) {
    Line->SetLineText("one");
    TEventRec record = Message(evtBroadcast, cmdRecordHistory);
    Box->HandleEvent(record);
    EXPECT_EQ(Texts(1), (std::vector<std::string>{"one"}));
    Line->SetLineText("two");
    TEventRec otherLost = Message(evtBroadcast, cmdFocusLost, Other);
    Button->HandleEvent(otherLost);
    EXPECT_EQ(HistoryCount(1), 1) << "another view's focus loss is not the line's";
    Line->SelectView();
    Other->SelectView();
    EXPECT_EQ(Texts(1), (std::vector<std::string>{"two", "one"})) << "the line lost the focus";
    Button->Refuse = true;
    Line->SetLineText("three");
    Click({});
    EXPECT_EQ(HistoryStr(1, 0), "three") << "recorded even when no window comes";
}

// Catches Del forgetting the wrong entry or another id's, or leaving the list's focus past
// its end.
TEST_F(HistoryButtonTest, DelInTheList) {
    HistoryAdd(1, "ghi");
    HistoryAdd(1, "def");
    HistoryAdd(2, "def");
    Line->SetLineText("abc");
    Click({Key(kKeyDel), Key(kKeyEsc)});
    EXPECT_EQ(Texts(1), (std::vector<std::string>{"abc", "ghi"}));
    EXPECT_EQ(Texts(2), (std::vector<std::string>{"def"}));
    Click({Key(kKeyDown), Key(kKeyDel), Key(kKeyEnter)});
    EXPECT_EQ(Line->LineText(), "abc") << "the focus went back to the last entry";
}

// Catches a button that still reaches its line after the line was freed.
TEST_F(HistoryButtonTest, LineFreedFirst) {
    Line->SelectView();
    FreeObject(Line);
    EXPECT_EQ(Button->Link, nullptr);
    TEventRec record = Message(evtBroadcast, cmdRecordHistory);
    Box->HandleEvent(record);
    TEventRec press = Mouse(evtMouseDown, 26, 2);
    Root->HandleEvent(press);
    EXPECT_EQ(Button->Made, 0);
    EXPECT_EQ(HistoryCount(1), 0);
}

// Catches a drop window that does not end its run by Enter, Esc, the commands or a double
// click, or reports the wrong text.
TEST_F(HistoryButtonTest, DropWindowEndings) {
    struct tCase {
        const char* Name;
        TEventRec Event;
        std::uint16_t Result;
    } cases[] = {
        {"Enter", Key(kKeyEnter), cmdOk},
        {"cmdOk", Message(evtCommand, cmdOk), cmdOk},
        {"Esc", Key(kKeyEsc), cmdCancel},
        {"cmdCancel", Message(evtCommand, cmdCancel), cmdCancel},
        {"a double click", Mouse(evtMouseDown, 12, 12, true), cmdOk},
    };
    for (const tCase& c : cases) {
        auto* window = new tDropWindow(MakeRect(10, 10, 30, 15));
        EXPECT_EQ(window->WindowFlags, WindowFlag::CanClose);
        Root->Script = {c.Event};
        EXPECT_EQ(Root->RunView(window), c.Result) << c.Name;
        EXPECT_EQ(window->SelectionText(), "") << "nothing answers the query";
        FreeObject(window);
    }
}

class HistoryStreamTest : public HistoryButtonTest {
  protected:
    void SetUp() override {
        HistoryButtonTest::SetUp();
        RegisterViewStreamClasses();
        RegisterInputStreamClasses();
    }
};

// Catches the line reference, the id or the button's place lost on the way through a
// stream, and damaged records answered.
TEST_F(HistoryStreamTest, RoundTripAndDamage) {
    tGroup group(MakeRect(0, 0, 40, 5));
    auto* line = new tInputLine(MakeRect(1, 1, 21, 2), 20);
    group.InsertView(line);
    group.InsertView(new tHistory(MakeRect(21, 1, 24, 2), line, 0x1234));
    tMemoryStream out;
    Put(out, &group);
    std::vector<std::uint8_t> bytes = out.Bytes();
    tMemoryStream in(bytes);
    tObjectPtr<tSObject> loaded(Get(in));
    auto* back = dynamic_cast<tGroup*>(loaded.get());
    ASSERT_NE(back, nullptr);
    auto* button = dynamic_cast<tHistory*>(back->FirstView());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->StoreID(), 19);
    EXPECT_EQ(button->HistoryId, 0x1234);
    EXPECT_EQ(button->Link, back->ViewAt(2));
    EXPECT_EQ(button->Left, 21);
    FreeObject(button->Link);
    EXPECT_EQ(button->Link, nullptr) << "a loaded button also lets go of a freed line";

    for (std::size_t cut = 8; cut < bytes.size(); cut += 4) {
        std::vector<std::uint8_t> damaged(bytes.begin(), bytes.begin() + std::ptrdiff_t(cut));
        tMemoryStream part(damaged);
        tObjectPtr<tSObject> none(Get(part));
        EXPECT_EQ(none, nullptr) << "truncated at " << cut;
        EXPECT_NE(part.Status, stOk) << "truncated at " << cut;
        ClearError();
    }
}

} // namespace
} // namespace zarvo
