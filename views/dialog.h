// tDialog, the window controls live in: gray by default, not resizable, Esc posts cmdCancel,
// Enter asks the default button to press itself, and a modal dialog ends on the answer
// commands.
#pragma once

#include <string_view>

#include "views/window.h"

namespace zarvo {

// The help context a dialog starts with.
inline constexpr std::uint16_t kDialogHelpTopic = 900;

class tDialog : public tWindow {
  public:
    tDialog(const tRect& bounds, std::string_view title);
    // The designer's blank dialog: 20 x 10 at (0, 0), titled "Диалог".
    tDialog();
    explicit tDialog(tStreamLoad);

    std::uint16_t StoreID() const override; // 10
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;
};

// Registers tDialog (10), tButton (12), tCluster (13), tRadioButtons (14), tCheckBoxes (15),
// tStaticText (17), tLabel (18), tParamText (20) and tProcessView (248) with object
// streaming. Safe to call more than once.
void RegisterDialogStreamClasses();

} // namespace zarvo
