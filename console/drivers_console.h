// The console logic every host shares: the concrete console tDriversConsole, the input
// queue InputList, the host lock, the host form tMyForm (repaint state, close requests,
// cursor, posted messages, signals) and the start routine RunConsoleHost. A host (the X11
// window, the terminal, the headless console) supplies only a tConsoleHost.
//
// The host contract. A tConsoleHost implementation:
//  - CreateSurface/DestroySurface: opens and closes its window or screen, using
//    form.Settings() (size, font, position); both run on the host thread under HostLock.
//    CreateSurface returns false with a pending error when it cannot.
//  - PaintCells: draws a run of cells of one row (called under HostLock from
//    form.PaintDirty() and form.PaintAll(); only dirty cells come through PaintDirty).
//    BeginPaint/EndPaint bracket a repaint (hide and show the caret there).
//  - PlaceCursor: positions and shapes the caret (block for shape 0, 2-pixel underline
//    otherwise) or hides it; keep it hidden while unfocused.
//  - converts its input into TConsoleMsg records (Windows message numbers, virtual-key
//    codes, PC scan codes, modifier set in shift, mouse in cells) and hands each to
//    form.QueueInput(); close buttons and the like go to form.ForwardCloseRequest().
//    Keys go as Windows sends them: WM_KEYDOWN (WM_SYSKEYDOWN with Alt held, and for F10)
//    for every key, then WM_CHAR for keys that type a character, one record per CP866
//    byte: Enter 13, Tab 9, Backspace 8, Esc 27, Ctrl+letter 1-26, Ctrl+Enter 10,
//    Ctrl+Backspace 127. Auto-repeat may travel as one record with a repeat count.
//  - RunEventLoop: waits for its own input and for form.WakeFd() becoming readable (poll),
//    calls form.DispatchPosted() whenever it is, and returns once form.QuitPosted().
//    That one descriptor carries the run thread's posted requests and every caught signal:
//    DispatchPosted turns SIGINT, SIGTERM and SIGHUP into close requests, hands SIGTSTP to
//    SurfaceSignal before it stops the process, and SIGWINCH and SIGCONT after, so a host
//    never installs signal handlers of its own.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/host_settings.h"
#include "library/sync.h"

namespace zarvo {

// Guards ActiveConsole, the cells and dirty flags and the form's repaint state. Re-entrant:
// the run thread sets the cursor and activates the console inside its own draw bracket.
extern std::recursive_mutex HostLock;

// Input records on their way from the host thread to the run thread, oldest first.
class tInputList {
  public:
    static constexpr std::size_t kInitialRoom = 1024;
    // True when the list went from empty to one record (the moment to wake the reader).
    bool Append(const TConsoleMsg& msg);
    // The first record. A key record with a repeat count above 1 stays first with its
    // count lowered by one; anything else is removed. False when empty.
    bool TakeFirst(TConsoleMsg& msg);
    bool IsEmpty() const;
    std::size_t Count() const;
    void Clear();

  private:
    mutable std::mutex m_Lock;
    std::deque<TConsoleMsg> m_Records;
};
extern tInputList InputList;

class tMyForm;

// The concrete console: the run thread's side of the host.
class tDriversConsole : public tConsole {
  public:
    // Screen size and font from the host form's settings, or from the settings file when no
    // host form exists. The thread that makes the console is the one that reads it: its
    // message queue receives the wake-ups.
    tDriversConsole();
    explicit tDriversConsole(const tHostSettings& settings);
    ~tDriversConsole() override;

    bool ShouldRequeueKey(const TConsoleMsg& msg) override;
    void ReadMessage(bool wait, TConsoleMsg& msg) override;
    void WriteCells(int x, int y, const std::uint16_t* cells, int count) override;
    void Activate() override;
    void SetCursor(int x, int y, int shape) override;
    std::uint32_t ShiftStateOf(const TConsoleMsg& msg) override;
    void ApplyFont() override;
    void PutMessage(const TConsoleMsg& msg) override;

