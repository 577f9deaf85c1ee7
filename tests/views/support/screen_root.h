// A small root group for screen tests and demos until the application exists: it covers the
// console, starts exposed, sends its cache lines and the cursor to CurrentConsole, maps
// colours through the application palette, and fetches events from one pending slot, then
// the console, with idle events when nothing came.
#pragma once

#include <cstddef>
#include <vector>

#include "views/application.h"
#include "views/group.h"

namespace zarvo {

class tScreenRoot : public tGroup {
  public:
    // The console's extent, or BOUNDS when given; becomes ScreenRoot until destroyed.
    tScreenRoot();
    explicit tScreenRoot(const tRect& bounds);
    ~tScreenRoot() override;

    tPalette GetPalette() const override;
    void PostEvent(const TEventRec& event) override;
    void ScreenWrite(int x, int y, const tCell* cells, int count) override;
    void ScreenCursor(int x, int y, int shape) override;
    void FetchEvent(TEventRec& event, bool wait) override;

    // Counts of what reached the console since the last reset.
    std::size_t WriteCalls = 0;
    std::size_t WrittenCells = 0;
    void ResetWriteCount() { WriteCalls = WrittenCells = 0; }

    // Posted events, newest last; fetched newest first.
    std::vector<TEventRec> Pending;
};

} // namespace zarvo
