// tX11Host hands every host operation to its window.
#include "console/x11/x11_host.h"

#include "console/x11/x11_window.h"

namespace zarvo {

bool X11DisplayOpens(const char* display) {
    Display* opened = XOpenDisplay(display);
    if (!opened)
        return false;
    XCloseDisplay(opened);
    return true;
}

tX11Host::tX11Host(std::string_view caption) : m_Window(std::make_unique<tX11Window>(caption)) {}

tX11Host::~tX11Host() = default;

bool tX11Host::CreateSurface(tMyForm& form) {
    return m_Window->CreateSurface(form);
}
void tX11Host::DestroySurface(tMyForm& form) {
    m_Window->DestroySurface(form);
}
void tX11Host::RunEventLoop(tMyForm& form) {
    m_Window->RunEventLoop(form);
}
void tX11Host::BeginPaint() {
    m_Window->BeginPaint();
}
void tX11Host::PaintCells(int x, int y, const std::uint16_t* cells, int count) {
    m_Window->PaintCells(x, y, cells, count);
}
void tX11Host::EndPaint() {
    m_Window->EndPaint();
}
void tX11Host::PaintEmpty() {
    m_Window->PaintEmpty();
}
void tX11Host::PlaceCursor(int x, int y, int shape, bool visible) {
    m_Window->PlaceCursor(x, y, shape, visible);
}
void tX11Host::ApplyFont(tMyForm& form) {
    m_Window->ApplyFont(form);
}
void tX11Host::RestoreSurface() {
    m_Window->RestoreSurface();
}
std::uint32_t tX11Host::HeldModifiers() {
    return m_Window->HeldModifiers();
}
unsigned long tX11Host::WindowId() const {
    return m_Window->WindowId();
}
std::string tX11Host::FontFamily() const {
    return m_Window->FontFamily();
}

} // namespace zarvo
