// Input lines: the look in their states (passive, focused with the selection, scrolled with
// the arrow marks), the cursor and its shape, every editing key with and without Shift, the
// mouse (click, drag, double click, held edge arrows), the clipboard, focus selecting the
// text, the cells one keystroke sends, dialog data, the text-address message and the stored
// form with its damaged variants.
#include "views/input_line.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "console/key_codes.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "platform/cp866.h"
#include "tests/views/input_test_support.h"
#include "views/commands.h"
#include "views/history.h"
#include "views/message_box_call.h"

namespace zarvo {
namespace {

using namespace testing_input;

class InputLineTest : public tInputScreen {
  protected:
    // A line at (1, 1) of WIDTH cells holding TEXT, focused in the box (its text selected).
    tInputLine* AddLine(int width, std::string_view text, int maxLength = 30) {
        auto* line = new tInputLine(MakeRect(1, 1, 1 + width, 2), std::int16_t(maxLength));
        line->SetLineText(text);
        Box->InsertView(line);
        line->SelectView();
        return line;
    }
    // Sends KEYS to the line; whether each was taken.
    std::vector<bool> Press(tInputLine* line, std::initializer_list<TEventRec> keys) {
        std::vector<bool> taken;
        for (TEventRec key : keys) {
            line->HandleEvent(key);
            taken.push_back(key.what == evtNothing);
        }
        return taken;
    }
};

// Catches the text, the passive and focused colours, the selection colour or the cursor
// drawn in the wrong place.
TEST_F(InputLineTest, LooksInItsStates) {
    tInputLine* line = AddLine(12, "abcdef");
    EXPECT_EQ(Cells(1, 1, 12), " abcdef     ");
    EXPECT_EQ(AttrAt(2, 1), Gray(20)) << "focus selects the whole text";
    EXPECT_EQ(AttrAt(7, 1), Gray(20));
    EXPECT_EQ(AttrAt(8, 1), Gray(19)) << "past the text: the focused colour";
    EXPECT_EQ(AttrAt(1, 1), Gray(19));
    EXPECT_EQ(Cursor().X, 2) << "the cursor at 0 stands in column 1";
    EXPECT_EQ(Cursor().Y, 1);
    EXPECT_TRUE(Cursor().Visible);

    auto* other = new tInputLine(MakeRect(1, 3, 13, 4), 10);
    Box->InsertView(other);
    other->SelectView();
    EXPECT_EQ(Cells(1, 1, 12), " abcdef     ");
    EXPECT_EQ(AttrAt(2, 1), Gray(19)) << "a line that lost the focus drops its selection";
    EXPECT_EQ(line->SelEnd, 0);
    EXPECT_EQ(Cursor().Y, 3) << "the cursor follows the focus";
}

// Catches a long text scrolled wrongly or the arrow marks shown at the wrong ends.
TEST_F(InputLineTest, ScrollsWithArrowMarks) {
    tInputLine* line = AddLine(10, "abcdefghijklmnopqrst");
    EXPECT_EQ(Cells(1, 1, 10), " abcdefgh►") << "more text to the right";
    EXPECT_EQ(AttrAt(10, 1), Gray(21)) << "arrows in the fourth colour";
    Press(line, {Key(kKeyEnd)});
    EXPECT_EQ(line->FirstShown, 12);
    EXPECT_EQ(Cells(1, 1, 10), "◄mnopqrst ") << "the end shows, the left arrow too";
    EXPECT_EQ(Cursor().X, 10) << "after the last character";
    Press(line, {Key(kKeyLeft), Key(kKeyLeft), Key(kKeyLeft), Key(kKeyLeft), Key(kKeyLeft),
                 Key(kKeyLeft), Key(kKeyLeft), Key(kKeyLeft), Key(kKeyLeft)});
    EXPECT_EQ(line->CursorPos, 11);
    EXPECT_EQ(line->FirstShown, 11) << "the view follows the cursor left";
    EXPECT_EQ(Cells(1, 1, 10), "◄lmnopqrs►");
    line->Owner->SetCurrentView(nullptr, tSelectMode::Normal);
    EXPECT_EQ(line->FirstShown, 0) << "losing the selection goes back to the start";
    line->FirstShown = 11;
    line->Repaint();
    EXPECT_EQ(Cells(1, 1, 10), " lmnopqrs►") << "the left arrow only while selected";
}

// Catches Ins not switching overwrite mode or the cursor keeping its shape.
TEST_F(InputLineTest, InsTogglesOverwriteAndCursorShape) {
    tInputLine* line = AddLine(12, "abc");
    EXPECT_EQ(Cursor().Shape, kCursorUnderline);
    Press(line, {Key(kKeyIns)});
    EXPECT_TRUE(line->HasState(ViewState::CursorInsert));
    EXPECT_EQ(Cursor().Shape, kCursorBlock) << "overwrite shows a block";
    Press(line, {Key(kKeyIns)});
    EXPECT_FALSE(line->HasState(ViewState::CursorInsert));
    EXPECT_EQ(Cursor().Shape, kCursorUnderline);
}

struct tKeyCase {
    const char* Name;
    const char* Text;
    int Cursor;
    int SelStart;
    int SelEnd;
    bool Overwrite;
    std::vector<TEventRec> Keys;
    std::string_view Expected;
    int ExpectedCursor;
    int ExpectedSelStart;
    int ExpectedSelEnd;
    bool Taken; // of the last key
    int MaxLength = 30;
};

// Catches every editing key's fault: wrong text, cursor or selection, keys taken that the
// dialog needs, or keys dropped that the line should take.
TEST_F(InputLineTest, EditingKeys) {
    const tKeyCase cases[] = {
        {"Shift+Right twice",
         "abcdef",
         2,
         0,
         0,
         false,
         {Key(kKeyRight, kShift), Key(kKeyRight, kShift)},
         "abcdef",
         4,
         2,
         4,
         true},
        {"then Shift+Left three times",
         "abcdef",
         4,
         2,
         4,
         false,
         {Key(kKeyLeft, kShift), Key(kKeyLeft, kShift), Key(kKeyLeft, kShift)},
         "abcdef",
         1,
         1,
         2,
         true},
        {"Shift+Home extends to the start",
         "abcdef",
         3,
         0,
         0,
         false,
         {Key(kKeyHome, kShift)},
         "abcdef",
         0,
         0,
         3,
         true},
        {"right shift counts too",
         "abcdef",
         0,
         0,
         0,
         false,
         {Key(kKeyEnd, shiftRight)},
         "abcdef",
         6,
         0,
         6,
         true},
        {"Right without Shift drops it",
         "abcdef",
         2,
         1,
         4,
         false,
         {Key(kKeyRight)},
         "abcdef",
         3,
         0,
         0,
         true},
        {"a letter replaces the selection",
         "abcdef",
         1,
         1,
         4,
         false,
         {Char('X')},
         "aXef",
         2,
         0,
         0,
         true},
        {"overwrite replaces under the cursor only",
         "abcdef",
         1,
         1,
         4,
         true,
         {Char('X')},
         "aXcdef",
         2,
         0,
         0,
         true},
        {"overwrite at the end appends", "abc", 3, 0, 0, true, {Char('d')}, "abcd", 4, 0, 0, true},
        {"Del under the cursor", "abcdef", 2, 0, 0, false, {Key(kKeyDel)}, "abdef", 2, 0, 0, true},
        {"Del the selection", "abcdef", 5, 1, 3, false, {Key(kKeyDel)}, "adef", 1, 0, 0, true},
        {"Del at the end", "abc", 3, 0, 0, false, {Key(kKeyDel)}, "abc", 3, 0, 0, true},
        {"Ctrl+G is Del", "abcdef", 0, 0, 0, false, {Key(kKeyCtrlG)}, "bcdef", 0, 0, 0, true},
        {"Backspace", "abcdef", 3, 0, 0, false, {Key(kKeyBackspace)}, "abdef", 2, 0, 0, true},
        {"Backspace at 0", "abc", 0, 0, 0, false, {Key(kKeyBackspace)}, "abc", 0, 0, 0, true},
        {"Ctrl+H is Backspace", "abc", 3, 0, 0, false, {Key(kKeyCtrlH)}, "ab", 2, 0, 0, true},
        {"Ctrl+Y empties", "abcdef", 4, 1, 2, false, {Key(kKeyCtrlY)}, "", 0, 0, 0, true},
        {"Ctrl+S and Ctrl+D move",
         "abc",
         1,
         0,
         0,
         false,
         {Key(kKeyCtrlS), Key(kKeyCtrlD), Key(kKeyCtrlD)},
         "abc",
         2,
         0,
         0,
         true},
        {"Ctrl+A and Ctrl+F are Home and End",
         "abc",
         1,
         0,
         0,
         false,
         {Key(kKeyCtrlA), Key(kKeyCtrlF)},
         "abc",
         3,
         0,
         0,
         true},
        {"Left at 0, Right at the end",
         "ab",
         0,
         0,
         0,
         false,
         {Key(kKeyLeft), Key(kKeyEnd), Key(kKeyRight)},
         "ab",
         2,
         0,
         0,
         true},
        {"a Cyrillic letter", "ab", 1, 0, 0, false, {Char("ж"_oem[0])}, "aжb"_oem, 2, 0, 0, true},
        {"a full line ignores letters",
         "abcde",
         2,
         0,
         0,
         false,
         {Char('X')},
         "abcde",
         2,
         0,
         0,
         true,
         5},
        {"overwrite in a full line replaces",
         "abcde",
         2,
         0,
         0,
         true,
         {Char('X')},
         "abXde",
         3,
         0,
         0,
         true,
         5},
        {"Enter is left to the dialog",
         "abc",
         1,
         0,
         2,
         false,
         {Key(kKeyEnter)},
         "abc",
         1,
         0,
         2,
         false},
        {"Esc", "abc", 1, 0, 0, false, {Key(kKeyEsc)}, "abc", 1, 0, 0, false},
        {"Tab", "abc", 1, 0, 0, false, {Key(kKeyTab)}, "abc", 1, 0, 0, false},
        {"Up", "abc", 1, 0, 0, false, {Key(kKeyUp)}, "abc", 1, 0, 0, false},
        {"Down, for the history button",
         "abc",
         1,
         0,
         0,
         false,
         {Key(kKeyDown)},
         "abc",
         1,
         0,
         0,
         false},
        {"Ctrl+Ins without a clipboard",
         "abc",
         1,
         0,
         2,
         false,
         {Key(kKeyCtrlIns)},
         "abc",
         1,
         0,
         2,
         true},
        {"Shift+Ins without a clipboard",
         "abc",
         1,
         0,
         0,
         false,
         {Key(kKeyShiftIns)},
         "abc",
         1,
         0,
         0,
         true},
    };
    for (const tKeyCase& c : cases) {
        tInputLine* line = AddLine(20, c.Text, c.MaxLength);
        line->ChangeState(ViewState::CursorInsert, c.Overwrite);
        line->CursorPos = std::int16_t(c.Cursor);
        line->SelStart = std::int16_t(c.SelStart);
        line->SelEnd = std::int16_t(c.SelEnd);
        bool taken = false;
        for (TEventRec key : c.Keys) {
            line->HandleEvent(key);
            taken = key.what == evtNothing;
        }
        EXPECT_EQ(line->LineText(), c.Expected) << c.Name;
        EXPECT_EQ(line->CursorPos, c.ExpectedCursor) << c.Name;
        EXPECT_EQ(line->SelStart, c.ExpectedSelStart) << c.Name;
        EXPECT_EQ(line->SelEnd, c.ExpectedSelEnd) << c.Name;
        EXPECT_EQ(taken, c.Taken) << c.Name;
        FreeObject(line);
    }
}

// Catches keys acting on a line that is not selected.
TEST_F(InputLineTest, IgnoresKeysUnlessSelected) {
    auto* line = new tInputLine(MakeRect(1, 1, 21, 2), 20);
    line->SetLineText("abc");
    Box->InsertView(line);
    Box->SetCurrentView(nullptr, tSelectMode::Normal);
    TEventRec key = Char('x');
    line->HandleEvent(key);
    EXPECT_EQ(key.what, evtKeyDown);
    EXPECT_EQ(line->LineText(), "abc");
}

// Catches the invariants broken after keys: the cursor leaving the view or the text.
TEST_F(InputLineTest, CursorStaysInViewAfterEveryKey) {
    tInputLine* line = AddLine(8, "", 40);
    const std::uint16_t keys[] = {
        'a',       'b',           'c',           'd',           'e',           'f',
        'g',       'h',           'i',           'j',           kKeyLeft,      kKeyHome,
        kKeyEnd,   kKeyBackspace, kKeyBackspace, kKeyLeft,      kKeyDel,       'z',
        kKeyRight, kKeyBackspace, kKeyBackspace, kKeyBackspace, kKeyBackspace, kKeyBackspace};
    for (std::uint16_t code : keys) {
        TEventRec key = Key(code);
        line->HandleEvent(key);
        int length = line->TextLength();
        EXPECT_LE(line->CursorPos, length) << "key " << code;
        EXPECT_LE(line->FirstShown, line->CursorPos) << "key " << code;
        EXPECT_LE(line->CursorPos - line->FirstShown, line->Width - 2) << "key " << code;
        EXPECT_LE(line->SelStart, line->SelEnd) << "key " << code;
    }
    EXPECT_EQ(line->LineText(), "abc");
}

// Catches a keystroke that repaints more than its own line (the owner, the whole screen).
TEST_F(InputLineTest, TypingSendsOneLine) {
    tInputLine* line = AddLine(20, "abc");
    Press(line, {Key(kKeyEnd)});
    Root->ResetWriteCount();
    Press(line, {Char('d')});
    EXPECT_EQ(Root->WrittenCells, 20u) << "one 20-cell row reaches the console";
    EXPECT_EQ(Cells(1, 1, 20), " abcd               ");
}

// Catches clicks placing the cursor wrongly, drags not selecting, double clicks not
// selecting all, or the edge arrows not scrolling one character per repeat.
TEST_F(InputLineTest, Mouse) {
    tInputLine* line = AddLine(10, "abcdefghijklmnopqrst");
    Root->Script = {Mouse(evtMouseMove, 6, 1), Mouse(evtMouseUp, 6, 1)};
    TEventRec down = Mouse(evtMouseDown, 3, 1);
    Root->HandleEvent(down);
    EXPECT_EQ(down.what, evtNothing);
    EXPECT_EQ(line->CursorPos, 4) << "the cursor goes to the column the drag reached";
    EXPECT_EQ(line->SelStart, 1);
    EXPECT_EQ(line->SelEnd, 4);
    EXPECT_FALSE(line->HasMouseCapture());

    Root->Script = {Mouse(evtMouseUp, 4, 1)};
    TEventRec twice = Mouse(evtMouseDown, 4, 1, true);
    Root->HandleEvent(twice);
    EXPECT_EQ(line->CursorPos, 0) << "a double click selects all";
    EXPECT_EQ(line->SelEnd, 20);

    // Held on the right arrow: one character per repeat until the end shows.
    Root->Script.clear();
    for (int i = 0; i < 15; ++i)
        Root->Script.push_back(Mouse(evtMouseRepeat, 10, 1));
    Root->Script.push_back(Mouse(evtMouseUp, 10, 1));
    TEventRec arrow = Mouse(evtMouseDown, 10, 1);
    Root->HandleEvent(arrow);
    EXPECT_EQ(line->FirstShown, 12) << "stops once the end shows";
    EXPECT_EQ(Cells(1, 1, 10), "◄mnopqrst ");
    Root->Script = {Mouse(evtMouseRepeat, 1, 1), Mouse(evtMouseRepeat, 1, 1),
                    Mouse(evtMouseUp, 1, 1)};
    arrow = Mouse(evtMouseDown, 1, 1);
    Root->HandleEvent(arrow);
    EXPECT_EQ(line->FirstShown, 9) << "the press and two repeats on the left arrow";

    // A drag held past the left edge scrolls on repeats and selects back to the anchor.
    Root->Script = {Mouse(evtMouseRepeat, 0, 1), Mouse(evtMouseRepeat, 0, 1),
                    Mouse(evtMouseUp, 0, 1)};
    TEventRec drag = Mouse(evtMouseDown, 5, 1);
    Root->HandleEvent(drag);
    EXPECT_EQ(line->FirstShown, 7);
    EXPECT_EQ(line->CursorPos, 7);
    EXPECT_EQ(line->SelStart, 7);
    EXPECT_EQ(line->SelEnd, 12) << "the anchor: the character under the press";
}

// Catches a first click on an unfocused line being swallowed instead of placing the cursor.
TEST_F(InputLineTest, FirstClickFocusesAndActs) {
    auto* line = new tInputLine(MakeRect(1, 1, 21, 2), 20);
    line->SetLineText("abcdef");
    Box->InsertView(line);
    auto* other = new tInputLine(MakeRect(1, 3, 21, 4), 20);
    Box->InsertView(other);
    other->SelectView();
    Root->Script = {Mouse(evtMouseUp, 4, 1)};
    TEventRec down = Mouse(evtMouseDown, 4, 1);
    Root->HandleEvent(down);
    EXPECT_TRUE(line->HasState(ViewState::Focused));
    EXPECT_EQ(line->CursorPos, 2) << "before the character clicked on";
    EXPECT_EQ(line->SelEnd, 2) << "the click's empty selection replaces the focus selection";
}

class tFakeClipboard : public tInputClipboard {
  public:
    void CopyText(std::string_view text) override { Copied = std::string(text); }
    bool PasteText(std::string& text) override {
        text = Paste;
        return true;
    }
    std::string Copied;
    std::string Paste;
};

// Catches pasting past MaxLength, the pasted text not left selected, overwrite pastes not
// replacing, or copying the wrong characters.
TEST_F(InputLineTest, Clipboard) {
    tFakeClipboard clipboard;
    InputClipboard = &clipboard;
    tInputLine* line = AddLine(20, "abcde", 8);
    clipboard.Paste = "0123456789";
    Press(line, {Key(kKeyEnd), Key(kKeyLeft), Key(kKeyShiftIns)});
    EXPECT_EQ(line->LineText(), "abcd012e") << "only the free room is pasted";
    EXPECT_EQ(line->SelStart, 4);
    EXPECT_EQ(line->SelEnd, 7);
    EXPECT_EQ(line->CursorPos, 7);
    Press(line, {Key(kKeyCtrlIns)});
    EXPECT_EQ(clipboard.Copied, "012");
    clipboard.Copied = "none";
    Press(line, {Key(kKeyHome), Key(kKeyCtrlIns)});
    EXPECT_EQ(clipboard.Copied, "none") << "nothing selected, nothing copied";
    Press(line, {Key(kKeyIns)});
    clipboard.Paste = "XY";
    Press(line, {Key(kKeyShiftIns)});
    EXPECT_EQ(line->LineText(), "XYcd012e") << "overwrite replaces as many as pasted";
    InputClipboard = nullptr;
}

// Catches Ctrl+V toggling overwrite (the next typed character would then replace one)
// instead of pasting, with a clipboard and without one.
TEST_F(InputLineTest, CtrlVPastesAndKeepsInsert) {
    tFakeClipboard clipboard;
    for (tInputClipboard* installed :
         {static_cast<tInputClipboard*>(&clipboard), static_cast<tInputClipboard*>(nullptr)}) {
        InputClipboard = installed;
        tInputLine* line = AddLine(20, "abc", 8);
        clipboard.Paste = "12";
        Press(line, {Key(kKeyHome), Key(kKeyCtrlV), Key(kKeyHome), Key('x')});
        EXPECT_FALSE(line->HasState(ViewState::CursorInsert)) << "expected insert kept";
        EXPECT_EQ(line->LineText(), installed != nullptr ? "x12abc" : "xabc");
    }
    InputClipboard = nullptr;
}

// Catches a character CP866 lacks, typed or pasted into the focused line, passing without a
// word (the line would then hold another name than the operator's) or changing the text; a
// line without the focus leaves the refusal alone.
TEST_F(InputLineTest, RefusesCharactersCp866Lacks) {
    static std::vector<std::pair<std::string, std::uint16_t>> shown;
    shown.clear();
    tMessageBoxHook saved = MessageBoxHook;
    MessageBoxHook = [](std::string_view text, std::uint16_t flags, void*) -> std::uint16_t {
        shown.emplace_back(text, flags);
        return cmdOk;
    };
    struct tCase {
        tUntypable Refused;
        std::string_view Said;
    };
    const tCase cases[] = {
        {{U'\u00FC', false}, "Знак U+00FC нельзя записать в кодировке CP866: он не введён."_oem},
        {{U'\U0001F600', true},
         "Знак U+1F600 нельзя записать в кодировке CP866: текст не вставлен."_oem},
    };
    tInputLine* line = AddLine(20, "Z");
    for (const tCase& c : cases) {
        shown.clear();
        TEventRec event = MessageEvent(evtCommand, cmdUntypable, UntypableInfo(c.Refused));
        line->HandleEvent(event);
        EXPECT_EQ(event.what, evtNothing) << c.Said;
        ASSERT_EQ(shown.size(), 1u) << c.Said;
        EXPECT_EQ(shown[0].first, c.Said);
        EXPECT_EQ(shown[0].second, mbError | mbContinue);
        EXPECT_EQ(line->LineText(), "Z");
    }
    shown.clear();
    line->ChangeState(ViewState::Selected, false);
    TEventRec event = MessageEvent(evtCommand, cmdUntypable, UntypableInfo({U'\u00FC', false}));
    line->HandleEvent(event);
    EXPECT_EQ(event.what, evtCommand) << "expected the refusal left to the focused line";
    EXPECT_TRUE(shown.empty());
    MessageBoxHook = saved;
}

// Catches the dialog record not zero-filled, an imported length byte trusted past MaxLength,
// or the text address message answering something else.
TEST_F(InputLineTest, DataAndTextAddress) {
    tInputLine* line = AddLine(20, "hello", 8);
    EXPECT_EQ(line->DataLength(), 9);
    std::uint8_t record[9];
    std::fill(std::begin(record), std::end(record), 0xEE);
    line->ExportData(record);
    const std::uint8_t expected[9] = {5, 'h', 'e', 'l', 'l', 'o', 0, 0, 0};
    EXPECT_TRUE(std::equal(std::begin(record), std::end(record), expected));

    const std::uint8_t in[9] = {3, 'x', 'y', 'z', 'q', 'q', 'q', 'q', 'q'};
    line->ImportData(in);
    EXPECT_EQ(line->LineText(), "xyz");
    EXPECT_EQ(line->SelEnd, 3) << "imported text is selected";
    const std::uint8_t damaged[9] = {200, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
    line->ImportData(damaged);
    EXPECT_EQ(line->LineText(), "abcdefgh") << "a length past MaxLength is cut to it";

    tMessage message;
    message.Msg = kMsgInputLineData;
    line->Dispatch(message);
    EXPECT_EQ(message.Result, reinterpret_cast<std::intptr_t>(line->Data.get()));
    line->SetLineText("a much longer text than eight");
    EXPECT_EQ(line->LineText(), "a much l") << "SetLineText cuts to MaxLength";
    line->CursorPos = 8;
    line->SetLineText("ab");
    EXPECT_EQ(line->CursorPos, 2) << "a shorter text pulls the cursor back into it";

    EXPECT_EQ(tInputLine(MakeRect(0, 0, 5, 1), 300).MaxLength, 255);
    EXPECT_EQ(tInputLine(MakeRect(0, 0, 5, 1), -4).MaxLength, 0);
    tInputLine made;
    EXPECT_EQ(made.MaxLength, 255);
    EXPECT_EQ(made.Width, 10);
    EXPECT_EQ(made.Height, 2);
}

class InputLineStreamTest : public tInputScreen {
  protected:
    void SetUp() override {
        tInputScreen::SetUp();
        RegisterViewStreamClasses();
        RegisterInputStreamClasses();
    }
    // The stored bytes of a line with TEXT and the given positions.
    std::vector<std::uint8_t> Stored(std::string_view text, int maxLength, int cursor, int first,
                                     int selStart, int selEnd) {
        tInputLine line(MakeRect(0, 0, 10, 1), std::int16_t(maxLength));
        line.SetLineText(text);
        line.CursorPos = std::int16_t(cursor);
        line.FirstShown = std::int16_t(first);
        line.SelStart = std::int16_t(selStart);
        line.SelEnd = std::int16_t(selEnd);
        tMemoryStream out;
        Put(out, &line);
        return out.Bytes();
    }
    // Where the five stored positions start (found by their values).
    static std::size_t FieldsAt(const std::vector<std::uint8_t>& bytes,
                                std::initializer_list<std::uint8_t> marker) {
        auto at = std::search(bytes.begin(), bytes.end(), marker.begin(), marker.end());
        return std::size_t(at - bytes.begin());
    }
};

// Catches fields lost or reordered on the way through a stream.
TEST_F(InputLineStreamTest, RoundTrip) {
    std::vector<std::uint8_t> bytes = Stored("Привет"_oem, 20, 4, 1, 2, 5);
    tMemoryStream in(bytes);
    tObjectPtr<tSObject> loaded(Get(in));
    auto* line = dynamic_cast<tInputLine*>(loaded.get());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(in.Status, stOk);
    EXPECT_EQ(line->MaxLength, 20);
    EXPECT_EQ(line->LineText(), "Привет"_oem);
    EXPECT_EQ(line->CursorPos, 4);
    EXPECT_EQ(line->FirstShown, 1);
    EXPECT_EQ(line->SelStart, 2);
    EXPECT_EQ(line->SelEnd, 5);
    EXPECT_EQ(line->StoreID(), 11);
}

// Catches a damaged record trusted: a MaxLength outside 0..255, a text longer than its room
// written past the buffer, positions past the text, or a truncated record answered.
TEST_F(InputLineStreamTest, DamagedRecords) {
    std::vector<std::uint8_t> bytes = Stored("abcdef", 10, 3, 0, 1, 2);
    std::size_t fields = FieldsAt(bytes, {10, 0, 3, 0, 0, 0, 1, 0, 2, 0});
    ASSERT_LT(fields, bytes.size());
    for (std::int16_t bad : {std::int16_t(256), std::int16_t(-1), std::int16_t(0x7FFF)}) {
        std::vector<std::uint8_t> damaged = bytes;
        damaged[fields] = std::uint8_t(bad);
        damaged[fields + 1] = std::uint8_t(bad >> 8);
        tMemoryStream in(damaged);
        tObjectPtr<tSObject> loaded(Get(in));
        EXPECT_EQ(loaded, nullptr) << "MaxLength " << bad;
        EXPECT_NE(in.Status, stOk) << "MaxLength " << bad;
        ClearError();
    }
    {
        std::vector<std::uint8_t> damaged = bytes;
        damaged[fields] = 4;        // room for 4, 6 stored
        damaged[fields + 2] = 0x7F; // cursor far past the text
        damaged[fields + 8] = 0x80; // SelEnd negative
        damaged[fields + 9] = 0xFF;
        tMemoryStream in(damaged);
        tObjectPtr<tSObject> loaded(Get(in));
        auto* line = dynamic_cast<tInputLine*>(loaded.get());
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->LineText(), "abcd") << "cut to the stored room";
        EXPECT_EQ(line->CursorPos, 4);
        EXPECT_EQ(line->SelStart, 1);
        EXPECT_EQ(line->SelEnd, 1);
        line->ChangeState(ViewState::Selected, true);
        TEventRec end = Key(kKeyEnd);
        line->HandleEvent(end);
        TEventRec key = Char('x');
        line->HandleEvent(key);
        EXPECT_EQ(line->TextLength(), 4) << "a full line stays full";
    }
    for (std::size_t cut = fields; cut < bytes.size(); cut += 3) {
        std::vector<std::uint8_t> damaged(bytes.begin(), bytes.begin() + std::ptrdiff_t(cut));
        tMemoryStream in(damaged);
        tObjectPtr<tSObject> loaded(Get(in));
        EXPECT_EQ(loaded, nullptr) << "truncated at " << cut;
        EXPECT_NE(in.Status, stOk) << "truncated at " << cut;
        ClearError();
    }
}

} // namespace
} // namespace zarvo
