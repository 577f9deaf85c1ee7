// What the dialog-control tests add to the shared screen: a root that feeds back what views
// post (oldest first) before its script, a gray dialog on it, and the commands posted.
#pragma once

#include <string>
#include <vector>

#include "console/key_codes.h"
#include "tests/views/support/scripted_screen.h"
#include "views/dialog.h"

namespace zarvo::testing_dialogs {

using namespace testing_screens;

class tDialogRoot : public tScriptedRoot {
  public:
    explicit tDialogRoot(const tRect& bounds) : tScriptedRoot(bounds, true) {}
};

// The root feeds back what views post.
class tDialogScreen : public tScriptedScreen {
  protected:
    tDialogScreen() : tScriptedScreen(true) {}

    // A dialog at BOUNDS inserted into the root (so it is current, active and focused).
    tDialog* AddDialog(const tRect& bounds = MakeRect(0, 0, 40, 12)) {
        auto* dialog = new tDialog(bounds, "");
        Root->InsertView(dialog);
        return dialog;
    }
    // Hands EVENT to VIEW, then every event it posted, oldest first, to RECEIVER.
    void Feed(tView* view, TEventRec event, tView* receiver) {
        view->HandleEvent(event);
        while (!Root->Posted.empty()) {
            TEventRec posted = Root->Posted.front();
            Root->Posted.pop_front();
            receiver->HandleEvent(posted);
        }
    }
    std::vector<std::uint16_t> PostedCommands() const {
        std::vector<std::uint16_t> out;
        for (const TEventRec& event : Root->History)
            if (event.what == evtCommand)
                out.push_back(event.message.command);
        return out;
    }
};

} // namespace zarvo::testing_dialogs
