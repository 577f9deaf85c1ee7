// Taking and giving back the terminal. The give-back runs in signal handlers too, so it uses
// only async-signal-safe calls on state prepared in advance.
#include "console/terminal/terminal_session.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "diagnostics/pending_error.h"
#include "platform/cp866.h"
#include "platform/write_all.h"

namespace zarvo {
namespace {

// Signals that end the process without the program's say. SIGTERM, SIGINT and SIGHUP are
// not here: the host form turns them into close requests, and the program then ends normally.
constexpr std::array<int, 10> kFatalSignals = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE,  SIGILL,
                                               SIGQUIT, SIGTRAP, SIGSYS, SIGXCPU, SIGXFSZ};
constexpr std::size_t kMaxControlString = 1024;

// One output descriptor redirected into a memory file while the host owns the terminal.
struct tHeldOutput {
    int Fd = -1;    // 1 or 2
    int Saved = -1; // where it pointed before
    int File = -1;  // the memory file holding what was written meanwhile
};

struct tSavedTerminal {
    std::atomic<bool> Active{false};
    termios Modes{};
    termios Raw{};
    int Out = -1;
    std::array<char, kMaxControlString> Enter{};
    std::size_t EnterLength = 0;
    std::array<char, kMaxControlString> Leave{};
    std::size_t LeaveLength = 0;
    std::array<tHeldOutput, 2> Held{};
    std::array<struct sigaction, kFatalSignals.size()> OldActions{};
};

tSavedTerminal gSaved;

bool CopyControlString(std::array<char, kMaxControlString>& to, std::size_t& length,
                       std::string_view from) {
    if (from.size() > to.size())
        return false;
    std::memcpy(to.data(), from.data(), from.size());
    length = from.size();
    return true;
}

// Puts a held descriptor back and writes out what it collected.
void ReleaseHeld(tHeldOutput& held) {
    if (held.Saved < 0)
        return;
    ::dup2(held.Saved, held.Fd);
    ::close(held.Saved);
    held.Saved = -1;
    if (::lseek(held.File, 0, SEEK_SET) == 0) {
        char buffer[4096];
        ssize_t got;
        while ((got = ::read(held.File, buffer, sizeof buffer)) > 0)
            if (!WriteAll(held.Fd, buffer, std::size_t(got)))
                break;
    }
    ::close(held.File);
    held.File = -1;
}

// Async-signal-safe: the terminal back as it was, then the held text.
void GiveBack() {
    if (!gSaved.Active.exchange(false))
        return;
    WriteAll(gSaved.Out, gSaved.Leave.data(), gSaved.LeaveLength);
    ::tcsetattr(STDIN_FILENO, TCSADRAIN, &gSaved.Modes);
    for (tHeldOutput& held : gSaved.Held)
        ReleaseHeld(held);
}

void RestoreOldActions() {
    for (std::size_t i = 0; i < kFatalSignals.size(); ++i)
        ::sigaction(kFatalSignals[i], &gSaved.OldActions[i], nullptr);
}

void OnFatalSignal(int signal) {
    GiveBack();
    // The signal goes on to whatever handled it before (the default ends the process): a
    // fault repeats on return, anything else is raised again and delivered on return.
    for (std::size_t i = 0; i < kFatalSignals.size(); ++i)
        if (kFatalSignals[i] == signal)
            ::sigaction(signal, &gSaved.OldActions[i], nullptr);
    ::raise(signal);
}

void InstallFatalHandlers() {
    struct sigaction action {};
    action.sa_handler = OnFatalSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kFatalSignals.size(); ++i)
        ::sigaction(kFatalSignals[i], &action, &gSaved.OldActions[i]);
}

void GiveBackAtExit() {
    std::fflush(stdout);
    std::fflush(stderr);
    GiveBack();
}

// Redirects fd into a memory file; the terminal keeps its screen to itself meanwhile.
void Hold(tHeldOutput& held, int fd) {
    held = {};
    int file = ::memfd_create("zarvo-held-output", MFD_CLOEXEC);
    if (file < 0)
        return; // nothing held: the text still arrives, only on the screen
    int saved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    if (saved < 0 || ::dup2(file, fd) < 0) {
        if (saved >= 0)
            ::close(saved);
        ::close(file);
        return;
    }
    held = {fd, saved, file};
}

} // namespace

