// The terminal host's life: taking the terminal, the event loop over the terminal's input
// and the form's wake descriptor (which also carries the window-size signal), and drawing
// through tTerminalScreen.
#include "console/terminal/terminal_host.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "diagnostics/pending_error.h"
#include "library/clocks.h"
#include "platform/cp866.h"
#include "platform/format_text.h"

namespace zarvo {

tTerminalHost::tTerminalHost() = default;

tTerminalHost::~tTerminalHost() {
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
    if (!m_Session.Open(m_Caps))
        return false;
    m_FollowTerminal = !form.Settings().ScreenSizeFromFile;
    int width = 0;
    int height = 0;
    if (m_FollowTerminal && m_Session.Size(width, height)) {
        // The console is made from these once the run thread starts.
        form.Settings().ScreenWidth = std::clamp(width, kMinScreenWidth, kMaxScreenWidth);
        form.Settings().ScreenHeight = std::clamp(height, kMinScreenHeight, kMaxScreenHeight);
    }
    m_Screen = std::make_unique<tTerminalScreen>(m_Caps);
    m_Input = std::make_unique<tTerminalInput>(m_Caps);
    m_Screen->SetPalette(form.Settings().Palette);
    RefitScreen(form);
    return true;
}

void tTerminalHost::DestroySurface(tMyForm&) {
    m_Session.Close();
}

void tTerminalHost::RunEventLoop(tMyForm& form) {
    while (!form.QuitPosted()) {
        std::array<pollfd, 2> fds = {{
            {m_InputOpen ? m_Session.InputFd() : -1, POLLIN, 0},
            {form.WakeFd(), POLLIN, 0},
        }};
        int timeout = -1;
        if (m_Input->HasPartial()) {
            // Counted from the last byte read, so a stream of repaints cannot hold it back.
            int waited = int(GetTickCount32() - m_PartialSince);
            timeout = waited >= kEscapeWaitMilliseconds ? 0 : kEscapeWaitMilliseconds - waited;
        }
        int ready = ::poll(fds.data(), fds.size(), timeout);
        if (ready < 0) {
            // Only a signal should get here; anything else must not spin the processor.
            if (errno != EINTR)
                Delay(10);
            continue;
        }
        if (fds[0].revents != 0)
            ReadInput(form);
        if (m_Input->HasPartial() &&
            int(GetTickCount32() - m_PartialSince) >= kEscapeWaitMilliseconds) {
            m_Input->Flush(GetTickCount32(), m_Records);
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
        m_Input->Decode(std::string_view(buffer, std::size_t(got)), GetTickCount32(), m_Records);
        m_PartialSince = GetTickCount32(); // the pause counts from the last byte
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
        if (record.message == WM_CLOSE) {
            form.ForwardCloseRequest(WM_CLOSE);
            continue;
        }
        if (IsKeyboardMessage(record.message))
            m_LastModifiers = record.shift & (modShift | modAlt | modCtrl);
        form.QueueInput(record);
    }
    m_Records.clear();
}

void tTerminalHost::SurfaceSignal(tMyForm& form, int signal) {
    if (signal == SIGTSTP) {
        m_Session.Suspend();
        return;
    }
    // A continued terminal may have shown anything meanwhile: take it again, then refit.
    if (signal == SIGCONT)
        m_Session.Reenter();
    RefitScreen(form);
}

void tTerminalHost::RefitScreen(tMyForm& form) {
    std::lock_guard guard(HostLock);
    int width = form.Cols();
    int height = form.Rows();
    m_Session.Size(width, height);
    if (m_FollowTerminal) {
        int cols = std::clamp(width, kMinScreenWidth, kMaxScreenWidth);
        int rows = std::clamp(height, kMinScreenHeight, kMaxScreenHeight);
        if (cols != form.Cols() || rows != form.Rows()) {
            form.Settings().ScreenWidth = cols;
            form.Settings().ScreenHeight = rows;
            // The reading thread resizes the console itself: it is the one writing the cells.
            if (ActiveConsole != nullptr)
                PostThreadMessage(ActiveConsole->ReaderQueue(),
                                  {HM_SCREENSIZE, std::uintptr_t(cols), std::intptr_t(rows)});
        }
    }
    m_Screen->Resize(width, height);
    m_Session.SetRows(height);
    m_NoticeRow = width < form.Cols() || height < form.Rows() ? height - 1 : -1;
    m_Screen->PlaceCursor(form.CursorX(), form.CursorY(), form.CaretShape(), form.CursorVisible());
    form.PaintAll();
    DrawSizeNotice(form);
    Flush();
}

void tTerminalHost::DrawSizeNotice(const tMyForm& form) {
    if (m_NoticeRow < 0)
        return;
    constexpr std::uint8_t kNoticeAttribute = 0x4F; // white on red
    std::string text =
        FormatText("Мало места: видно %dx%d из %dx%d"_oem,
                   {m_Screen->Width(), m_Screen->Height(), form.Cols(), form.Rows()});
    text.resize(std::size_t(m_Screen->Width()), ' ');
    std::vector<std::uint16_t> cells(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        cells[i] = std::uint16_t(kNoticeAttribute << 8 | std::uint8_t(text[i]));
    m_Screen->Put(0, m_NoticeRow, cells.data(), int(cells.size()));
}

void tTerminalHost::BeginPaint() {
    m_Painting = true;
}

void tTerminalHost::PaintCells(int x, int y, const std::uint16_t* cells, int count) {
    if (y != m_NoticeRow)
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
