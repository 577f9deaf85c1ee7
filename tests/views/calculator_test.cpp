// The calculator: the display's key rules and number form, its drawing and stored form, the
// buttons' broadcasts, how Esc and Enter end the window, and the history button beside the
// display.
#include "views/calculator.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "tests/views/input_test_support.h"
#include "views/button.h"
#include "views/calc_display.h"
#include "views/history_store.h"

namespace zarvo {
namespace {

using namespace testing_input;

const std::string kError(std::string("Ошибка"_oem));

std::string Typed(std::string_view keys) {
    TCalcDisplay display(MakeRect(0, 0, 18, 1));
    for (char key : keys)
        display.CalcKey(key);
    return display.DisplayText();
}

// Catches wrong arithmetic, a pending operator applied at the wrong moment, percentages of
// the wrong operand, or a result shown in the wrong form.
TEST(CalcDisplayKeys, Sequences) {
    struct tCase {
        const char* Keys;
        std::string Shown;
    } cases[] = {
        {"12+3=", "15"},
        {"12+3=%", "15"},                           // % with nothing pending leaves the result
        {"1 2+3=", "15"},                           // a blank changes nothing
        {"200+10%", "220"},                         // 10 % of the left operand added
        {"50-10%", "45"},                           //
        {"2*3%", "0.06"},                           // with * or / the percentage is r / 100
        {"1/3=", "0.3333333333"},                   // 10 decimals, trailing zeros gone
        {"1/8=", "0.125"},                          //
        {"1234567/3=", "411522.33333333"},          // cut to 15 characters, not rounded
        {"2+3*4=", "20"},                           // each operator completes the one before
        {"2+2\r", "4"},                             // carriage return completes like =
        {"1234567890123456789", "123456789012345"}, // 15 digits at most
        {"0005", "5"},                              //
        {"1..5", "1.5"},                            // one point
        {"5_", "-5"},                               // sign keys: _ ` ё Ё
        {"5__", "5"},                               //
        {"5`", "-5"},                               //
        {"5\xF1", "-5"},                            //
        {"5\xF0", "-5"},                            //
        {"5_+2=", "-3"},                            //
        {"0*5_=", "0"},                             // no "-0"
        {"0-999999999999999=", "-999999999999999"}, // the sign is not counted
        {"999999999999999+0=", "999999999999999"},  // 26 characters: still shown
        {"123\b", "12"},                            // backspace
        {"1\b", "0"},                               //
        {"12\x1B", "1"},                            // the button's left arrow is a backspace too
        {"12+3=\b", "0"},                           // backspace after a result starts a new number
        {"12+3=4", "4"},                            // a digit after a result starts a new number
        {"12c", "0"},                               // clear in either case and layout
        {"12C", "0"},                               //
        {"12\xE1", "0"},                            // Cyrillic с
        {"12+c3=", "3"},                            // clear forgets the pending operator
    };
    for (const tCase& c : cases)
        EXPECT_EQ(Typed(c.Keys), c.Shown) << "keys \"" << c.Keys << "\"";
}

// Catches an error state left by keys other than C, a too long result shown, or division
// by zero answered with a number.
TEST(CalcDisplayKeys, ErrorsAndOnlyCLeavesThem) {
    EXPECT_EQ(Typed("7/0="), kError);
    EXPECT_EQ(Typed("7/0=5+_.\b%="), kError) << "every other key is a blank";
    EXPECT_EQ(Typed("7/0=C"), "0");
    EXPECT_EQ(Typed("7/0=\x91"), "0") << "the Cyrillic С clears too";
    EXPECT_EQ(Typed("7/0=C2+2="), "4") << "the calculator works again";
    EXPECT_EQ(Typed("999999999999999+1="), kError) << "27 characters in the 10-decimal form";
    EXPECT_EQ(Typed("99999999*99999999="), kError);

    TCalcDisplay display(MakeRect(0, 0, 18, 1));
    display.CalcShow(std::numeric_limits<long double>::infinity());
    EXPECT_EQ(display.State, CalcState::Error) << "a value that is no number";
    display.CalcClear();
    display.CalcShow(-2.5L);
    EXPECT_EQ(display.Sign, '-');
    EXPECT_EQ(display.Number, "2.5");
    EXPECT_EQ(display.CalcValue(), -2.5L);
}

// Catches texts read as numbers that the calculator cannot have typed, or numbers refused.
TEST(CalcDisplayKeys, WhatCountsAsANumber) {
    struct tCase {
        const char* Text;
        bool Number;
        long double Value;
    } cases[] = {
        {"12", true, 12},  {"-12.5", true, -12.5}, {"+3", true, 3},     {"5.", true, 5},
        {".5", true, 0.5}, {"", false, 0},         {"-", false, 0},     {".", false, 0},
        {"1e5", false, 0}, {"inf", false, 0},      {"1.2.3", false, 0}, {"12a", false, 0},
        {" 12", false, 0}, {"--1", false, 0},
    };
    for (const tCase& c : cases) {
        long double value = -1;
        EXPECT_EQ(ParseCalcNumber(c.Text, value), c.Number) << "\"" << c.Text << "\"";
        if (c.Number) {
            EXPECT_EQ(value, c.Value) << "\"" << c.Text << "\"";
        }
    }
}

// Catches fields lost or shifted in the 25-byte stored form, the operand stored, or damaged
// values taken in.
TEST(CalcDisplayStream, RoundTripAndDamage) {
    RegisterViewStreamClasses();
    RegisterCalcStreamClasses();
    TCalcDisplay display(MakeRect(2, 2, 20, 3));
    for (char key : std::string_view("12+34_"))
        display.CalcKey(key);
    tMemoryStream out;
    Put(out, &display);
    std::vector<std::uint8_t> bytes = out.Bytes();
    ASSERT_GE(bytes.size(), 25u);
    const std::size_t tail = bytes.size() - 25;
    const std::uint8_t expected[] = {1, 2, '3', '4', 0,   0,   0, 0, 0,   0,   0, 0, 0,
                                     0, 0, 0,   0,   '-', '+', 1, 2, '3', '4', 0, 0};
    EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), bytes.begin() + long(tail)))
        << "state, number as 16 bytes, sign, operator, then the first 6 bytes again";

    tMemoryStream in(bytes);
    tObjectPtr<tSObject> loaded(Get(in));
    auto* back = dynamic_cast<TCalcDisplay*>(loaded.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->StoreID(), 160);
    EXPECT_EQ(back->State, CalcState::Typing);
    EXPECT_EQ(back->DisplayText(), "-34");
    EXPECT_EQ(back->Operator, '+');
    EXPECT_EQ(back->Operand, 0) << "the operand is not stored";
    EXPECT_EQ(back->Left, 2);

    struct tDamage {
        const char* Name;
        std::size_t Offset;
        std::uint8_t Value;
    } damages[] = {
        {"state 3", 0, 3}, {"length 16", 1, 16}, {"sign", 17, '+'}, {"operator", 18, 'x'}};
    for (const tDamage& d : damages) {
        std::vector<std::uint8_t> damaged = bytes;
        damaged[tail + d.Offset] = d.Value;
        tMemoryStream part(damaged);
        tObjectPtr<tSObject> none(Get(part));
        EXPECT_NE(part.Status, stOk) << d.Name;
        ClearError();
    }
    std::vector<std::uint8_t> cut(bytes.begin(), bytes.end() - 3);
    tMemoryStream part(cut);
    tObjectPtr<tSObject> none(Get(part));
    EXPECT_EQ(none, nullptr) << "a truncated record";
    EXPECT_NE(part.Status, stOk);
    ClearError();
}

