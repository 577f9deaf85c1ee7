// The views demo's frame around its windows: a root that reads the console and turns the
// demo's keys into commands (as the status line will), the framework's desktop, and a bottom
// row naming the keys.
#pragma once

#include <cstdint>

#include "console/key_codes.h"
#include "tests/views/support/screen_root.h"
#include "views/desktop.h"
#include "views/group.h"

namespace zarvo::demo {

// Key codes the demo answers (character low, scan code high).

// The root: the console's extent with the desktop above the key row. Its modal loop is the
// demo's event loop.
class tDemoRoot : public tScreenRoot {
  public:
    tDemoRoot();

    // Posted events, then the console; when nothing came, one idle event at once and then
    // idle events at a slow beat while the console is quiet.
    void FetchEvent(TEventRec& event, bool wait) override;
    // cmdQuit ends the modal loop.
    void HandleEvent(TEventRec& event) override;

    // Follows the console's new size (the terminal was resized).
    void FitToConsole();

    TDeskTop* Desktop = nullptr;

  private:
    // Keys with a command become that command when it is enabled; Alt+digit becomes the
    // window-number broadcast.
    static void MapKey(TEventRec& event);

    bool m_IdleGiven = false;
};

// The bottom row: the keys and what they do, hot keys in their own colour.
class tDemoKeyLine : public tView {
  public:
    explicit tDemoKeyLine(const tRect& bounds);
    void Draw() override;
    tPalette GetPalette() const override;
};

} // namespace zarvo::demo
