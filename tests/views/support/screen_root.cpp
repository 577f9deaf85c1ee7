// The test root group.
#include "tests/views/support/screen_root.h"

namespace zarvo {

tPalette ApplicationPalette() {
    return nullptr;
}
tScreenRoot::tScreenRoot() : tGroup(tRect{}) {}
tScreenRoot::tScreenRoot(const tRect& bounds) : tGroup(bounds) {}
tScreenRoot::~tScreenRoot() = default;
tPalette tScreenRoot::GetPalette() const {
    return nullptr;
}
void tScreenRoot::PostEvent(const TEventRec& event) {
    Pending = event;
}
void tScreenRoot::ScreenWrite(int, int, const tCell*, int) {}
void tScreenRoot::ScreenCursor(int, int, int) {}
void tScreenRoot::FetchEvent(TEventRec& event, bool) {
    event.Clear();
}

} // namespace zarvo
