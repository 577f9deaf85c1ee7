// Scroll bars: the thumb arithmetic at the edges and over huge ranges, the limits rule, the
// parts and steps, clicks and held buttons, the thumb drag with one announcement, the keys,
// the drawing and the stored form.
#include "views/scroll_bar.h"

#include <gtest/gtest.h>

#include <limits>

#include "console/key_codes.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "tests/views/window_test_support.h"
#include "views/window.h"

namespace zarvo {
namespace {

using namespace testing_windows;

constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();

// A group that notes the scroll broadcasts it hears.
class tListeningGroup : public tGroup {
  public:
    using tGroup::tGroup;
    void HandleEvent(TEventRec& event) override {
        if (event.what == evtBroadcast && (event.message.command == cmdScrollChanged ||
                                           event.message.command == cmdScrollClicked))
            Heard.push_back(event.message.command);
        tGroup::HandleEvent(event);
    }
    int Count(std::uint16_t command) const {
        return int(std::count(Heard.begin(), Heard.end(), command));
    }
    std::vector<std::uint16_t> Heard;
};

tRect HorizontalBounds(int width) {
    return MakeRect(0, 0, width, 1);
}
tRect VerticalBounds(int height) {
    return MakeRect(0, 0, 1, height);
}

// Catches thumb cells off at the range's edges, an empty range dividing by zero, and 32-bit
// overflow in large ranges.
TEST(ScrollBarArithmetic, ThumbCell) {
    struct tCase {
        tRect Bounds;
        std::int32_t Min, Max, Value;
        int Cell;
    } cases[] = {
        {VerticalBounds(10), 0, 100, 50, 5},
        {VerticalBounds(10), 0, 100, 0, 1},
        {VerticalBounds(10), 0, 100, 100, 8},
        {VerticalBounds(10), 5, 5, 5, 1},    // empty range
        {VerticalBounds(10), 0, 1, 1, 8},    // one step
        {HorizontalBounds(2), 0, 10, 10, 1}, // a track shorter than 3 counts as 3
        {HorizontalBounds(10), 0, 200000000, 200000000, 8},
        {HorizontalBounds(10), 0, 200000000, 100000000, 5},
        {HorizontalBounds(130), kMin32, kMax32, kMax32, 128},
        {HorizontalBounds(130), kMin32, kMax32, 0, 65},
        {HorizontalBounds(130), kMin32, kMax32, kMin32, 1},
        {HorizontalBounds(130), 0, 100000000, 100000000, 128}, // the last small range
    };
    for (const tCase& c : cases) {
        tScrollBar bar(c.Bounds);
        bar.SetAll(c.Value, c.Min, c.Max, 1, 1);
        EXPECT_EQ(bar.ThumbCell(), c.Cell)
            << c.Min << ".." << c.Max << " value " << c.Value << " track " << bar.TrackLength();
    }
}

// Catches values left outside the limits or an inverted range kept.
TEST(ScrollBarArithmetic, SetAllKeepsTheLimits) {
    struct tCase {
        std::int32_t Value, Min, Max;
        std::int32_t WantValue, WantMin, WantMax;
    } cases[] = {
        {5, 10, 3, 10, 10, 10},
        {50, 0, 100, 50, 0, 100},
        {-5, 0, 100, 0, 0, 100},
        {500, 0, 100, 100, 0, 100},
        {kMin32, kMin32, kMax32, kMin32, kMin32, kMax32},
    };
    for (const tCase& c : cases) {
        tScrollBar bar(VerticalBounds(10));
        bar.SetAll(c.Value, c.Min, c.Max, 7, 2);
        EXPECT_EQ(bar.Value, c.WantValue)
            << "SetAll(" << c.Value << ", " << c.Min << ", " << c.Max << ")";
        EXPECT_EQ(bar.MinValue, c.WantMin);
        EXPECT_EQ(bar.MaxValue, c.WantMax);
        EXPECT_EQ(bar.PageStep, 7);
        EXPECT_EQ(bar.ArrowStep, 2);
    }
}

// Catches parts confused at the thumb, the arrows or the page areas, or wrong step signs.
TEST(ScrollBarArithmetic, PartsAndSteps) {
    tScrollBar horizontal(HorizontalBounds(10));
    horizontal.SetAll(50, 0, 100, 10, 1); // thumb in cell 5
    struct tCase {
        tPoint Point;
        int Part;
    } cases[] = {{{0, 0}, ScrollBarPart::LeftArrow},   {{-1, 0}, ScrollBarPart::LeftArrow},
                 {{3, 0}, ScrollBarPart::PageLeft},    {{5, 0}, ScrollBarPart::Thumb},
                 {{7, 0}, ScrollBarPart::PageRight},   {{9, 0}, ScrollBarPart::RightArrow},
                 {{10, 0}, ScrollBarPart::RightArrow}, {{5, 2}, ScrollBarPart::Outside}};
    for (const tCase& c : cases)
        EXPECT_EQ(horizontal.PartAt(c.Point), c.Part) << "x " << c.Point.X << " y " << c.Point.Y;
    tScrollBar vertical(VerticalBounds(10));
    vertical.SetAll(50, 0, 100, 10, 1);
    EXPECT_EQ(vertical.PartAt({0, 0}), ScrollBarPart::UpArrow);
    EXPECT_EQ(vertical.PartAt({0, 7}), ScrollBarPart::PageDown);
    EXPECT_EQ(vertical.PartAt({0, 9}), ScrollBarPart::DownArrow);
    const std::int32_t steps[] = {-1, 1, -10, 10, -1, 1, -10, 10};
    for (int part = 0; part < 8; ++part)
        EXPECT_EQ(vertical.StepFor(part), steps[part]) << "part " << part;
}

class ScrollBarTest : public tWindowScreen {
  protected:
    void SetUp() override {
        tWindowScreen::SetUp();
        Owner = new tListeningGroup(MakeRect(0, 0, 40, 12));
        Root->InsertView(Owner);
    }
    tScrollBar* AddBar(const tRect& bounds, std::int32_t value, std::int32_t min,
                       std::int32_t max) {
        auto* bar = new tScrollBar(bounds);
        bar->SetAll(value, min, max, 10, 1);
        Owner->InsertView(bar);
        Owner->Heard.clear();
        return bar;
    }
    void Click(std::initializer_list<TEventRec> events) {
        auto it = events.begin();
        TEventRec first = *it;
        Root->Script.assign(it + 1, events.end());
        Root->HandleEvent(first);
        EXPECT_EQ(first.what, evtNothing) << "the click is consumed";
    }

