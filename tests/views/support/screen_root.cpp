// The test root group: the console's extent, the application's palette, one stack of posted
// events in front of the console's events.
#include "tests/views/support/screen_root.h"

#include "console/console.h"

namespace zarvo {

namespace {

constexpr auto kApplicationPalette = MakePalette(
    0x71, 0x70, 0x78, 0x74, 0x20, 0x28, 0x24, 0x17, 0x1F, 0x1A, 0x31, 0x31, 0x1E, 0x31, 0x00, 0x37,
    0x3F, 0x3A, 0x13, 0x13, 0x3E, 0x21, 0x00, 0x70, 0x7F, 0x7A, 0x13, 0x13, 0x70, 0x7F, 0x00, 0x70,
    0x7F, 0x7A, 0x13, 0x13, 0x70, 0x70, 0x7F, 0x7E, 0x20, 0x2B, 0x2F, 0x78, 0x2E, 0x70, 0x30, 0x3F,
    0x3E, 0x1F, 0x2F, 0x1A, 0x20, 0x72, 0x31, 0x31, 0x30, 0x2F, 0x3E, 0x31, 0x13, 0x38, 0x00, 0x01,
    0x37, 0x3F, 0x3A, 0x13, 0x13, 0x30, 0x3E, 0x1E, 0x71, 0x7B, 0x4F, 0x13, 0x12, 0x13, 0x14, 0x14,
    0x12, 0x13, 0x14, 0x14, 0x1B, 0x1B, 0x1B, 0x30, 0x17, 0x2F, 0x1F, 0x4F, 0x3E, 0x3B);
static_assert(kApplicationPalette[0] == 94, "the application palette has 94 entries");

tRect ConsoleExtent() {
    if (CurrentConsole == nullptr)
        return MakeRect(0, 0, 80, 25);
    return MakeRect(0, 0, CurrentConsole->Cols, CurrentConsole->Rows);
}

} // namespace

tPalette ApplicationPalette() {
    return kApplicationPalette.data();
}

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
