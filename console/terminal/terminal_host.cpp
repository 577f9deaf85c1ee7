// The terminal host's life: taking the terminal, the event loop over the terminal's input,
// the form's wake pipe and the window-size signal, and drawing through tTerminalScreen.
#include "console/terminal/terminal_host.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "diagnostics/pending_error.h"
#include "platform/cp866.h"
#include "platform/format_text.h"

namespace zarvo {
namespace {

// SIGWINCH (new size) and SIGCONT (continued after a stop) reach the loop through this pipe.
volatile std::sig_atomic_t gResized = 0;
volatile std::sig_atomic_t gContinued = 0;
volatile std::sig_atomic_t gSignalWrite = -1;
int gSignalRead = -1;
struct sigaction gOldWinch {};
struct sigaction gOldCont {};

void OnScreenSignal(int signal) {
    int savedErrno = errno;
    if (signal == SIGWINCH)
        gResized = 1;
    else
        gContinued = 1;
    if (gSignalWrite >= 0) {
        char byte = 1;
        [[maybe_unused]] ssize_t written = ::write(gSignalWrite, &byte, 1);
    }
    errno = savedErrno;
}

bool InstallScreenSignals() {
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0)
        return false;
    gSignalRead = fds[0];
    gSignalWrite = fds[1];
    struct sigaction action {};
    action.sa_handler = OnScreenSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGWINCH, &action, &gOldWinch);
    ::sigaction(SIGCONT, &action, &gOldCont);
    return true;
}

void RemoveScreenSignals() {
    if (gSignalRead < 0)
        return;
    ::sigaction(SIGWINCH, &gOldWinch, nullptr);
    ::sigaction(SIGCONT, &gOldCont, nullptr);
    int write = gSignalWrite;
    gSignalWrite = -1;
    ::close(write);
    ::close(gSignalRead);
    gSignalRead = -1;
}

std::uint32_t NowMilliseconds() {
    using namespace std::chrono;
    return std::uint32_t(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool IsKeyMessage(std::uint32_t message) {
    return message >= WM_KEYDOWN && message <= WM_KEYLAST;
}

} // namespace

tTerminalHost::tTerminalHost() = default;

tTerminalHost::~tTerminalHost() {
    RemoveScreenSignals();
    m_Session.Close();
}

bool tTerminalHost::CreateSurface(tMyForm& form) {
    const char* term = std::getenv("TERM");
    const char* colourTerm = std::getenv("COLORTERM");
    if (!m_Caps.Load(term ? term : "", colourTerm ? colourTerm : "")) {
        PostAppErrorFmt(0, "Терминал \"%s\" не описан в terminfo или не умеет ставить курсор."_oem,
                        {Utf8ToCp866(term ? term : "")});
        return false;
    }
    if (!InstallScreenSignals()) {
        PostOSError("Не удалось подготовить терминал."_oem, errno);
        return false;
    }
    if (!m_Session.Open(m_Caps)) {
        RemoveScreenSignals();
        return false;
    }
    m_Screen = std::make_unique<tTerminalScreen>(m_Caps);
    m_Input = std::make_unique<tTerminalInput>(m_Caps);
    m_Screen->SetPalette(form.Settings().Palette);
    RefitScreen(form);
    return true;
}

void tTerminalHost::DestroySurface(tMyForm&) {
    RemoveScreenSignals();
    m_Session.Close();
}

void tTerminalHost::RunEventLoop(tMyForm& form) {
    while (!form.QuitPosted()) {
        std::array<pollfd, 3> fds = {{
            {m_InputOpen ? m_Session.InputFd() : -1, POLLIN, 0},
            {form.WakeFd(), POLLIN, 0},
            {gSignalRead, POLLIN, 0},
        }};
        int timeout = -1;
        if (m_Input->HasPartial()) {
            // Counted from the last byte read, so a stream of repaints cannot hold it back.
            int waited = int(NowMilliseconds() - m_PartialSince);
            timeout = waited >= kEscapeWaitMilliseconds ? 0 : kEscapeWaitMilliseconds - waited;
        }
        int ready = ::poll(fds.data(), fds.size(), timeout);
        if (ready < 0) {
            // Only a signal should get here; anything else must not spin the processor.
            if (errno != EINTR)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        if (fds[2].revents != 0)
            HandleSignals(form);
        if (fds[0].revents != 0)
            ReadInput(form);
        if (m_Input->HasPartial() &&
            int(NowMilliseconds() - m_PartialSince) >= kEscapeWaitMilliseconds) {
            m_Input->Flush(NowMilliseconds(), m_Records);
            QueueRecords(form);
        }
        if (fds[1].revents != 0)
            form.DispatchPosted();
    }
}

void tTerminalHost::ReadInput(tMyForm& form) {
    char buffer[4096];
    ssize_t got = ::read(m_Session.InputFd(), buffer, sizeof buffer);
    if (got > 0) {
        m_Input->Decode(std::string_view(buffer, std::size_t(got)), NowMilliseconds(), m_Records);
        m_PartialSince = NowMilliseconds(); // the pause counts from the last byte
        QueueRecords(form);
        return;
    }
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    // The terminal went away (a closed window, a dropped connection): like a log-off.
    m_InputOpen = false;
    form.ForwardCloseRequest(WM_QUERYENDSESSION);
}

void tTerminalHost::QueueRecords(tMyForm& form) {
    for (const TConsoleMsg& record : m_Records) {
        if (IsKeyMessage(record.message))
            m_LastModifiers = record.shift & (modShift | modAlt | modCtrl);
        form.QueueInput(record);
    }
    m_Records.clear();
}

void tTerminalHost::HandleSignals(tMyForm& form) {
    char drain[64];
    while (::read(gSignalRead, drain, sizeof drain) > 0) {
    }
    if (gContinued != 0) {
        gContinued = 0;
        m_Session.Reenter();
        gResized = 1; // the terminal may have shown anything meanwhile
    }
    if (gResized != 0) {
        gResized = 0;
        RefitScreen(form);
    }
}

void tTerminalHost::RefitScreen(tMyForm& form) {
    int width = form.Cols();
    int height = form.Rows();
    m_Session.Size(width, height);
    m_Screen->Resize(width, height);
    m_Screen->PlaceCursor(form.CursorX(), form.CursorY(), form.CaretShape(), form.CursorVisible());
    form.PaintAll();
    Flush();
}

void tTerminalHost::BeginPaint() {
    m_Painting = true;
}

void tTerminalHost::PaintCells(int x, int y, const std::uint16_t* cells, int count) {
    m_Screen->Put(x, y, cells, count);
}

void tTerminalHost::EndPaint() {
    m_Painting = false;
    Flush();
}

void tTerminalHost::PaintEmpty() {
    m_Screen->Resize(m_Screen->Width(), m_Screen->Height());
    Flush();
}

void tTerminalHost::PlaceCursor(int x, int y, int shape, bool visible) {
    m_Screen->PlaceCursor(x, y, shape, visible);
    if (!m_Painting)
        Flush();
}

void tTerminalHost::Flush() {
    std::string bytes = m_Screen->Finish();
    if (!bytes.empty())
        m_Session.Write(bytes);
}

} // namespace zarvo