    tListeningGroup* Owner = nullptr;
};

// Catches announcements of values that did not change, or none for ones that did.
TEST_F(ScrollBarTest, AnnouncesOnlyChanges) {
    tScrollBar* bar = AddBar(HorizontalBounds(10), 50, 0, 100);
    bar->SetPosition(50);
    bar->SetSteps(5, 2);
    EXPECT_EQ(Owner->Count(cmdScrollChanged), 0) << "nothing changed";
    bar->SetPosition(60);
    bar->SetLimits(0, 50);
    EXPECT_EQ(Owner->Count(cmdScrollChanged), 2) << "a value and a limit change";
    EXPECT_EQ(bar->Value, 50) << "the value follows the lowered maximum";
}

// Catches clicks stepping the wrong way or by the wrong step, and a held button that does not
// repeat or that steps past the mouse.
TEST_F(ScrollBarTest, ClicksAndHeldButtons) {
    struct tCase {
        const char* Name;
        tRect Bounds;
        std::vector<TEventRec> Events;
        std::int32_t Value;
    } cases[] = {
        {"right arrow",
         HorizontalBounds(10),
         {Mouse(evtMouseDown, 9, 0), Mouse(evtMouseUp, 9, 0)},
         51},
        {"left arrow",
         HorizontalBounds(10),
         {Mouse(evtMouseDown, 0, 0), Mouse(evtMouseUp, 0, 0)},
         49},
        {"page right",
         HorizontalBounds(10),
         {Mouse(evtMouseDown, 7, 0), Mouse(evtMouseUp, 7, 0)},
         60},
        {"page left",
         HorizontalBounds(10),
         {Mouse(evtMouseDown, 2, 0), Mouse(evtMouseUp, 2, 0)},
         40},
        {"held right arrow repeats",
         HorizontalBounds(10),
         {Mouse(evtMouseDown, 9, 0), Mouse(evtMouseRepeat, 9, 0), Mouse(evtMouseRepeat, 9, 0),
          Mouse(evtMouseUp, 9, 0)},
         53},
        {"held page stops under the thumb",
         HorizontalBounds(10),
         {Mouse(evtMouseDown, 7, 0), Mouse(evtMouseRepeat, 7, 0), Mouse(evtMouseRepeat, 7, 0),
          Mouse(evtMouseRepeat, 7, 0), Mouse(evtMouseUp, 7, 0)},
         80},
        {"down arrow",
         VerticalBounds(10),
         {Mouse(evtMouseDown, 0, 9), Mouse(evtMouseUp, 0, 9)},
         51},
        {"page up", VerticalBounds(10), {Mouse(evtMouseDown, 0, 2), Mouse(evtMouseUp, 0, 2)}, 40},
    };
    for (const tCase& c : cases) {
        tScrollBar* bar = AddBar(c.Bounds, 50, 0, 100);
        auto first = c.Events.begin();
        TEventRec down = *first;
        Root->Script.assign(first + 1, c.Events.end());
        Root->HandleEvent(down);
        EXPECT_EQ(down.what, evtNothing) << c.Name << ": consumed";
        EXPECT_EQ(bar->Value, c.Value) << c.Name;
        EXPECT_EQ(Owner->Count(cmdScrollClicked), 1) << c.Name;
        EXPECT_FALSE(bar->HasMouseCapture()) << c.Name << ": mouse released";
        FreeObject(bar);
    }
}

// Catches a drag to the last thumb cell of a huge range missing MaxValue, and owners told of
// every step of a drag instead of once at the release.
TEST_F(ScrollBarTest, ThumbDragAnnouncesOnceAtRelease) {
    struct tCase {
        std::int32_t Max;
        int To;
        std::int32_t Value;
    } cases[] = {{200000000, 8, 200000000}, {100, 5, 57}, {100, 8, 100}, {100, 1, 0}};
    for (const tCase& c : cases) {
        tScrollBar* bar = AddBar(HorizontalBounds(10), c.Max / 2, 0, c.Max);
        int thumb = bar->ThumbCell();
        int changesDuringDrag = -1;
        auto look = [](void* data, EventFrame&) {
            auto* self = static_cast<std::pair<tListeningGroup*, int*>*>(data);
            *self->second = self->first->Count(cmdScrollChanged);
        };
        std::pair<tListeningGroup*, int*> spy{Owner, &changesDuringDrag};
        bar->Subscribe(evnFetchEvent, EventHandler(+look, static_cast<void*>(&spy)));
        Click({Mouse(evtMouseDown, thumb, 0), Mouse(evtMouseMove, 3, 0),
               Mouse(evtMouseMove, c.To, 0), Mouse(evtMouseUp, c.To, 0)});
        EXPECT_EQ(bar->Value, c.Value) << "0.." << c.Max << " dragged to " << c.To;
        EXPECT_EQ(changesDuringDrag, 0) << "no announcement while dragging";
        EXPECT_EQ(Owner->Count(cmdScrollChanged), 1) << "one announcement at the release";
        EXPECT_EQ(bar->TrackLock, 0);
        FreeObject(bar);
    }
}

// Catches keys taken by the wrong kind of bar, stepping wrongly, or taken while hidden.
TEST_F(ScrollBarTest, Keys) {
    struct tCase {
        bool Vertical;
        std::uint16_t Key;
        bool Taken;
        std::int32_t Value;
    } cases[] = {
        {false, kKeyLeft, true, 49},     {false, kKeyRight, true, 51},
        {false, kKeyCtrlLeft, true, 40}, {false, kKeyCtrlRight, true, 60},
        {false, kKeyHome, true, 0},      {false, kKeyEnd, true, 100},
        {false, kKeyUp, false, 50},      {true, kKeyUp, true, 49},
        {true, kKeyDown, true, 51},      {true, kKeyPgUp, true, 40},
        {true, kKeyPgDn, true, 60},      {true, kKeyCtrlPgUp, true, 0},
        {true, kKeyCtrlPgDn, true, 100}, {true, kKeyLeft, false, 50},
    };
    for (const tCase& c : cases) {
        tScrollBar* bar =
            AddBar(c.Vertical ? VerticalBounds(10) : HorizontalBounds(10), 50, 0, 100);
        TEventRec key = Key(c.Key);
        bar->HandleEvent(key);
        EXPECT_EQ(key.what == evtNothing, c.Taken) << "key " << std::hex << c.Key;
        EXPECT_EQ(bar->Value, c.Value) << "key " << std::hex << c.Key;
        EXPECT_EQ(Owner->Count(cmdScrollClicked), c.Taken ? 1 : 0);
        bar->Conceal();
        key = Key(c.Key);
        bar->HandleEvent(key);
        EXPECT_EQ(key.what, evtKeyDown) << "a hidden bar takes no keys";
        FreeObject(bar);
    }
}

// Catches the thumb drawn in the wrong cell, drawn on an empty range, or a vertical bar drawn
// as a line.
TEST_F(ScrollBarTest, Drawing) {
    AddBar(MakeRect(0, 0, 10, 1), 50, 0, 100);
    AddBar(MakeRect(0, 2, 10, 3), 7, 7, 7);
    AddBar(MakeRect(20, 0, 21, 5), 10, 0, 10);
    EXPECT_EQ(Cells(0, 0, 10), "◄▒▒▒▒■▒▒▒►");
    EXPECT_EQ(Cells(2, 0, 10), "◄▓▓▓▓▓▓▓▓►") << "empty range: no thumb";
    std::string column;
    for (int y = 0; y < 5; ++y)
        column += Cells(y, 20, 1);
    EXPECT_EQ(column, "▲▒▒■▼");
}

class ScrollBarStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterViewStreamClasses();
        RegisterWindowStreamClasses();
    }
    void TearDown() override { ClearError(); }
};