// A calculator in the middle of the 80 x 25 screen, fed back what it posts.
class CalculatorTest : public tScriptedScreen {
  protected:
    CalculatorTest() : tScriptedScreen(true) {}
    void SetUp() override {
        tScriptedScreen::SetUp();
        InitHistory();
        Calc = new TCalculator();
        Root->InsertView(Calc);
        Display = Calc->Display();
        ASSERT_NE(Display, nullptr);
    }
    void TearDown() override {
        DoneHistory();
        tScriptedScreen::TearDown();
    }
    // Presses and releases the mouse at (X, Y) of the screen.
    void Click(int x, int y) {
        Root->Script.push_front(Mouse(evtMouseUp, x, y));
        TEventRec down = Mouse(evtMouseDown, x, y);
        Root->HandleEvent(down);
    }
    void Type(std::string_view keys) {
        for (char key : keys) {
            TEventRec event = Char(key);
            Root->HandleEvent(event);
        }
    }
    TCalculator* Calc = nullptr;
    TCalcDisplay* Display = nullptr;
};

// Catches a calculator built with other keys, titles, places or flags than its resource's, or
// one that does not keep the keys with its display.
TEST_F(CalculatorTest, LooksAndLayout) {
    Type("12.5_");
    const std::vector<std::string> expected = {
        "╔═[■] Калькулятор ═════╗", //
        "║                      ║", //
        "║             -12.5 ▐↓▌║", //
        "║                      ║", //
        "║   C ▄  ← ▄  % ▄  ё ▄ ║", //
        "║   ▀▀▀  ▀▀▀  ▀▀▀  ▀▀▀ ║", //
        "║   7 ▄  8 ▄  9 ▄  / ▄ ║", //
        "║   ▀▀▀  ▀▀▀  ▀▀▀  ▀▀▀ ║", //
        "║   4 ▄  5 ▄  6 ▄  * ▄ ║", //
        "║   ▀▀▀  ▀▀▀  ▀▀▀  ▀▀▀ ║", //
        "║   1 ▄  2 ▄  3 ▄  - ▄ ║", //
        "║   ▀▀▀  ▀▀▀  ▀▀▀  ▀▀▀ ║", //
        "║   0 ▄  . ▄  = ▄  + ▄ ║", //
        "║   ▀▀▀  ▀▀▀  ▀▀▀  ▀▀▀ ║", //
        "╚══════════════════════╝", //
    };
    EXPECT_EQ(Block(28, 5, 24, 15), expected);
    EXPECT_EQ(Display->BoundsRect(), MakeRect(2, 2, 20, 3));
    EXPECT_TRUE(Display->HasState(ViewState::Focused)) << "typed keys go to the display";
    const std::uint8_t displayColor = ApplicationPalette()[0x52];
    EXPECT_EQ(AttrAt(30, 7), displayColor) << "the display's row in the window's entry 19";
    EXPECT_EQ(AttrAt(47, 7), displayColor) << "the blank column after the number";
    EXPECT_EQ(Calc->HelpTopic, kCalculatorHelpTopic);
    int buttons = 0;
    Calc->ForEachView([&](tView* v) {
        if (auto* button = dynamic_cast<tButton*>(v)) {
            ++buttons;
            EXPECT_EQ(button->Command, cmdCalcButton);
            EXPECT_EQ(button->ButtonFlags, ButtonFlag::BroadcastPress);
            EXPECT_FALSE(button->HasOption(ViewOption::Selectable)) << button->Title;
        }
    });
    EXPECT_EQ(buttons, 20);
    Calc->ColorScheme = WindowScheme::Gray;
    EXPECT_EQ(PaletteLength(Calc->GetPalette()), 39);
    EXPECT_EQ(Calc->GetPalette()[39], 0x5E);
    Calc->ColorScheme = WindowScheme::Cyan;
    EXPECT_EQ(Calc->GetPalette()[32], 0x7F);
}

