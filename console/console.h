// The abstract console the text UI reads events from and writes cells to, the global console
// of the run thread, and the translation of host input records into events.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "console/console_msg.h"

namespace zarvo {

// A console as the run thread sees it; the host's shared logic (tDriversConsole) implements
// it. Everything but the own stack is used on the run thread only.
class tConsole {
  public:
    // Create: the own stack exists from here on; descendants read size and font settings.
    tConsole();
    virtual ~tConsole();
    tConsole(const tConsole&) = delete;
    tConsole& operator=(const tConsole&) = delete;

    virtual bool ShouldRequeueKey(const TConsoleMsg& msg) = 0;
    // The next input record; with wait false returns at once (message 0 when none).
    virtual void ReadMessage(bool wait, TConsoleMsg& msg) = 0;
    virtual void WriteCells(int x, int y, const std::uint16_t* cells, int count) = 0;
    virtual void Activate() = 0;
    // shape: bit 0x2000 hidden, 0 block, anything else underline.
    virtual void SetCursor(int x, int y, int shape) = 0;
    virtual std::uint32_t ShiftStateOf(const TConsoleMsg& msg) = 0;
    virtual void ApplyFont() = 0;
    // Pushes a copy onto the own stack.
    virtual void PutMessage(const TConsoleMsg& msg);
    // Pops the newest record of the own stack, or gives message 0.
    virtual void TakeMessage(TConsoleMsg& msg);

    bool HasQueued() const;
    void CallOnMessage(TConsoleMsg& msg);

    std::int32_t Cols = 80;
    std::int32_t Rows = 25;
    std::string FontName;
    std::int32_t FontWeight = 400;
    bool Active = false;
    // Run thread: close requests and idle ticks. Clearing msg.message asks for 5 ms ticks.
    std::function<void(TConsoleMsg& msg)> OnMessage;
    // Host thread, inside HostLock: every host input before the host handles it.
    std::function<void(const TConsoleMsg& msg)> OnHostMessage;

  private:
    // The host may read it too, hence the lock; duplicates allowed, newest last.
    mutable std::mutex m_QueueLock;
    std::vector<TConsoleMsg> m_Queue;
};

// The "class" the console is created from: a factory. The main program points it at
// tDriversConsole before the application starts.
using tConsoleClass = std::unique_ptr<tConsole> (*)();
extern tConsoleClass ConsoleClass;
// The console of the run thread; null until the application starts the driver layer.
extern tConsole* CurrentConsole;

// Start: creates CurrentConsole from ConsoleClass (when set). Stop: frees it.
void StartConsoleDriver();
void StopConsoleDriver();

// The application's way to the keyboard and mouse. evtNothing when there is no console, or
// nothing came and wait is false.
void ReadConsoleEvent(TEventRec& event, bool wait);
// Pure translation of one input record (apart from the mouse double-click and repeat state).
void TranslateConsoleMsg(const TConsoleMsg& msg, TEventRec& event);

// The shift state of an event from a host modifier set.
std::uint16_t ShiftStateFromModifiers(std::uint32_t shift);

// Millisecond clock behind double clicks and mouse auto-repeat: GetTickCount32 by default, so
// the wall clock jumping (midnight, a clock set by hand) never stalls or floods the repeat;
// tests put a fake one in. Differences are taken modulo 2^32.
using tConsoleClock = std::uint32_t (*)();
void SetConsoleClock(tConsoleClock clock); // null restores GetTickCount32
// Forgets the last mouse event and the repeat timing (between tests).
void ResetConsoleMouseState();

} // namespace zarvo