    // Set by OnMessage while a close request is handled; becomes HM_CLOSEANSWER's wParam.
    std::int32_t CloseAnswer = 0;

    // Reading thread: Cols x Rows become cols x rows (clamped to the screen limits), the cells
    // that fit are kept, the rest is blank; everything is repainted. OnMessage then hears
    // WM_SIZE, so the text UI can lay itself out again.
    void Resize(int cols, int rows);

    // The reading thread's queue, where the host posts HM_WAKE and HM_SCREENSIZE.
    const tThreadQueueRef& ReaderQueue() const { return m_ReaderQueue; }

    // Read under HostLock.
    const std::vector<std::uint16_t>& Cells() const { return m_Cells; }
    const std::vector<std::uint8_t>& Dirty() const { return m_Dirty; }
    std::uint16_t CellAt(int x, int y) const { return m_Cells[std::size_t(y) * Cols + x]; }

  private:
    friend class tMyForm;
    void MarkAllDirty();
    bool TakeInput(TConsoleMsg& msg);
    bool DispatchThreadMessages();
    void IdleUntilInput();

    tThreadQueueRef m_ReaderQueue;
    std::vector<std::uint16_t> m_Cells;
    std::vector<std::uint8_t> m_Dirty;
};
extern tDriversConsole* ActiveConsole;
// ConsoleClass value for tDriversConsole.
std::unique_ptr<tConsole> MakeDriversConsole();

// What a window, terminal or headless host implements; see the contract above.
class tConsoleHost {
  public:
    virtual ~tConsoleHost() = default;
    virtual bool CreateSurface(tMyForm& form) = 0;
    virtual void DestroySurface(tMyForm& form) = 0;
    virtual void RunEventLoop(tMyForm& form) = 0;
    virtual void BeginPaint() {}
    virtual void PaintCells(int x, int y, const std::uint16_t* cells, int count) = 0;
    virtual void EndPaint() {}
    // Paint request without an active console: clear the surface.
    virtual void PaintEmpty() {}
    virtual void PlaceCursor(int x, int y, int shape, bool visible) = 0;
    // HM_FONT: take form.Settings().FontName/FontWeight, refit and repaint.
    virtual void ApplyFont(tMyForm&) {}
    // SIGWINCH (the terminal's size changed), SIGTSTP (about to stop: give the terminal
    // back) or SIGCONT (continued after a stop).
    virtual void SurfaceSignal(tMyForm&, int /*signal*/) {}
    // Brings the surface to the front (a close request is being forwarded).
    virtual void RestoreSurface() {}
    // modShift, modCtrl and modAlt of the keys held now.
    virtual std::uint32_t HeldModifiers() { return 0; }
};

// The host form: the toolkit-free half of the host window. Its host-thread operations are
// called by the host; its run-thread ones by tDriversConsole and the draw lock.
class tMyForm {
  public:
    tMyForm(tConsoleHost& host, const tHostSettings& settings);
    ~tMyForm();
    tMyForm(const tMyForm&) = delete;
    tMyForm& operator=(const tMyForm&) = delete;

    // False (with a pending error) when the host thread's queue has no descriptor.
    bool IsValid() const { return WakeFd() >= 0; }
    tConsoleHost& Host() { return m_Host; }
    // The host updates FontWidth/FontHeight/ScreenLeft/ScreenTop as the window changes.
    tHostSettings& Settings() { return m_Settings; }
    int Cols() const { return m_Settings.ScreenWidth; }
    int Rows() const { return m_Settings.ScreenHeight; }

