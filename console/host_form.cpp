// The host form's shared logic (posted requests, repaint, close requests, draw lock), the
// signal forwarding and the start routine RunConsoleHost.
#include <fcntl.h>
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
#include "platform/cp866.h"

namespace zarvo {

tMyForm* HostForm = nullptr;
std::function<void(const void* view)> ScreenDrawLock;
std::atomic<bool> ApplicationStarted{false};

namespace {

// The signals that mean "please end": SIGINT closes like the close button, the others are a
// shutdown. Only async-signal-safe calls run in the handler: a flag and a write.
constexpr int kForwardedSignals[] = {SIGINT, SIGTERM, SIGHUP};
volatile std::sig_atomic_t gSignalPending[3] = {0, 0, 0};
volatile std::sig_atomic_t gSignalWakeFd = -1;

void OnForwardedSignal(int signal) {
    int savedErrno = errno;
    for (int i = 0; i < 3; ++i)
        if (kForwardedSignals[i] == signal)
            gSignalPending[i] = 1;
    if (gSignalWakeFd >= 0) {
        char byte = 1;
        [[maybe_unused]] ssize_t written = write(gSignalWakeFd, &byte, 1);
    }
    errno = savedErrno;
}

// Installs the handlers for the life of the host's loop and puts the old ones back after.
class tSignalForwarding {
  public:
    explicit tSignalForwarding(int wakeFd) {
        gSignalWakeFd = wakeFd;
        struct sigaction action {};
        action.sa_handler = OnForwardedSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int i = 0; i < 3; ++i)
            m_Installed[i] = sigaction(kForwardedSignals[i], &action, &m_Previous[i]) == 0;
    }
    ~tSignalForwarding() {
        for (int i = 0; i < 3; ++i)
            if (m_Installed[i])
                sigaction(kForwardedSignals[i], &m_Previous[i], nullptr);
        gSignalWakeFd = -1;
    }
    tSignalForwarding(const tSignalForwarding&) = delete;
    tSignalForwarding& operator=(const tSignalForwarding&) = delete;

  private:
    struct sigaction m_Previous[3]{};
    bool m_Installed[3] = {false, false, false};
};

// Windows thread priorities (1 = above normal) as nice values; refused where not permitted.
void ApplyThreadPriority(int priority) {
    int nice = std::clamp(-5 * priority, -20, 19);
    if (setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), nice) != 0) {
        // Raising the priority needs privileges an ordinary user lacks; running on is right.
    }
}

} // namespace

tMyForm::tMyForm(tConsoleHost& host, const tHostSettings& settings)
    : m_Host(host), m_Settings(settings) {
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) {
        PostAppError(0, "Ошибка инициализации нити ввода-вывода."_oem);
        return;
    }
    m_WakeRead = fds[0];
    m_WakeWrite = fds[1];
}

tMyForm::~tMyForm() {
    std::lock_guard guard(HostLock);
    if (HostForm == this)
        HostForm = nullptr;
    if (m_WakeRead >= 0)
        close(m_WakeRead);
    if (m_WakeWrite >= 0)
        close(m_WakeWrite);
}

int tMyForm::WakeWriteFd() const {
    return m_WakeWrite;
}

void tMyForm::Wake(char byte) {
    if (m_WakeWrite < 0)
        return;
    // A full pipe already guarantees a wake-up; the request itself waits in m_Posted.
    [[maybe_unused]] ssize_t written = write(m_WakeWrite, &byte, 1);
}

void tMyForm::DrainWakePipe() {
    char buffer[256];
    while (m_WakeRead >= 0 && read(m_WakeRead, buffer, sizeof buffer) > 0) {
    }
}

void tMyForm::Post(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam) {
    {
        std::lock_guard guard(m_PostLock);
        m_Posted.push_back({message, wParam, lParam});
    }
    Wake(0);
}

bool tMyForm::IsPosted(std::uint32_t message) const {
    std::lock_guard guard(m_PostLock);
    return std::any_of(m_Posted.begin(), m_Posted.end(),
                       [message](const tPosted& posted) { return posted.message == message; });
}

void tMyForm::DispatchPosted() {
    DrainWakePipe();
    for (int i = 0; i < 3; ++i) {
        if (gSignalPending[i] != 0) {
            gSignalPending[i] = 0;
            ForwardCloseRequest(kForwardedSignals[i] == SIGINT ? WM_CLOSE : WM_QUERYENDSESSION);
        }
    }
    for (;;) {
        tPosted posted{};
        {
            std::lock_guard guard(m_PostLock);
            if (m_Posted.empty())
                return;
            posted = m_Posted.front();
            m_Posted.pop_front();
        }
        Carry(posted);
    }
}

void tMyForm::Carry(const tPosted& posted) {
    switch (posted.message) {
    case HM_REPAINT:
        PaintDirty();
        break;
    case HM_CURSOR: {
        int shape = int(posted.lParam >> 16);
        m_CursorX = int(posted.lParam & 0xFF);
        m_CursorY = int((posted.lParam >> 8) & 0xFF);
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
        m_CloseAnswer = std::int32_t(posted.wParam);
        m_CloseDepth = 0;
        break;
    case WM_QUIT:
        m_Quit = true;
        break;
    default:
        break; // HM_WAKE and strays
    }
}

void tMyForm::QueueInput(TConsoleMsg msg) {
    {
        std::lock_guard guard(HostLock);
        if (ActiveConsole != nullptr && ActiveConsole->OnHostMessage)
            ActiveConsole->OnHostMessage(msg);
    }
    if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
        char ch = char(msg.wParam & 0xFF);
        if (CharConverter != nullptr)
            CharConverter(&ch);
        msg.wParam = std::uint8_t(ch);
    }
    if (InputList.Append(msg))
        RunThreadMessages.Post(HM_WAKE);
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

void tMyForm::PaintRow(int y, bool onlyDirty, bool& began) {
    tDriversConsole& console = *ActiveConsole;
    int cols = console.Cols;
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

void tMyForm::PaintDirty() {
    std::lock_guard guard(HostLock);
    if (ActiveConsole == nullptr || m_RepaintDone)
        return;
    m_RepaintDone = true;
    m_Changed = false;
    bool began = false;
    for (int y = 0; y < ActiveConsole->Rows; ++y)
        PaintRow(y, true, began);
    if (began)
        m_Host.EndPaint();
}

void tMyForm::PaintAll() {
    std::lock_guard guard(HostLock);
    if (ActiveConsole == nullptr) {
        m_Host.PaintEmpty();
        return;
    }
    bool began = false;
    for (int y = 0; y < ActiveConsole->Rows; ++y)
        PaintRow(y, false, began);
    if (began)
        m_Host.EndPaint();
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
    if (view != nullptr && m_DrawLockCount == 0)
        return;
    if (m_DrawLockCount == 0)
        HostLock.lock();
    m_DrawLockCount += view == nullptr ? -1 : 1;
    if (m_DrawLockCount != 0)
        return;
    if (m_Changed)
        RequestRepaint();
    HostLock.unlock();
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
    struct tSurfaceGuard {
        tConsoleHost& Host;
        tMyForm& Form;
        ~tSurfaceGuard() {
            std::lock_guard guard(HostLock);
            Host.DestroySurface(Form);
            HostForm = nullptr;
        }
    } surface{host, *form};

    ApplyThreadPriority(settings.InputThreadPriority);
    tSignalForwarding signals(form->WakeWriteFd());
    if (afterCreate)
        afterCreate();
    host.RunEventLoop(*form);
    SaveHostSettings(settingsPath, form->Settings());
    return true;
}

} // namespace zarvo
