// Events made whole in one call: the key, mouse and message records the views and the tests
// feed to a view.
#pragma once

#include <cstdint>

#include "console/console_msg.h"

namespace zarvo {

inline TEventRec KeyEvent(std::uint16_t keyCode, std::uint16_t shiftState = 0) {
    TEventRec event;
    event.what = evtKeyDown;
    event.key.keyCode = keyCode;
    event.key.shiftState = shiftState;
    return event;
}

// WHAT is evtCommand or evtBroadcast.
inline TEventRec MessageEvent(std::uint16_t what, std::uint16_t command, void* info = nullptr) {
    TEventRec event;
    event.what = what;
    event.message.command = command;
    event.message.info = info;
    return event;
}

// WHAT is one of the evtMouse kinds; X and Y are the cell on the screen.
inline TEventRec MouseEvent(std::uint16_t what, int x, int y, std::uint8_t buttons = mbLeftButton,
                            bool doubleClick = false) {
    TEventRec event;
    event.what = what;
    event.mouse.buttons = buttons;
    event.mouse.doubleClick = doubleClick ? 1 : 0;
    event.mouse.where = tPoint{std::int16_t(x), std::int16_t(y)};
    return event;
}

} // namespace zarvo
