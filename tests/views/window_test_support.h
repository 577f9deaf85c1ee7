// What the window-family tests add to the shared screen: a root that keeps what views post
// instead of feeding it back, and the keys they press.
#pragma once

#include "console/key_codes.h"
#include "tests/views/support/scripted_screen.h"

namespace zarvo::testing_windows {

using namespace testing_screens;

// Key codes the tests press.

// Posted events stay in Root->Posted for the tests to look at.
class tWindowScreen : public tScriptedScreen {
  protected:
    tWindowScreen() : tScriptedScreen(false) {}
};

} // namespace zarvo::testing_windows
