// The abstract console, the driver-layer globals and the event reader.
#include "console/console.h"

namespace zarvo {

tConsoleClass ConsoleClass = nullptr;
tConsole* CurrentConsole = nullptr;

tConsole::tConsole() {
    m_Queue.reserve(16);
}

tConsole::~tConsole() = default;

void tConsole::PutMessage(const TConsoleMsg& msg) {
    std::lock_guard guard(m_QueueLock);
    m_Queue.push_back(msg);
}

void tConsole::TakeMessage(TConsoleMsg& msg) {
    std::lock_guard guard(m_QueueLock);
    if (m_Queue.empty()) {
        msg.message = 0;
        return;
    }
    msg = m_Queue.back();
    m_Queue.pop_back();
}

bool tConsole::HasQueued() const {
    std::lock_guard guard(m_QueueLock);
    return !m_Queue.empty();
}

void tConsole::CallOnMessage(TConsoleMsg& msg) {
    if (OnMessage)
        OnMessage(msg);
}

void StartConsoleDriver() {
    StopConsoleDriver();
    if (ConsoleClass)
        CurrentConsole = ConsoleClass().release();
}

void StopConsoleDriver() {
    delete CurrentConsole;
    CurrentConsole = nullptr;
}

namespace {

// The records a console may ask to have read again (ShouldRequeueKey).
bool IsRequeueableKey(std::uint32_t message) {
    return message == WM_KEYDOWN || message == WM_CHAR || message == WM_SYSKEYDOWN ||
           message == WM_SYSCHAR;
}

} // namespace

void ReadConsoleEvent(TEventRec& event, bool wait) {
    event.Clear();
    if (CurrentConsole == nullptr)
        return;
    for (;;) {
        TConsoleMsg msg;
        CurrentConsole->ReadMessage(wait, msg);
        if (msg.message == 0)
            return;
        // The wheel has no event of its own: the application scrolls what lies under it.
        if (msg.message == WM_MOUSEWHEEL) {
            CurrentConsole->CallOnMessage(msg);
            continue;
        }
        TranslateConsoleMsg(msg, event);
        if (IsRequeueableKey(msg.message) && CurrentConsole->ShouldRequeueKey(msg))
            CurrentConsole->PutMessage(msg);
        if (event.what != evtNothing)
            return;
    }
}

} // namespace zarvo
