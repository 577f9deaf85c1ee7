// The dialogs demo's application: the menu bar with the demo's two menus, the status line's
// hint table with the demo's ranges in front of the application's own, and the commands
// that open the dialog and plain windows.
#pragma once

#include <cstdint>
#include <functional>

#include "views/application.h"
#include "views/menu_bar.h"

namespace zarvo::demo {

// The demo's own commands (at most 255, so the menus can show them disabled).
inline constexpr std::uint16_t cmdOpenDialog = 100;
inline constexpr std::uint16_t cmdNewWindow = 101;

// A menu bar whose boxes carry the menu hint, so the status line lists the menu keys.
class tDemoMenuBar : public TMenuBar {
  public:
    using TMenuBar::TMenuBar;
    TMenuView* NewSubView(const tRect& bounds, TMenuRec* menu, TMenuView* parent) override;
};

class tDialogsApp : public TApplication {
  public:
    TMenuBar* InitMenuBar() override;
    tStatusDefPtr StatusLineDefs() override;
    // The demo's commands: the dialog, a new window, tiling and cascading the windows; a
    // quit ends the dialog or menu that runs.
    void HandleEvent(TEventRec& event) override;

    // Runs on cmdOpenDialog.
    std::function<void()> OnOpenDialog;

  private:
    void OpenWindow();

    int m_WindowCount = 0;
};

} // namespace zarvo::demo
