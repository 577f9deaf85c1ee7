// The headless host and its single-thread wrapper.
#include "console/headless/headless_host.h"

#include <poll.h>

#include <cassert>

#include "platform/cp866.h"

namespace zarvo {

void tHeadlessHost::Script(std::vector<TConsoleMsg> records) {
    std::lock_guard guard(m_Lock);
    m_Script = std::move(records);
}

bool tHeadlessHost::CreateSurface(tMyForm& form) {
    std::lock_guard guard(m_Lock);
    m_Cols = form.Cols();
    m_Rows = form.Rows();
    m_Screen.assign(std::size_t(m_Cols) * m_Rows, 0x0720);
    m_Surface = true;
    return true;
}

void tHeadlessHost::DestroySurface(tMyForm&) {
    std::lock_guard guard(m_Lock);
    m_Surface = false;
}

void tHeadlessHost::RunEventLoop(tMyForm& form) {
    std::vector<TConsoleMsg> script;
    {
        std::lock_guard guard(m_Lock);
        script.swap(m_Script);
    }
    for (const TConsoleMsg& msg : script) {
        if (msg.message == WM_CLOSE || msg.message == WM_QUERYENDSESSION)
            form.ForwardCloseRequest(msg.message);
        else
            form.QueueInput(msg);
    }
    while (!form.QuitPosted()) {
        pollfd wake{form.WakeFd(), POLLIN, 0};
        poll(&wake, 1, 100);
        form.DispatchPosted();
    }
}

void tHeadlessHost::PaintCells(int x, int y, const std::uint16_t* cells, int count) {
    std::lock_guard guard(m_Lock);
    assert(x >= 0 && y >= 0 && y < m_Rows && x + count <= m_Cols && "paint outside the screen");
    std::copy(cells, cells + count, m_Screen.begin() + std::ptrdiff_t(y * m_Cols + x));
    m_PaintedCells += std::size_t(count);
    ++m_PaintCalls;
}

void tHeadlessHost::PaintEmpty() {
    std::lock_guard guard(m_Lock);
    std::fill(m_Screen.begin(), m_Screen.end(), 0x0720);
}

void tHeadlessHost::PlaceCursor(int x, int y, int shape, bool visible) {
    std::lock_guard guard(m_Lock);
    m_Cursor = {x, y, shape, visible};
}

std::vector<std::uint16_t> tHeadlessHost::Screen() const {
    std::lock_guard guard(m_Lock);
    return m_Screen;
}

int tHeadlessHost::Cols() const {
    std::lock_guard guard(m_Lock);
    return m_Cols;
}

int tHeadlessHost::Rows() const {
    std::lock_guard guard(m_Lock);
    return m_Rows;
}

std::uint16_t tHeadlessHost::CellAt(int x, int y) const {
    std::lock_guard guard(m_Lock);
    return m_Screen[std::size_t(y * m_Cols + x)];
}

std::string tHeadlessHost::RowText(int y) const {
    std::lock_guard guard(m_Lock);
    std::string text;
    for (int x = 0; x < m_Cols; ++x)
        AppendUtf8(text, Cp866ToGlyph(std::uint8_t(m_Screen[std::size_t(y * m_Cols + x)])));
    return text;
}

std::vector<std::string> tHeadlessHost::Lines() const {
    std::vector<std::string> lines;
    for (int y = 0; y < Rows(); ++y)
        lines.push_back(RowText(y));
    return lines;
}

std::size_t tHeadlessHost::PaintedCells() const {
    std::lock_guard guard(m_Lock);
    return m_PaintedCells;
}

std::size_t tHeadlessHost::PaintCalls() const {
    std::lock_guard guard(m_Lock);
    return m_PaintCalls;
}

void tHeadlessHost::ResetPaintCount() {
    std::lock_guard guard(m_Lock);
    m_PaintedCells = 0;
    m_PaintCalls = 0;
}

tHeadlessHost::tCursor tHeadlessHost::Cursor() const {
    std::lock_guard guard(m_Lock);
    return m_Cursor;
}

bool tHeadlessHost::SurfaceExists() const {
    std::lock_guard guard(m_Lock);
    return m_Surface;
}

tHeadlessConsole::tHeadlessConsole(int cols, int rows) : m_PreviousClass(ConsoleClass) {
    tHostSettings settings;
    settings.ScreenWidth = cols;
    settings.ScreenHeight = rows;
    m_Form = std::make_unique<tMyForm>(m_Host, settings);
    std::lock_guard guard(HostLock);
    assert(HostForm == nullptr && "one host form at a time");
    HostForm = m_Form.get();
    m_Host.CreateSurface(*m_Form);
    BindScreenDrawLock();
    ConsoleClass = MakeDriversConsole;
}

tHeadlessConsole::~tHeadlessConsole() {
    std::lock_guard guard(HostLock);
    ScreenDrawLock = nullptr;
    ConsoleClass = m_PreviousClass;
    m_Host.DestroySurface(*m_Form);
    HostForm = nullptr;
}

} // namespace zarvo
