// The host form's shared logic (posted requests, signals, repaint, close requests, draw
// lock) and the start routine RunConsoleHost.
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <csignal>
#include <stdexcept>

#include "console/char_converter.h"
#include "console/drivers_console.h"
#include "diagnostics/pending_error.h"
#include "library/scope.h"
#include "library/thread.h"
#include "platform/cp866.h"
#include "platform/interrupt_signals.h"

namespace zarvo {

tMyForm* HostForm = nullptr;
std::function<void(const void* view)> ScreenDrawLock;
std::atomic<bool> ApplicationStarted{false};

namespace {

// A Synchronize call waits for the main thread: wake the host loop running there.
void WakeHostForSynchronize() {
    std::lock_guard guard(HostLock);
    if (HostForm != nullptr)
        HostForm->Post(kSynchronizeMessage);
}

// Windows thread priorities (1 = above normal) as nice values; refused where not permitted.
void ApplyThreadPriority(int priority) {
    int nice = std::clamp(-5 * priority, -20, 19);
    if (setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), nice) != 0) {
        // Raising the priority needs privileges an ordinary user lacks; running on is right.
    }
}

} // namespace

tMyForm::tMyForm(tConsoleHost& host, const tHostSettings& settings)
    : m_Host(host), m_Settings(settings), m_Queue(MakeThreadQueue()) {
    if (WakeFd() < 0)
        PostAppError(0, "Ошибка инициализации нити ввода-вывода."_oem);
}

tMyForm::~tMyForm() {
    assert(m_DrawLockCount == 0 && "host form destroyed inside a draw bracket");
    std::lock_guard guard(HostLock);
    if (HostForm == this)
        HostForm = nullptr;
}

void tMyForm::Post(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam) {
    PostThreadMessage(m_Queue, {message, wParam, std::intptr_t(lParam)});
}

bool tMyForm::IsPosted(std::uint32_t message) const {
    return HasThreadMessage(m_Queue, message);
}

void tMyForm::DispatchPosted() {
    // Cleared first: whatever arrives from here on leaves the descriptor readable again.
    ClearThreadQueueWake(m_Queue);
    tThreadMessage posted;
    while (PeekThreadMessage(m_Queue, posted, true))
        Carry(posted);
    DispatchSignals();
}

// SIGINT closes like the close button, SIGTERM and SIGHUP are a shutdown. SIGTSTP stops the
// process once the host has given its terminal back; SIGCONT comes after it (the continue
// is the stop's end) and before SIGWINCH, since a continued terminal is refitted anyway.
void tMyForm::DispatchSignals() {
    if (TakeSignal(SIGINT))
        ForwardCloseRequest(WM_CLOSE);
    bool term = TakeSignal(SIGTERM);
    bool hangUp = TakeSignal(SIGHUP);
    if (term || hangUp)
        ForwardCloseRequest(WM_QUERYENDSESSION);
    if (TakeSignal(SIGTSTP)) {
        m_Host.SurfaceSignal(*this, SIGTSTP);
        kill(getpid(), SIGSTOP);
    }
    for (int signal : {SIGCONT, SIGWINCH})
        if (TakeSignal(signal))
            m_Host.SurfaceSignal(*this, signal);
}

void tMyForm::Carry(const tThreadMessage& posted) {
    switch (posted.Message) {
    case HM_REPAINT:
        PaintDirty();
        break;
    case HM_CURSOR: {
        auto lParam = std::uint32_t(posted.LParam);
        int shape = int(lParam >> 16);
        m_CursorX = int(lParam & 0xFF);
        m_CursorY = int((lParam >> 8) & 0xFF);
        m_CursorShape = shape;
        m_CursorVisible = (shape & 0x2000) == 0;
        m_Host.PlaceCursor(m_CursorX, m_CursorY, shape, m_CursorVisible);
        break;
    }
    case HM_FONT: {
        std::lock_guard guard(HostLock);
        m_Host.ApplyFont(*this);
        break;
    }
    case HM_CLOSEANSWER:
        m_CloseAnswer = std::int32_t(posted.WParam);
        m_CloseDepth = 0;
        break;
    case WM_QUIT:
        m_Quit = true;
        break;
    case kSynchronizeMessage:
        CheckSynchronize();
        break;
    default:
        break; // HM_WAKE and strays
    }
}

void tMyForm::QueueInput(TConsoleMsg msg) {
    tThreadQueueRef reader;
    {
        std::lock_guard guard(HostLock);
        if (ActiveConsole != nullptr) {
            if (ActiveConsole->OnHostMessage)
                ActiveConsole->OnHostMessage(msg);
            reader = ActiveConsole->ReaderQueue();
        }
    }
    if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
        char ch = char(msg.wParam & 0xFF);
        if (CharConverter != nullptr)
            CharConverter(&ch);
        msg.wParam = std::uint8_t(ch);
    }
    // Without an active console nobody waits: the record is read once one is active.
    if (InputList.Append(msg))
        PostThreadMessage(reader, {HM_WAKE, 0, 0});
}

void tMyForm::ForwardCloseRequest(std::uint32_t message) {
    if (m_CloseDepth != 0)
        return;
    m_CloseAnswer = -1;
    m_CloseDepth = 1;
    m_Host.RestoreSurface();
    TConsoleMsg request;
    request.message = message;
    QueueInput(request);
}

