// What the window-family tests add to the shared screen: a root that keeps what views post
// instead of feeding it back, and the keys they press.
#pragma once

#include "tests/views/support/scripted_screen.h"

namespace zarvo::testing_windows {

using namespace testing_screens;

// Key codes the tests press.
inline constexpr std::uint16_t kHome = 0x4700, kEnd = 0x4F00, kPgUp = 0x4900, kPgDn = 0x5100;
inline constexpr std::uint16_t kCtrlLeft = 0x7300, kCtrlRight = 0x7400;
inline constexpr std::uint16_t kCtrlPgUp = 0x8400, kCtrlPgDn = 0x7600;
inline constexpr std::uint16_t kShiftTab = 0x0F00;

// Posted events stay in Root->Posted for the tests to look at.
class tWindowScreen : public tScriptedScreen {
  protected:
    tWindowScreen() : tScriptedScreen(false) {}
};

} // namespace zarvo::testing_windows