    // --- host thread ---
    // The host thread's message queue and its descriptor (posted requests and signals).
    const tThreadQueueRef& Queue() const { return m_Queue; }
    int WakeFd() const { return ThreadQueueDescriptor(m_Queue); }
    // Clears the wake, carries out the posted requests, then forwards the signals taken.
    void DispatchPosted();
    bool QuitPosted() const { return m_Quit.load(); }
    // Queues one input record for the run thread (CharConverter applied to characters);
    // wakes the run thread when the list was empty.
    void QueueInput(TConsoleMsg msg);
    // WM_CLOSE or WM_QUERYENDSESSION: forwarded unless one is already waiting for its
    // answer (then dropped).
    void ForwardCloseRequest(std::uint32_t message);
    bool ClosePending() const { return m_CloseDepth != 0; }
    std::int32_t LastCloseAnswer() const { return m_CloseAnswer; }
    // Paints the dirty cells of the active console (HM_REPAINT).
    void PaintDirty();
    // Paints every cell (expose, resize).
    void PaintAll();
    int CursorX() const { return m_CursorX; }
    int CursorY() const { return m_CursorY; }
    int CaretShape() const { return m_CursorShape; }
    bool CursorVisible() const { return m_CursorVisible; }

    // --- run thread (or any thread) ---
    void Post(std::uint32_t message, std::uint32_t wParam = 0, std::uint32_t lParam = 0);
    bool IsPosted(std::uint32_t message) const;
    // The draw-lock handler behind ScreenDrawLock: view null opens a bracket, a view closes
    // one; the outermost bracket holds HostLock and posts at most one repaint.
    void DrawLock(const void* view);
    // Run thread, under HostLock: a repaint will be asked for.
    void MarkChanged() { m_Changed = true; }
    void RequestRepaint();

  private:
    void Carry(const tThreadMessage& posted);
    void DispatchSignals();
    void PaintCells(bool onlyDirty);

    tConsoleHost& m_Host;
    tHostSettings m_Settings;
    tThreadQueueRef m_Queue;
    std::atomic<bool> m_Quit{false};

    std::int32_t m_CloseDepth = 0;
    std::int32_t m_CloseAnswer = 0;
    std::int32_t m_DrawLockCount = 0; // run thread only
    // Owns HostLock from the outermost draw bracket's opening call to its closing call.
    std::unique_lock<std::recursive_mutex> m_DrawHold{HostLock, std::defer_lock};
    std::atomic<bool> m_Changed{false};
    bool m_RepaintDone = true; // no repaint outstanding
    int m_CursorX = 0;
    int m_CursorY = 0;
    int m_CursorShape = 0x2000;
    bool m_CursorVisible = false;
};
// The form while RunConsoleHost runs (or a test made one), else null.
extern tMyForm* HostForm;

// Views call it with null before drawing and with themselves after drawing.
extern std::function<void(const void* view)> ScreenDrawLock;
// Binds ScreenDrawLock to HostForm's draw-lock handler (the start callback does this).
void BindScreenDrawLock();

// One draw bracket for the length of a scope: ScreenDrawLock(null) now, ScreenDrawLock(view)
// at the end (nothing when no draw lock is bound). The way to draw: a bracket opened by hand
// and missed on one way out would hold HostLock for good.
class tScreenDrawBracket {
  public:
    explicit tScreenDrawBracket(const void* view);
    ~tScreenDrawBracket();
    tScreenDrawBracket(const tScreenDrawBracket&) = delete;
    tScreenDrawBracket& operator=(const tScreenDrawBracket&) = delete;

  private:
    std::function<void(const void* view)> m_Lock;
    const void* m_View;
};
// The run thread's last word: ends the host's event loop.
void PostHostQuit();
// Set by the run thread once the application is constructed.
extern std::atomic<bool> ApplicationStarted;

// The start routine: reads the settings, makes the form and the host's surface, calls
// afterCreate (which starts the run thread), runs the host's loop until the quit, saves the
// settings and destroys the surface. False with a pending error when the surface or the
// form could not be made (nothing is left behind).
bool RunConsoleHost(tConsoleHost& host, const std::function<void()>& afterCreate);
// The same with another settings file (tests).
bool RunConsoleHost(tConsoleHost& host, const std::function<void()>& afterCreate,
                    const std::string& settingsPath);

} // namespace zarvo