// Catches fields lost in a round trip, and an inverted range from a damaged stream trusted.
TEST_F(ScrollBarStreamTest, RoundTripAndDamagedRange) {
    tScrollBar bar(HorizontalBounds(12));
    bar.SetAll(-3, -10, 0x12345678, 0x2B, 0x1D);
    tMemoryStream out;
    Put(out, &bar);
    std::vector<std::uint8_t> bytes = out.Bytes();
    tMemoryStream in(bytes);
    tObjectPtr<tSObject> loaded(Get(in));
    auto* copy = dynamic_cast<tScrollBar*>(loaded.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Value, -3);
    EXPECT_EQ(copy->MinValue, -10);
    EXPECT_EQ(copy->MaxValue, 0x12345678);
    EXPECT_EQ(copy->PageStep, 0x2B);
    EXPECT_EQ(copy->ArrowStep, 0x1D);
    EXPECT_TRUE(std::equal(std::begin(copy->BarChars), std::end(copy->BarChars), bar.BarChars));
    // Make the stored maximum -20, below the minimum.
    const std::uint8_t max[] = {0x78, 0x56, 0x34, 0x12};
    auto at = std::search(bytes.begin(), bytes.end(), std::begin(max), std::end(max));
    ASSERT_NE(at, bytes.end());
    const std::uint8_t below[] = {0xEC, 0xFF, 0xFF, 0xFF};
    std::copy(std::begin(below), std::end(below), at);
    tMemoryStream damaged(bytes);
    tObjectPtr<tSObject> mended(Get(damaged));
    auto* repaired = dynamic_cast<tScrollBar*>(mended.get());
    ASSERT_NE(repaired, nullptr);
    EXPECT_EQ(repaired->MaxValue, -10) << "raised to the minimum";
    EXPECT_EQ(repaired->Value, -10) << "kept inside the limits";
}

} // namespace
} // namespace zarvo
