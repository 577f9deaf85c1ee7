// The test root group: the console's extent, the application's palette, one stack of posted
// events in front of the console's events.
#include "tests/views/support/screen_root.h"

#include "console/console.h"

namespace zarvo {

namespace {

tRect ConsoleExtent() {
    if (CurrentConsole == nullptr)
        return MakeRect(0, 0, 80, 25);
    return MakeRect(0, 0, CurrentConsole->Cols, CurrentConsole->Rows);
}

} // namespace

tScreenRoot::tScreenRoot() : tScreenRoot(ConsoleExtent()) {}

tScreenRoot::tScreenRoot(const tRect& bounds) : tGroup(bounds) {
    // The root is the top of the tree: visible, focused, running and on the screen from the
    // start, set directly as the application does.
    StateFlags = ViewState::Visible | ViewState::Selected | ViewState::Focused | ViewState::Modal |
                 ViewState::Exposed;
    OptionFlags |= ViewOption::ScreenOwner;
    ScreenRoot = this;
}

tScreenRoot::~tScreenRoot() {
    if (ScreenRoot == this)
        ScreenRoot = nullptr;
}

tPalette tScreenRoot::GetPalette() const {
    return ApplicationPalette();
}

void tScreenRoot::PostEvent(const TEventRec& event) {
    Pending.push_back(event);
}

void tScreenRoot::ScreenWrite(int x, int y, const tCell* cells, int count) {
    ++WriteCalls;
    WrittenCells += std::size_t(count);
    if (CurrentConsole != nullptr)
        CurrentConsole->WriteCells(x, y, cells, count);
}

void tScreenRoot::ScreenCursor(int x, int y, int shape) {
    if (CurrentConsole != nullptr)
        CurrentConsole->SetCursor(x, y, shape);
}

void tScreenRoot::FetchEvent(TEventRec& event, bool wait) {
    if (!Pending.empty()) {
        event = Pending.back();
        Pending.pop_back();
        return;
    }
    ReadConsoleEvent(event, false);
    if (event.what == evtNothing && wait)
        event.what = evtIdle;
}

} // namespace zarvo