// Catches buttons whose press does not reach the display, or a foreign broadcast taken as
// a key.
TEST_F(CalculatorTest, ButtonsBroadcastTheirKey) {
    // The buttons' text row: 7 at (30..34, 11), + at (45..49, 17), = at (40..44, 17).
    Click(32, 11);
    Click(47, 17);
    Click(32, 11);
    Click(42, 17);
    EXPECT_EQ(Display->DisplayText(), "14");
    Click(47, 9); // the sign key
    EXPECT_EQ(Display->DisplayText(), "-14");
    Click(32, 9); // C
    EXPECT_EQ(Display->DisplayText(), "0");

    tButton stranger(MakeRect(0, 0, 5, 2), "9", cmdCalcButton, ButtonFlag::BroadcastPress);
    TEventRec foreign = Message(evtBroadcast, cmdCalcButton, &stranger);
    Calc->HandleEvent(foreign);
    EXPECT_EQ(Display->DisplayText(), "0") << "a button outside the calculator names no key";
    EXPECT_EQ(foreign.what, evtBroadcast);
}

// Catches Esc or Enter not ending the run with the right command, or Enter ending it before
// the pending operation is completed.
TEST_F(CalculatorTest, EscAndEnterEndTheRun) {
    Root->RemoveView(Calc);
    Root->Script = {Char('1'), Char('2'), Char('+'), Char('3'), Key(kKeyEnter)};
    EXPECT_EQ(Root->RunView(Calc), cmdOk);
    EXPECT_EQ(Display->DisplayText(), "15") << "Enter completes 12 + 3 first";
    EXPECT_EQ(HistoryStr(kCalcHistoryId, 0), "15") << "and the result is recorded";

    Root->Script = {Char('9'), Key(kKeyEsc)};
    EXPECT_EQ(Root->RunView(Calc), cmdCancel);
    Root->Script = {Message(evtCommand, cmdYes)};
    EXPECT_EQ(Root->RunView(Calc), cmdYes);

    TEventRec ok = Message(evtCommand, cmdOk);
    Calc->HandleEvent(ok);
    EXPECT_EQ(ok.what, evtCommand) << "outside a modal run the answers are not the window's";
    FreeObject(Calc);
}