// Walks the active console's cells row by row and paints each run of (dirty) cells; the
// host's paint bracket opens before the first run and closes after the last. Under HostLock.
void tMyForm::PaintCells(bool onlyDirty) {
    tDriversConsole& console = *ActiveConsole;
    bool began = false;
    tScopeExit endPaint([&] {
        if (began)
            m_Host.EndPaint();
    });
    int cols = console.Cols;
    for (int y = 0; y < console.Rows; ++y) {
        std::size_t rowStart = std::size_t(y) * cols;
        int x = 0;
        while (x < cols) {
            if (onlyDirty && console.m_Dirty[rowStart + x] == 0) {
                ++x;
                continue;
            }
            int end = x;
            while (end < cols && (!onlyDirty || console.m_Dirty[rowStart + end] != 0))
                console.m_Dirty[rowStart + end++] = 0;
            if (!began) {
                m_Host.BeginPaint();
                began = true;
            }
            m_Host.PaintCells(x, y, console.m_Cells.data() + rowStart + x, end - x);
            x = end;
        }
    }
}

void tMyForm::PaintDirty() {
    std::lock_guard guard(HostLock);
    if (ActiveConsole == nullptr || m_RepaintDone)
        return;
    m_RepaintDone = true;
    m_Changed = false;
    PaintCells(true);
}

void tMyForm::PaintAll() {
    std::lock_guard guard(HostLock);
    if (ActiveConsole == nullptr) {
        m_Host.PaintEmpty();
        return;
    }
    PaintCells(false);
}

void tMyForm::RequestRepaint() {
    std::lock_guard guard(HostLock);
    if (m_RepaintDone && !IsPosted(HM_REPAINT))
        Post(HM_REPAINT);
    m_RepaintDone = false;
}

void tMyForm::DrawLock(const void* view) {
    // A closing call without an opening one has no bracket to end; taking the lock for it
    // would leave HostLock held for good.
    assert((view == nullptr || m_DrawLockCount < 0) && "draw bracket closed but never opened");
    if (view != nullptr && m_DrawLockCount == 0)
        return;
    if (m_DrawLockCount == 0)
        m_DrawHold.lock();
    m_DrawLockCount += view == nullptr ? -1 : 1;
    assert(m_DrawLockCount <= 0 && "draw brackets out of balance");
    if (m_DrawLockCount != 0)
        return;
    if (m_Changed)
        RequestRepaint();
    m_DrawHold.unlock();
}

void BindScreenDrawLock() {
    std::lock_guard guard(HostLock);
    tMyForm* form = HostForm;
    if (form == nullptr) {
        ScreenDrawLock = nullptr;
        return;
    }
    ScreenDrawLock = [form](const void* view) { form->DrawLock(view); };
}

tScreenDrawBracket::tScreenDrawBracket(const void* view) : m_Lock(ScreenDrawLock), m_View(view) {
    assert(view != nullptr && "a draw bracket closes with the view that drew");
    if (m_Lock)
        m_Lock(nullptr);
}

tScreenDrawBracket::~tScreenDrawBracket() {
    if (m_Lock)
        m_Lock(m_View);
}

void PostHostQuit() {
    std::lock_guard guard(HostLock);
    if (HostForm != nullptr)
        HostForm->Post(WM_QUIT);
}

bool RunConsoleHost(tConsoleHost& host, const std::function<void()>& afterCreate) {
    return RunConsoleHost(host, afterCreate, SettingsFileName());
}

bool RunConsoleHost(tConsoleHost& host, const std::function<void()>& afterCreate,
                    const std::string& settingsPath) {
    if (HostForm != nullptr)
        throw std::logic_error("RunConsoleHost: a host is already running");
    std::vector<std::string> problems;
    tHostSettings settings = LoadHostSettings(settingsPath, problems);
    ReportSettingsProblems(problems);

    auto form = std::make_unique<tMyForm>(host, settings);
    if (!form->IsValid())
        return false;
    // The signals reach the host loop through the form's descriptor from here on, so none
    // is missed while the surface is made (a resize, a Ctrl+C).
    tInterruptSignalScope signals;
    int previousWake = SetSignalWakeDescriptor(form->WakeFd());
    tScopeExit restoreWake([previousWake] { SetSignalWakeDescriptor(previousWake); });
    {
        std::lock_guard guard(HostLock);
        HostForm = form.get();
        HostPalette = settings.Palette;
        if (!host.CreateSurface(*form)) {
            HostForm = nullptr;
            return false;
        }
    }
    // Whatever happens from here on, the surface goes away.
    tScopeExit destroySurface([&host, &form] {
        std::lock_guard guard(HostLock);
        host.DestroySurface(*form);
        HostForm = nullptr;
    });

    ApplyThreadPriority(settings.InputThreadPriority);
    auto previousHook = gSynchronizeWakeHook.exchange(&WakeHostForSynchronize);
    tScopeExit restoreHook([previousHook] { gSynchronizeWakeHook = previousHook; });
    if (afterCreate)
        afterCreate();
    host.RunEventLoop(*form);
    SaveHostSettings(settingsPath, form->Settings());
    return true;
}

} // namespace zarvo
