// TCalculator and TCalcHistory: the calculator's layout, its palettes, how Esc and Enter end
// it, and how the history button records and restores the display's text.
#include "views/calculator.h"

#include <mutex>

#include "console/event_makers.h"
#include "console/key_codes.h"
#include "console/keyboard.h"
#include "library/stream_class.h"
#include "platform/cp866.h"
#include "views/button.h"
#include "views/calc_display.h"
#include "views/calendar.h"
#include "views/commands.h"
#include "views/history_store.h"

namespace zarvo {

namespace {

constexpr auto kBlueCalculatorPalette = MakePalette(
    0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x49, 0x4A, 0x4B, 0x4C, 0x55, 0x4D, 0x4E, 0x4F,
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5C, 0x5E, 0x5F);
constexpr auto kCyanCalculatorPalette = MakePalette(
    0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F,
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F);
constexpr auto kGrayCalculatorPalette =
    MakePalette(0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D,
                0x2E, 0x2F, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B,
                0x3C, 0x3D, 0x3E, 0x3F, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E);

// Commands the history button turns into Backspace and Down.
constexpr std::uint16_t kBackspaceCommand = 313;
constexpr std::uint16_t kDownCommand = 1170;
// A chosen history text is cut to a sign and the display's digits.
constexpr std::size_t kMaxChosenText = 16;

// The keys, row by row: clear, backspace (a left arrow), percent and the sign key (ё).
constexpr const char* kKeys[5][4] = {{"C", "\x1B", "%", "\xF1"},
                                     {"7", "8", "9", "/"},
                                     {"4", "5", "6", "*"},
                                     {"1", "2", "3", "-"},
                                     {"0", ".", "=", "+"}};

} // namespace

// ---- TCalcHistory

TCalcHistory::TCalcHistory(const tRect& bounds, TCalcDisplay* display, std::uint16_t historyId)
    : tHistory(bounds, nullptr, historyId), Display(display) {
    WatchDisplay();
}

TCalcHistory::TCalcHistory(tStreamLoad) : tHistory(kStreamLoad) {}

std::uint16_t TCalcHistory::StoreID() const {
    return 162;
}

void TCalcHistory::WatchDisplay() {
    if (Display != nullptr)
        Display->Subscribe(evnObjectFree, BindHandler<&TCalcHistory::OnDisplayFreed>(this));
}

void TCalcHistory::OnDisplayFreed(EventFrame& frame) {
    if (frame.Argument == Display)
        Display = nullptr;
}

void TCalcHistory::AfterLoad() {
    tHistory::AfterLoad();
    WatchDisplay();
}

tView* TCalcHistory::LinkedView() const {
    return Display;
}

// An error or a bare 0 is nothing to come back to.
void TCalcHistory::RecordLine() {
    if (Display == nullptr || Display->State == CalcState::Error)
        return;
    std::string text = Display->DisplayText();
    if (text != "0")
        HistoryAdd(std::uint8_t(HistoryId), text);
}

void TCalcHistory::TakeChoice(const std::string& text) {
    Display->ShowText(text.substr(0, kMaxChosenText));
}

void TCalcHistory::HandleEvent(TEventRec& event) {
    tView::HandleEvent(event);
    if (event.what == evtCommand &&
        (event.message.command == kBackspaceCommand || event.message.command == kDownCommand)) {
        std::uint16_t key = event.message.command == kDownCommand ? kKeyDown : kKeyBackspace;
        event.Clear();
        event.what = evtKeyDown;
        event.key.keyCode = key;
    }
    bool open = event.what == evtMouseDown ||
                (event.what == evtKeyDown && CtrlKeyToCursorKey(event.key.keyCode) == kKeyDown);
    if (open) {
        if (Display != nullptr && Owner != nullptr)
            ChooseFromHistory();
        ConsumeEvent(event);
        return;
    }
    bool enter = event.what == evtKeyDown && event.key.keyCode == kKeyEnter;
    bool broadcast =
        event.what == evtBroadcast && (event.message.command == cmdRecordHistory ||
                                       (event.message.command == cmdFocusLost &&
                                        Display != nullptr && event.message.info == Display));
    if (enter || broadcast)
        RecordLine();
}

void TCalcHistory::Store(tStream& s) {
    tView::Store(s);
    WritePeerRef(s, Display);
    s.WriteValue(HistoryId);
}

void TCalcHistory::Load(tStream& s) {
    tView::Load(s);
    ReadPeerRef(s, Display);
    HistoryId = s.ReadValue<std::uint16_t>();
}

// ---- TCalculator

TCalculator::TCalculator() : tWindow(MakeRect(0, 0, 24, 15), "Калькулятор"_oem, 0) {
    // A pad of keys: nothing in it grows, and it is moved or closed but never resized.
    WindowFlags = WindowFlag::CanMove | WindowFlag::CanClose;
    GrowFlags = 0;
    OptionFlags |= ViewOption::Centered;
    HelpTopic = kCalculatorHelpTopic;
    auto* display = new TCalcDisplay(MakeRect(2, 2, 20, 3));
    tInsert(display);
    tInsert(new TCalcHistory(MakeRect(20, 2, 23, 3), display, kCalcHistoryId));
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 4; ++column) {
            int x = 2 + 5 * column;
            int y = 4 + 2 * row;
            auto* button = new tButton(MakeRect(x, y, x + 5, y + 2), kKeys[row][column],
                                       cmdCalcButton, ButtonFlag::BroadcastPress);
            // Keys stay with the display: the buttons are pressed, never focused.
            button->OptionFlags &= ~ViewOption::Selectable;
            tInsert(button);
        }
    }
    display->SelectView();
}

