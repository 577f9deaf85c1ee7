// What the input line, list box and history tests add to the shared screen: a root that
// feeds back what views post, a gray dialog to hold the controls, and their keys.
#pragma once

#include "console/key_codes.h"
#include "tests/views/support/scripted_screen.h"
#include "views/dialog.h"

namespace zarvo::testing_input {

using namespace testing_screens;

// The attribute a control's palette entry ENTRY of a dialog with PALETTE gets on the screen.
inline std::uint8_t DialogColor(tPalette palette, int entry) {
    return ApplicationPalette()[palette[entry]];
}

// The key a typed CP866 character makes (no scan code).
inline TEventRec Char(char ch) {
    return Key(std::uint16_t(std::uint8_t(ch)));
}

inline constexpr std::uint16_t kShift = shiftLeft;

// An 80 x 25 headless screen with the root and an active gray dialog of 40 x 12 at (0, 0);
// commands and errors are put back between tests.
class tInputScreen : public tScriptedScreen {
  protected:
    tInputScreen() : tScriptedScreen(true) {}

    void SetUp() override {
        tScriptedScreen::SetUp();
        Box = new tDialog(MakeRect(0, 0, 40, 12), "");
        Root->InsertView(Box);
        Box->ChangeState(ViewState::Active, true);
    }

  public:
    std::uint8_t Gray(int entry) { return DialogColor(Box->GetPalette(), entry); }

    tDialog* Box = nullptr;
};

} // namespace zarvo::testing_input
