// What the typed input tests share: the input screen with its gray dialog, a message-box
// hook that records every question and notice instead of showing it, typing helpers and
// the CP866 texts they compare with.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record_inputs/abstract_input.h"
#include "tests/views/input_test_support.h"
#include "views/message_box_call.h"

namespace zarvo::testing_typed {

using namespace testing_input;

// One message-box call as it was asked.
struct tAsked {
    std::string Text;
    std::uint16_t Flags = 0;
};

inline std::vector<tAsked>& AskedBoxes() {
    static std::vector<tAsked> asked;
    return asked;
}

inline std::uint16_t RecordBox(std::string_view text, std::uint16_t flags, void*) {
    AskedBoxes().push_back({std::string(text), flags});
    return cmdOk;
}

// The input screen with the message boxes recorded.
class tTypedScreen : public tInputScreen {
  protected:
    void SetUp() override {
        tInputScreen::SetUp();
        m_HookBefore = MessageBoxHook;
        MessageBoxHook = &RecordBox;
        AskedBoxes().clear();
    }
    void TearDown() override {
        MessageBoxHook = m_HookBefore;
        AskedBoxes().clear();
        tInputScreen::TearDown();
    }

  public:
    // INPUT goes into the box at its bounds, bound to PLACE, and becomes the current field.
    template <class T> T* Place(T* input, void* place) {
        Box->InsertView(input);
        input->ImportData(place);
        input->SelectView();
        return input;
    }
    // Types TEXT as characters into VIEW.
    void Type(tView* view, std::string_view text) {
        for (char ch : text) {
            TEventRec key = Char(ch);
            view->HandleEvent(key);
        }
    }
    // Sends one key; whether it was taken.
    bool Press(tView* view, std::uint16_t keyCode) {
        TEventRec key = Key(keyCode);
        view->HandleEvent(key);
        return key.what == evtNothing;
    }
    void Broadcast(std::uint16_t command) {
        TEventRec event = Message(evtBroadcast, command);
        Box->HandleEvent(event);
    }
    std::vector<tAsked>& Asked() { return AskedBoxes(); }

  private:
    tMessageBoxHook m_HookBefore = nullptr;
};

} // namespace zarvo::testing_typed
