// The program's application over the headless console, for the tests of what the operator
// sees: the parameters dialog and the test in its progress window. Events come from what the
// console holds (posted events, fed records) first, then from a script; an exhausted script
// answers every fetch with cmdCancel, so no modal run can wait forever.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string_view>

#include "app/util_app.h"
#include "console/console.h"
#include "console/event_makers.h"
#include "console/headless/headless_host.h"
#include "console/key_codes.h"
#include "diagnostics/pending_error.h"
#include "platform/interrupt_signals.h"
#include "views/command_set.h"
#include "views/status_line_cache.h"

namespace zarvo::testing {

class tAppScreenRig {
  public:
    tAppScreenRig() {
        InputList.Clear();
        StartStatusLineCache();
        App = MakeObject<tUtlApp>();
        App->Start();
        Subscribe(App.get(), evnReadInput, EventHandler(&ReadScripted, this));
    }
    ~tAppScreenRig() {
        App.reset();
        StopStatusLineCache();
        RestoreCommandSet(InitialCommandSet());
        CommandSetChanged = false;
        ClearError();
        InputList.Clear();
        ResetInterruptState();
    }
    tAppScreenRig(const tAppScreenRig&) = delete;
    tAppScreenRig& operator=(const tAppScreenRig&) = delete;

    // Keys for TEXT: "\t" is Tab, "\r" Enter, "\x1b" Esc, any other byte its character.
    void Type(std::string_view text) {
        for (char c : text) {
            Script.push_back(KeyEvent(c == '\t'     ? kKeyTab
                                      : c == '\r'   ? kKeyEnter
                                      : c == '\x1b' ? kKeyEsc
                                                    : std::uint16_t(std::uint8_t(c))));
        }
    }

    tHeadlessConsole Screen{80, 25};
    tObjectPtr<tUtlApp> App;
    std::deque<TEventRec> Script;
    // Called before each event is handed out.
    std::function<void()> OnFetch;

  private:
    static void ReadScripted(void* data, EventFrame& frame) {
        auto* self = static_cast<tAppScreenRig*>(data);
        auto* args = static_cast<tFetchEventArgs*>(frame.Argument);
        frame.Handled = true;
        if (self->OnFetch)
            self->OnFetch();
        ReadConsoleEvent(*args->Event, false);
        if (args->Event->what != evtNothing)
            return;
        if (!self->Script.empty()) {
            *args->Event = self->Script.front();
            self->Script.pop_front();
            return;
        }
        args->Event->what = evtCommand;
        args->Event->message.command = cmdCancel;
    }
};

class tAppScreen : public ::testing::Test, public tAppScreenRig {};

} // namespace zarvo::testing
