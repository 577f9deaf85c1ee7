// The input queue and the concrete console tDriversConsole.
#include "console/drivers_console.h"

#include <algorithm>
#include <cassert>

namespace zarvo {

std::recursive_mutex HostLock;
tInputList InputList;
tDriversConsole* ActiveConsole = nullptr;

namespace {

bool IsCloseMessage(std::uint32_t message) {
    return message == WM_CLOSE || message == WM_QUERYENDSESSION || message == WM_ENDSESSION;
}

bool IsMouseRange(std::uint32_t message) {
    return message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL;
}

tHostSettings SettingsForConsole() {
    std::unique_lock guard(HostLock);
    if (HostForm != nullptr)
        return HostForm->Settings();
    guard.unlock();
    std::vector<std::string> problems;
    return LoadHostSettings(SettingsFileName(), problems);
}

} // namespace

// --- tInputList ---

bool tInputList::Append(const TConsoleMsg& msg) {
    std::lock_guard guard(m_Lock);
    m_Records.push_back(msg);
    return m_Records.size() == 1;
}

bool tInputList::TakeFirst(TConsoleMsg& msg) {
    std::lock_guard guard(m_Lock);
    if (m_Records.empty())
        return false;
    TConsoleMsg& first = m_Records.front();
    msg = first;
    if (IsKeyboardMessage(first.message) && RepeatCountOf(first.lParam) > 1)
        first.lParam -= 1; // the repeat count sits in the low 16 bits
    else
        m_Records.pop_front();
    return true;
}

bool tInputList::IsEmpty() const {
    std::lock_guard guard(m_Lock);
    return m_Records.empty();
}

std::size_t tInputList::Count() const {
    std::lock_guard guard(m_Lock);
    return m_Records.size();
}

void tInputList::Clear() {
    std::lock_guard guard(m_Lock);
    m_Records.clear();
}

// --- tDriversConsole ---

tDriversConsole::tDriversConsole() : tDriversConsole(SettingsForConsole()) {}

tDriversConsole::tDriversConsole(const tHostSettings& settings)
    : m_ReaderQueue(CurrentThreadQueue()) {
    Cols = std::clamp(settings.ScreenWidth, kMinScreenWidth, kMaxScreenWidth);
    Rows = std::clamp(settings.ScreenHeight, kMinScreenHeight, kMaxScreenHeight);
    FontName = settings.FontName;
    FontWeight = settings.FontWeight;
    m_Cells.assign(std::size_t(Cols) * Rows, 0);
    m_Dirty.assign(m_Cells.size(), 0);
}

tDriversConsole::~tDriversConsole() {
    std::lock_guard guard(HostLock);
    if (ActiveConsole == this)
        ActiveConsole = nullptr;
}

std::unique_ptr<tConsole> MakeDriversConsole() {
    return std::make_unique<tDriversConsole>();
}

bool tDriversConsole::ShouldRequeueKey(const TConsoleMsg&) {
    return false;
}

// Empties the reading thread's queue: the wake-up asks for nothing more than being taken;
// any other thread message goes to OnMessage like the host's own records. True when there
// was one.
bool tDriversConsole::DispatchThreadMessages() {
    bool any = false;
    tThreadMessage posted;
    while (PeekThreadMessage(posted, true)) {
        any = true;
        if (posted.Message == HM_WAKE)
            continue;
        if (posted.Message == HM_SCREENSIZE) {
            Resize(int(posted.WParam), int(posted.LParam));
            continue;
        }
        TConsoleMsg msg{posted.Message, std::uint32_t(posted.WParam), std::uint32_t(posted.LParam),
                        0};
        CallOnMessage(msg);
    }
    return any;
}

bool tDriversConsole::TakeInput(TConsoleMsg& msg) {
    DispatchThreadMessages();
    msg.message = 0;
    return InputList.TakeFirst(msg);
}

void tDriversConsole::IdleUntilInput() {
    constexpr std::uint32_t kIdleTickMs = 10;
    constexpr std::uint32_t kBusyTickMs = 5; // OnMessage cleared the tick: it has work
    for (;;) {
        TConsoleMsg tick;
        tick.message = WM_TIMER;
        CallOnMessage(tick);
        if (!InputList.IsEmpty() || HasQueued() || DispatchThreadMessages())
            return;
        // The one wait of the library: a posted message (the host's wake-up) ends it.
        if (WaitForEvents({}, tick.message == 0 ? kBusyTickMs : kIdleTickMs, false, true) !=
            kWaitTimeout)
            return;
    }
}

void tDriversConsole::ReadMessage(bool wait, TConsoleMsg& msg) {
    msg = TConsoleMsg{};
    if (!Active)
        return;
    for (;;) {
        if (HasQueued()) {
            TakeMessage(msg);
            return;
        }
        if (TakeInput(msg)) {
            if (!IsCloseMessage(msg.message))
                return;
            CloseAnswer = 0;
            CallOnMessage(msg);
            if (HostForm != nullptr)
                HostForm->Post(HM_CLOSEANSWER, std::uint32_t(CloseAnswer));
            msg = TConsoleMsg{};
            continue;
        }
        if (!wait) {
            msg.message = WM_TIMER;
            CallOnMessage(msg);
            msg = TConsoleMsg{};
            return;
        }
        IdleUntilInput();
        if (!Active)
            return;
    }
}

void tDriversConsole::WriteCells(int x, int y, const std::uint16_t* cells, int count) {
    // Callers keep within the screen; a checking build stops a stray call, a release build
    // clips it rather than let it loose on memory.
    assert(x >= 0 && y >= 0 && y < Rows && count >= 0 && x + count <= Cols &&
           "cell write outside the screen");
    if (y < 0 || y >= Rows || count <= 0 || x >= Cols)
        return;
    if (x < 0) {
        cells -= x;
        count += x;
        x = 0;
    }
    count = std::min(count, Cols - x);
    if (count <= 0)
        return;
    std::size_t at = std::size_t(y) * Cols + x;
    if (!Active) {
        std::copy(cells, cells + count, m_Cells.begin() + at);
        return;
    }
    bool changed = false;
    for (int i = 0; i < count; ++i, ++at) {
        if (m_Cells[at] != cells[i]) {
            m_Cells[at] = cells[i];
            m_Dirty[at] = 1;
            changed = true;
        }
    }
    if (changed && HostForm != nullptr)
        HostForm->MarkChanged();
}

void tDriversConsole::Resize(int cols, int rows) {
    cols = std::clamp(cols, kMinScreenWidth, kMaxScreenWidth);
    rows = std::clamp(rows, kMinScreenHeight, kMaxScreenHeight);
    {
        std::lock_guard guard(HostLock);
        if (cols == Cols && rows == Rows)
            return;
        std::vector<std::uint16_t> cells(std::size_t(cols) * rows, 0);
        for (int y = 0; y < std::min(rows, Rows); ++y)
            std::copy_n(m_Cells.begin() + std::ptrdiff_t(y) * Cols, std::min(cols, Cols),
                        cells.begin() + std::ptrdiff_t(y) * cols);
        m_Cells = std::move(cells);
        m_Dirty.assign(m_Cells.size(), 1);
        Cols = cols;
        Rows = rows;
        if (Active && HostForm != nullptr)
            HostForm->RequestRepaint();
    }
    TConsoleMsg size{WM_SIZE, 0, std::uint32_t(cols) | std::uint32_t(rows) << 16, 0};
    CallOnMessage(size);
}

void tDriversConsole::MarkAllDirty() {
    std::fill(m_Dirty.begin(), m_Dirty.end(), 1);
}

void tDriversConsole::Activate() {
    std::lock_guard guard(HostLock);
    if (ActiveConsole != nullptr && ActiveConsole != this) {
        ActiveConsole->Active = false;
        TConsoleMsg captureChanged;
        captureChanged.message = WM_CAPTURECHANGED;
        tConsole::PutMessage(captureChanged);
    }
    Active = true;
    ActiveConsole = this;
    MarkAllDirty();
    if (HostForm != nullptr)
        HostForm->RequestRepaint();
}

void tDriversConsole::SetCursor(int x, int y, int shape) {
    std::lock_guard guard(HostLock);
    if (HostForm != nullptr)
        HostForm->Post(HM_CURSOR, 0,
                       std::uint32_t(x & 0xFF) | (std::uint32_t(y & 0xFF) << 8) |
                           (std::uint32_t(shape) << 16));
}

std::uint32_t tDriversConsole::ShiftStateOf(const TConsoleMsg& msg) {
    if (IsMouseRange(msg.message)) {
        std::uint32_t shift = ModifiersOfMouseKeys(msg.wParam);
        if (msg.message == WM_LBUTTONDBLCLK || msg.message == WM_RBUTTONDBLCLK ||
            msg.message == WM_MBUTTONDBLCLK)
            shift |= modDouble;
        return shift;
    }
    std::lock_guard guard(HostLock);
    return HostForm != nullptr ? HostForm->Host().HeldModifiers() : 0;
}

void tDriversConsole::ApplyFont() {
    std::lock_guard guard(HostLock);
    if (HostForm == nullptr)
        return;
    MarkAllDirty();
    HostForm->Settings().FontName = FontName;
    HostForm->Settings().FontWeight = FontWeight;
    HostForm->Post(HM_FONT);
    HostForm->RequestRepaint();
}

void tDriversConsole::PutMessage(const TConsoleMsg& msg) {
    tConsole::PutMessage(msg);
    // Wakes a reader waiting on another thread; a reader on this thread takes it harmlessly.
    PostThreadMessage(m_ReaderQueue, {HM_WAKE, 0, 0});
}

} // namespace zarvo
