// The calculator and calendar as the program carries them: the resources load by name as the
// windows their constructors build and store back byte for byte, damaged ones fail cleanly,
// and RunCalculator and RunCalendar hand a field's value in and back.
#include "views/calc_tools.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "library/clocks.h"
#include "library/dates.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "library/resource_object.h"
#include "platform/resources.h"
#include "resources/program_resources.h"
#include "tests/support/stream_bytes.h"
#include "tests/views/input_test_support.h"
#include "views/button.h"
#include "views/calc_display.h"
#include "views/calculator.h"
#include "views/calendar.h"
#include "views/history.h"
#include "views/history_store.h"

namespace zarvo {
namespace {

using namespace testing_input;

using zarvo::testing::PutBytes;

std::vector<std::uint8_t> ResourceBytes(std::string_view name) {
    auto bytes = FindResource(kFrameworkResourceType, name);
    return bytes ? std::vector<std::uint8_t>(bytes->begin(), bytes->end())
                 : std::vector<std::uint8_t>();
}

class CalcToolsTest : public tScriptedScreen {
  protected:
    CalcToolsTest() : tScriptedScreen(true) {}
    void SetUp() override {
        tScriptedScreen::SetUp();
        RegisterViewStreamClasses();
        RegisterWindowStreamClasses();
        RegisterDialogStreamClasses();
        RegisterInputStreamClasses();
        RegisterCalcStreamClasses();
        RegisterProgramResources();
        InitHistory();
    }
    void TearDown() override {
        // Puts back any resource a test replaced.
        RegisterProgramResources();
        DoneHistory();
        tScriptedScreen::TearDown();
    }
};

// Catches a resource laid out otherwise than the constructor builds, one that does not load
// as its class under any letter case, or a loaded window that stores differently.
TEST_F(CalcToolsTest, ResourcesRoundTrip) {
    struct tCase {
        const char* Name;
        const char* Request;
        tObjectPtr<tSObject> Built;
    } cases[] = {
        {"CALCULATOR", "Calculator", tObjectPtr<tSObject>(new TCalculator())},
        {"CALENDAR", "calendar", tObjectPtr<tSObject>(new TCalendarWindow())},
    };
    for (tCase& c : cases) {
        std::vector<std::uint8_t> resource = ResourceBytes(c.Name);
        ASSERT_FALSE(resource.empty()) << c.Name;
        EXPECT_EQ(resource, PutBytes(c.Built.get())) << c.Name << " is what the constructor builds";
        tObjectPtr<tSObject> loaded(LoadResourceObject(c.Request));
        ASSERT_NE(loaded, nullptr) << c.Name;
        EXPECT_EQ(loaded->StoreID(), c.Built->StoreID()) << c.Name;
        EXPECT_EQ(PutBytes(loaded.get()), resource) << c.Name << " stores back byte for byte";
        EXPECT_FALSE(IsErrorPending());
    }
}

// Catches a calculator resource with the wrong title, size, help topic or controls.
TEST_F(CalcToolsTest, CalculatorResourceLayout) {
    tObjectPtr<tSObject> loaded(LoadResourceObject("CALCULATOR"));
    auto* calc = dynamic_cast<TCalculator*>(loaded.get());
    ASSERT_NE(calc, nullptr);
    EXPECT_EQ(calc->Title, "Калькулятор"_oem);
    EXPECT_EQ(calc->Width, 24);
    EXPECT_EQ(calc->Height, 15);
    EXPECT_EQ(calc->HelpTopic, 1500);
    ASSERT_NE(calc->Display(), nullptr);
    EXPECT_EQ(calc->Display()->BoundsRect(), MakeRect(2, 2, 20, 3));
    std::string titles;
    calc->ForEachView([&](tView* v) {
        if (auto* history = dynamic_cast<TCalcHistory*>(v)) {
            EXPECT_EQ(history->BoundsRect(), MakeRect(20, 2, 23, 3));
            EXPECT_EQ(history->Display, calc->Display());
        }
        if (auto* button = dynamic_cast<tButton*>(v)) {
            titles += button->Title;
            EXPECT_EQ(button->Width, 5);
            EXPECT_EQ(button->Height, 2);
            EXPECT_EQ(button->Command, 540);
            EXPECT_TRUE(button->ButtonFlags & ButtonFlag::BroadcastPress);
        }
    });
    EXPECT_EQ(titles, "C\x1B%\xF1"
                      "789/456*123-0.=+");

    tObjectPtr<tSObject> calendar(LoadResourceObject("CALENDAR"));
    auto* window = dynamic_cast<TCalendarWindow*>(calendar.get());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Title, "Календарь"_oem);
    EXPECT_EQ(window->Width, 22);
    EXPECT_EQ(window->Height, 10);
    EXPECT_EQ(window->HelpTopic, 1510);
    ASSERT_NE(window->CalendarView(), nullptr);
    EXPECT_EQ(window->CalendarView()->BoundsRect(), MakeRect(1, 1, 21, 9));
    EXPECT_EQ(window->CalendarView()->Date(), Today()) << "a loaded calendar shows today";
}

// Catches a damaged resource that crashes, answers an object, or leaves no stream error.
TEST_F(CalcToolsTest, DamagedResources) {
    for (const char* name : {"CALCULATOR", "CALENDAR"}) {
        const std::vector<std::uint8_t> resource = ResourceBytes(name);
        for (std::size_t cut = 8; cut < resource.size(); cut += 7) {
            std::vector<std::uint8_t> part(resource.begin(), resource.begin() + long(cut));
            tMemoryStream in(part);
            tObjectPtr<tSObject> none(Get(in));
            EXPECT_EQ(none, nullptr) << name << " cut at " << cut;
            EXPECT_NE(in.Status, stOk) << name << " cut at " << cut;
            ClearError();
        }
        // Every byte flipped in turn: whatever loads must not crash, and a failure says so.
        for (std::size_t i = 8; i < resource.size(); ++i) {
            std::vector<std::uint8_t> flipped = resource;
            flipped[i] ^= 0xFF;
            tMemoryStream in(flipped);
            tObjectPtr<tSObject> loaded(Get(in));
            if (loaded == nullptr) {
                EXPECT_NE(in.Status, stOk) << name << " flipped at " << i;
            }
            ClearError();
        }
    }
    static const std::vector<std::uint8_t> broken = [] {
        std::vector<std::uint8_t> bytes = ResourceBytes("CALCULATOR");
        bytes.resize(bytes.size() / 2);
        return bytes;
    }();
    RegisterResource("CALCULATOR", kFrameworkResourceType, broken);
    std::string text = "5";
    EXPECT_EQ(RunCalculator(text, Root), 0) << "a damaged resource runs nothing";
    EXPECT_EQ(text, "5");
    EXPECT_TRUE(IsErrorPending()) << "the stream error is left to report";
    ClearError();
    UnregisterResource("CALENDAR", kFrameworkResourceType);
    std::uint16_t day = 100;
    EXPECT_EQ(RunCalendar(day, Root), 0) << "a missing resource runs nothing";
    EXPECT_EQ(day, 100);
    EXPECT_TRUE(IsErrorPending());
    ClearError();
}

// Catches a field's number not shown, the result not handed back, a cancelled run changing
// the text, or text that is no number taken for one.
TEST_F(CalcToolsTest, RunCalculator) {
    struct tCase {
        const char* Name;
        std::string Text;
        std::vector<TEventRec> Script;
        std::uint16_t Result;
        std::string After;
    } cases[] = {
        {"a sum", " 12.5 ", {Char('+'), Char('1'), Key(kKeyEnter)}, cmdOk, "13.5"},
        {"a negative start", "-3", {Char('*'), Char('2'), Key(kKeyEnter)}, cmdOk, "-6"},
        {"an empty field", "", {Char('7'), Key(kKeyEnter)}, cmdOk, "7"},
        {"cancelled", "12", {Char('9'), Key(kKeyEsc)}, cmdCancel, "12"},
        {"no number: the field keeps its text", "abc", {Char('1'), Key(kKeyEnter)}, cmdOk, "abc"},
        {"an error result", "7", {Char('/'), Char('0'), Key(kKeyEnter)}, cmdOk, "7"},
        {"no number, cleared", "abc", {Char('C'), Char('4'), Key(kKeyEnter)}, cmdOk, "4"},
    };
    for (tCase& c : cases) {
        std::string text = c.Text;
        Root->Script.assign(c.Script.begin(), c.Script.end());
        EXPECT_EQ(RunCalculator(text, Root), c.Result) << c.Name;
        EXPECT_EQ(text, c.After) << c.Name;
        EXPECT_EQ(Root->FirstView(), nullptr) << c.Name << ": the calculator is gone";
    }
}

// Catches the calendar opened on another day, the chosen day not handed back, or a cancelled
// run changing it.
TEST_F(CalcToolsTest, RunCalendar) {
    std::uint16_t day = EncodeDate(1, 12, 2024);
    Root->Script = {Key(kKeyRight), Key(kKeyRight), Key(kKeyEnter)};
    EXPECT_EQ(RunCalendar(day, Root), cmdOk);
    EXPECT_EQ(day, EncodeDate(3, 12, 2024));

    Root->Script = {Key(kKeyRight), Key(kKeyEsc)};
    EXPECT_EQ(RunCalendar(day, Root), cmdCancel);
    EXPECT_EQ(day, EncodeDate(3, 12, 2024));

    day = 0;
    Root->Script = {Key(kKeyEnter)};
    EXPECT_EQ(RunCalendar(day, Root), cmdOk);
    EXPECT_EQ(day, Today()) << "0 opens today";
    EXPECT_EQ(Root->FirstView(), nullptr);
}

} // namespace
} // namespace zarvo