bool tTerminalSession::Open(const tTerminalCaps& caps) {
    if (m_Open)
        return true;
    if (!::isatty(STDIN_FILENO) || !::isatty(STDOUT_FILENO)) {
        PostAppError(0, "Стандартный ввод и вывод программы - не терминал."_oem);
        return false;
    }
    if (::tcgetattr(STDIN_FILENO, &gSaved.Modes) != 0) {
        PostOSError("Не удалось прочитать режим терминала."_oem, errno);
        return false;
    }
    std::string enter = caps.EnterScreen + caps.HideCursor;
    if (!CopyControlString(gSaved.Enter, gSaved.EnterLength, enter) ||
        !CopyControlString(gSaved.Leave, gSaved.LeaveLength, caps.LeaveScreen)) {
        PostAppError(0, "Описание терминала непригодно: слишком длинные управляющие строки."_oem);
        return false;
    }
    gSaved.Out = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (gSaved.Out < 0) {
        PostOSError("Не удалось открыть вывод на терминал."_oem, errno);
        return false;
    }
    gSaved.Raw = gSaved.Modes;
    ::cfmakeraw(&gSaved.Raw);
    gSaved.Raw.c_cc[VMIN] = 1;
    gSaved.Raw.c_cc[VTIME] = 0;
    static bool exitHookInstalled = false;
    if (!exitHookInstalled)
        exitHookInstalled = std::atexit(GiveBackAtExit) == 0;
    InstallFatalHandlers();
    if (::tcsetattr(STDIN_FILENO, TCSADRAIN, &gSaved.Raw) != 0) {
        int code = errno;
        RestoreOldActions();
        ::close(gSaved.Out);
        PostOSError("Не удалось перевести терминал в нужный режим."_oem, code);
        return false;
    }
    gSaved.Active = true;
    m_Open = true;
    m_Caps = &caps;
    WriteAll(gSaved.Out, gSaved.Enter.data(), gSaved.EnterLength);
    std::fflush(stdout);
    std::fflush(stderr);
    Hold(gSaved.Held[0], STDOUT_FILENO);
    if (::isatty(STDERR_FILENO))
        Hold(gSaved.Held[1], STDERR_FILENO);
    return true;
}

void tTerminalSession::Close() {
    if (!m_Open)
        return;
    GiveBackAtExit();
    RestoreOldActions();
    ::close(gSaved.Out);
    gSaved.Out = -1;
    m_Open = false;
}

int tTerminalSession::OutputFd() const {
    return gSaved.Out;
}

bool tTerminalSession::Write(std::string_view bytes) const {
    return m_Open && WriteAll(gSaved.Out, bytes.data(), bytes.size());
}

bool tTerminalSession::Size(int& width, int& height) const {
    winsize size{};
    if (::ioctl(gSaved.Out, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0)
        return false;
    width = size.ws_col;
    height = size.ws_row;
    return true;
}

void tTerminalSession::Suspend() {
    if (!m_Open)
        return;
    WriteAll(gSaved.Out, gSaved.Leave.data(), gSaved.LeaveLength);
    ::tcsetattr(STDIN_FILENO, TCSADRAIN, &gSaved.Modes);
}

void tTerminalSession::SetRows(int rows) {
    if (!m_Open || m_Caps->AlternateScreen || rows <= 0)
        return;
    std::string leave = m_Caps->LeaveScreen + m_Caps->ClearScreen + m_Caps->MoveTo(rows - 1, 0);
    if (leave.size() > gSaved.Leave.size())
        return;
    // The length is set last: a signal meanwhile gives back the old string's length of bytes.
    std::memcpy(gSaved.Leave.data(), leave.data(), leave.size());
    gSaved.LeaveLength = leave.size();
}

void tTerminalSession::Reenter() {
    if (!m_Open)
        return;
    ::tcsetattr(STDIN_FILENO, TCSADRAIN, &gSaved.Raw);
    WriteAll(gSaved.Out, gSaved.Enter.data(), gSaved.EnterLength);
}

} // namespace zarvo