// Catches the history button recording nothing, an error or a bare 0, or a chosen entry not
// put back as the number being typed.
TEST_F(CalculatorTest, HistoryButton) {
    HistoryAdd(kCalcHistoryId, "-42.5");
    Type("7");
    Root->Script = {Key(kKeyDown), Key(kKeyEnter)};
    Click(49, 7);
    EXPECT_EQ(HistoryStr(kCalcHistoryId, 0), "7") << "opening recorded the display";
    EXPECT_EQ(Display->DisplayText(), "-42.5") << "the second entry was focused and chosen";
    EXPECT_EQ(Display->State, CalcState::Typing);
    Type("1");
    EXPECT_EQ(Display->DisplayText(), "-42.51");

    TEventRec record = Message(evtBroadcast, cmdRecordHistory);
    Calc->HandleEvent(record);
    EXPECT_EQ(HistoryStr(kCalcHistoryId, 0), "-42.51") << "a button press records the display";
    Type("C");
    Calc->HandleEvent(record);
    Type("7/0=");
    Calc->HandleEvent(record);
    EXPECT_EQ(HistoryCount(kCalcHistoryId), 3) << "neither 0 nor the error is recorded";

    HistoryAdd(kCalcHistoryId, "not a number");
    Root->Script = {Key(kKeyUp), Key(kKeyEnter)};
    TEventRec down = Message(evtCommand, 1170); // turned into Down
    Calc->HandleEvent(down);
    EXPECT_EQ(down.what, evtNothing);
    EXPECT_EQ(Display->State, CalcState::Error) << "a text that is no number shows the error";

    Type("C");
    Root->Script = {Key(kKeyEsc)};
    Click(49, 7);
    EXPECT_EQ(Display->DisplayText(), "0") << "Esc leaves the display";
}

// Catches a history button that reaches its display after the display was freed, and one
// that loses the display on the way through a stream.
TEST_F(CalculatorTest, HistoryStreamAndFreedDisplay) {
    RegisterViewStreamClasses();
    RegisterWindowStreamClasses();
    RegisterDialogStreamClasses();
    RegisterInputStreamClasses();
    RegisterCalcStreamClasses();
    tMemoryStream out;
    Put(out, Calc);
    tMemoryStream in(out.Bytes());
    tObjectPtr<tSObject> loaded(Get(in));
    auto* back = dynamic_cast<TCalculator*>(loaded.get());
    ASSERT_NE(back, nullptr);
    auto* history = dynamic_cast<TCalcHistory*>(
        back->FindView([](tView* v) { return dynamic_cast<TCalcHistory*>(v) != nullptr; }));
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->StoreID(), 162);
    EXPECT_EQ(history->Display, back->Display());
    EXPECT_EQ(history->HistoryId, kCalcHistoryId);
    FreeObject(back->Display());
    EXPECT_EQ(history->Display, nullptr);
    TEventRec record = Message(evtBroadcast, cmdRecordHistory);
    back->HandleEvent(record);
    TEventRec enter = Key(kKeyEnter);
    back->HandleEvent(enter);
    EXPECT_EQ(HistoryCount(kCalcHistoryId), 0);
}

} // namespace
} // namespace zarvo