TCalculator::TCalculator(tStreamLoad) : tWindow(kStreamLoad) {}

std::uint16_t TCalculator::StoreID() const {
    return 161;
}

tPalette TCalculator::GetPalette() const {
    switch (ColorScheme) {
    case WindowScheme::Blue:
        return kBlueCalculatorPalette.data();
    case WindowScheme::Cyan:
        return kCyanCalculatorPalette.data();
    default:
        return kGrayCalculatorPalette.data();
    }
}

TCalcDisplay* TCalculator::Display() const {
    return dynamic_cast<TCalcDisplay*>(const_cast<TCalculator*>(this)->FindView(
        [](tView* v) { return dynamic_cast<TCalcDisplay*>(v) != nullptr; }));
}

void TCalculator::HandleEvent(TEventRec& event) {
    if (event.what == evtKeyDown && event.key.keyCode == kKeyEsc) {
        PostEvent(MessageEvent(evtCommand, cmdCancel));
        ConsumeEvent(event);
        return;
    }
    if (event.what == evtKeyDown && event.key.keyCode == kKeyEnter) {
        // The focused display completes the pending operation and the history button
        // records the result, before the run ends.
        TCalcDisplay* display = Display();
        if (display != nullptr && display->HasState(ViewState::Focused))
            tWindow::HandleEvent(event);
        else if (display != nullptr)
            display->CalcKey('\r');
        PostEvent(MessageEvent(evtCommand, cmdOk));
        ConsumeEvent(event);
        return;
    }
    if (event.what == evtCommand && IsAnswer(event.message.command) && HasState(ViewState::Modal)) {
        FinishModal(event.message.command);
        ConsumeEvent(event);
        return;
    }
    tWindow::HandleEvent(event);
}

void RegisterCalcStreamClasses() {
    static const tStreamClass kDisplay = StreamClassOf<TCalcDisplay>(
        "TCalcDisplay", []() -> tSObject* { return new TCalcDisplay(kStreamLoad); });
    static const tStreamClass kCalculator = StreamClassOf<TCalculator>(
        "TCalculator", []() -> tSObject* { return new TCalculator(kStreamLoad); });
    static const tStreamClass kHistory = StreamClassOf<TCalcHistory>(
        "TCalcHistory", []() -> tSObject* { return new TCalcHistory(kStreamLoad); });
    static const tStreamClass kCalendarView = StreamClassOf<TCalendarView>(
        "TCalendarView", []() -> tSObject* { return new TCalendarView(kStreamLoad); });
    static const tStreamClass kCalendarWindow = StreamClassOf<TCalendarWindow>(
        "TCalendarWindow", []() -> tSObject* { return new TCalendarWindow(kStreamLoad); });
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterStreamClasses(
            {&kDisplay, &kCalculator, &kHistory, &kCalendarView, &kCalendarWindow});
    });
}

} // namespace zarvo
