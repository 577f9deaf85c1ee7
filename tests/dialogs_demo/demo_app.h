// The dialogs demo's screen, standing in for the application: the menu bar on the top row,
// the desktop with its windows in between, the status line on the bottom row. It fetches
// the events for every modal run, hands keys to the status line first, runs the idle
// handlers, and answers the demo's commands.
#pragma once

#include <cstdint>
#include <functional>

#include "tests/views/support/screen_root.h"
#include "views/menu_bar.h"
#include "views/status_line.h"

namespace zarvo::demo {

class tDemoDesktop;

// The demo's own commands (at most 255, so the menus can show them disabled).
inline constexpr std::uint16_t cmdOpenDialog = 100;
inline constexpr std::uint16_t cmdNewWindow = 101;

// A menu bar whose boxes carry the menu hint, so the status line lists the menu keys.
class tDemoMenuBar : public TMenuBar {
  public:
    using TMenuBar::TMenuBar;
    TMenuView* NewSubView(const tRect& bounds, TMenuRec* menu, TMenuView* parent) override;
};

class tDialogsRoot : public tScreenRoot {
  public:
    tDialogsRoot();

    // Posted events (newest first), then the console; when nothing came, the idle handlers
    // run and an idle event is given. Keys, and clicks on the status line, go to the status
    // line first.
    void FetchEvent(TEventRec& event, bool wait) override;
    // cmdQuit ends the modal loop; the demo's commands open the dialog or a window.
    void HandleEvent(TEventRec& event) override;

    // Follows the console's new size (the terminal was resized).
    void FitToConsole();

    // Runs on cmdOpenDialog, with the root as the dialog's owner chain's top.
    std::function<void()> OnOpenDialog;

    tDemoDesktop* Desktop = nullptr;
    tDemoMenuBar* MenuBar = nullptr;
    TStatusLine* StatusLine = nullptr;

  private:
    // The command-set watcher and the idle notification; whether anything did work.
    bool NotifyIdle();
    void PreviewStatusLine(TEventRec& event);
    void OpenWindow();

    bool m_IdleGiven = false;
    int m_WindowCount = 0;
};

} // namespace zarvo::demo
