// tHistory: the button's look, when it records the line's text, the history window's place
// and run, and its stored form with the line as a peer reference.
#include "views/history.h"

#include <mutex>

#include "console/key_codes.h"
#include "console/keyboard.h"
#include "library/stream_class.h"
#include "views/group.h"
#include "views/history_store.h"
#include "views/history_window.h"
#include "views/input_line.h"
#include "views/list_box.h"

namespace zarvo {

namespace {

constexpr auto kHistoryPalette = MakePalette(22, 23);
// Right half block, the down arrow between hot-text marks, left half block.
constexpr char kHistoryIcon[] = "\xDE~\x19~\xDD";
// The window covers the line with a column on each side and a row above, and reaches this
// many rows below the line's top.
constexpr int kWindowRowsBelow = 7;

void ForgetFreedWindow(void* data, EventFrame&) {
    *static_cast<tHistoryWindow**>(data) = nullptr;
}

} // namespace

tHistory::tHistory(const tRect& bounds, tInputLine* link, std::uint16_t historyId)
    : tView(bounds), Link(link), HistoryId(historyId) {
    // The button sees the keys the focused line leaves alone.
    OptionFlags |= ViewOption::PostProcess;
    AcceptMask |= evtBroadcast;
    WatchLink();
}

tHistory::tHistory(tStreamLoad) : tView(kStreamLoad) {}

std::uint16_t tHistory::StoreID() const {
    return 19;
}

tPalette tHistory::GetPalette() const {
    return kHistoryPalette.data();
}

void tHistory::WatchLink() {
    if (Link != nullptr)
        Link->Subscribe(evnObjectFree, BindHandler<&tHistory::OnLinkFreed>(this));
}

void tHistory::OnLinkFreed(EventFrame& frame) {
    if (frame.Argument == Link)
        Link = nullptr;
}

void tHistory::AfterLoad() {
    tView::AfterLoad();
    WatchLink();
}

void tHistory::Draw() {
    int width = std::min<int>(Width, MaxLineCells);
    if (width <= 0)
        return;
    std::uint16_t colors = MapColors(0x0102);
    tCell row[MaxLineCells];
    // Cells past the third stay blank in the sides' colour.
    FillCells(row, ' ', std::uint8_t(colors), width);
    tCell icon[MaxLineCells];
    int drawn = CopyHotTextToCells(icon, kHistoryIcon, colors);
    std::copy(icon, icon + std::min(drawn, width), row);
    PutLine(0, 0, width, Height, row);
}

tView* tHistory::LinkedView() const {
    return Link;
}

void tHistory::RecordLine() {
    if (Link != nullptr)
        HistoryAdd(Id(), Link->LineText());
}

void tHistory::TakeChoice(const std::string& text) {
    Link->SetLineText(text);
    Link->SelectAll(true);
    Link->Repaint();
}

tHistoryWindow* tHistory::MakeHistoryWindow(const tRect& bounds) {
    auto* window = MakeObject<tHistoryWindow>(bounds, HistoryId).release();
    if (window != nullptr && Link != nullptr)
        window->HelpTopic = Link->HelpTopic;
    return window;
}

void tHistory::ChooseFromHistory() {
    tView* linked = LinkedView();
    linked->SelectView();
    RecordLine();
    tRect r = linked->BoundsRect();
    r.Left -= 1;
    r.Right += 1;
    r.Top -= 1;
    r.Bottom += kWindowRowsBelow;
    r.Intersect(Owner->ExtentRect());
    r.Bottom -= 1;
    tHistoryWindow* window = MakeHistoryWindow(r);
    if (window == nullptr)
        return;
    // A handler may free the window or the served view while the window runs: both are let
    // go of then, and nothing is freed twice.
    EventHandler watch(&ForgetFreedWindow, static_cast<void*>(&window));
    window->Subscribe(evnObjectFree, watch);
    window->HelpTopic = kHistoryWindowHelpTopic;
    if (Owner->RunView(window) == cmdOk && window != nullptr && LinkedView() != nullptr)
        TakeChoice(window->SelectionText());
    if (window != nullptr) {
        window->Unsubscribe(evnObjectFree, watch);
        FreeObject(window);
    }
}

void tHistory::HandleEvent(TEventRec& event) {
    tView::HandleEvent(event);
    bool press = event.what == evtMouseDown;
    bool downKey = event.what == evtKeyDown && Link != nullptr &&
                   CtrlKeyToCursorKey(event.key.keyCode) == kKeyDown &&
                   Link->HasState(ViewState::Focused);
    if (press || downKey) {
        if (Link != nullptr && Owner != nullptr)
            ChooseFromHistory();
        ConsumeEvent(event);
        return;
    }
    if (event.what == evtBroadcast &&
        ((event.message.command == cmdFocusLost && Link != nullptr && event.message.info == Link) ||
         event.message.command == cmdRecordHistory))
        RecordLine();
}

void tHistory::Store(tStream& s) {
    tView::Store(s);
    WritePeerRef(s, Link);
    s.WriteValue(HistoryId);
}

void tHistory::Load(tStream& s) {
    tView::Load(s);
    ReadPeerRef(s, Link);
    HistoryId = s.ReadValue<std::uint16_t>();
}

void RegisterInputStreamClasses() {
    static const tStreamClass kInputLine = StreamClassOf<tInputLine>(
        "tInputLine", []() -> tSObject* { return new tInputLine(kStreamLoad); });
    static const tStreamClass kListBox = StreamClassOf<tListBox>(
        "tListBox", []() -> tSObject* { return new tListBox(kStreamLoad); });
    static const tStreamClass kSortedListBox = StreamClassOf<tSortedListBox>(
        "tSortedListBox", []() -> tSObject* { return new tSortedListBox(kStreamLoad); });
    static const tStreamClass kHistory = StreamClassOf<tHistory>(
        "tHistory", []() -> tSObject* { return new tHistory(kStreamLoad); });
    static const tStreamClass kHistoryObject = StreamClassOf<tHistoryObject>("tHistoryObject");
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterStreamClasses(
            {&kInputLine, &kListBox, &kSortedListBox, &kHistory, &kHistoryObject});
    });
}

} // namespace zarvo
