// Painting the window host's cells and its caret.
#include "console/cells.h"
#include "console/x11/x11_window.h"

namespace zarvo {

namespace {

constexpr int kHiddenCursor = 0x2000;
constexpr int kUnderlineHeight = 2;
constexpr int kUnderlineLift = 4; // from the cell's bottom to the underline's top

} // namespace

void tX11Window::BeginPaint() {
    HideCaret();
    m_Painting = true;
}

void tX11Window::EndPaint() {
    m_Painting = false;
    if (Lost())
        return;
    XftDrawSetClip(m_Draw, nullptr);
    ShowCaret();
}

void tX11Window::PaintCells(int x, int y, const std::uint16_t* cells, int count) {
    if (!m_Draw || y < 0 || y >= m_Rows)
        return;
    for (int i = 0; i < count && x + i < m_Cols; ++i)
        PaintCell(x + i, y, cells[i]);
}

// A cell is painted opaque and clipped to itself: the glyph is drawn from the cell's top
// minus the font's internal leading, so accents and box lines reaching past the cell are cut
// off there instead of spoiling a neighbour.
void tX11Window::PaintCell(int x, int y, std::uint16_t cell) {
    if (Lost())
        return;
    int left = x * m_CellWidth;
    int top = y * m_CellHeight;
    std::uint8_t character = CellChar(cell);
    std::uint8_t attribute = CellAttr(cell);
    XRectangle clip{0, 0, std::uint16_t(m_CellWidth), std::uint16_t(m_CellHeight)};
    XftDrawSetClipRectangles(m_Draw, left, top, &clip, 1);
    XftDrawRect(m_Draw, &m_Palette[(attribute >> 4) & 15], left, top, unsigned(m_CellWidth),
                unsigned(m_CellHeight));
    FT_UInt glyph = m_Font->GlyphOf(character);
    if (glyph != 0 && character != ' ' && character != 0 && character != 0xFF)
        XftDrawGlyphs(m_Draw, &m_Palette[attribute & 15], m_Font->Handle(), left,
                      top + m_Font->Baseline(), &glyph, 1);
}

void tX11Window::PaintEmpty() {
    if (Lost())
        return;
    if (!m_Draw)
        return;
    XftDrawSetClip(m_Draw, nullptr);
    XftDrawRect(m_Draw, &m_Palette[0], 0, 0, unsigned(m_WindowWidth), unsigned(m_WindowHeight));
}

// What lies right of and below the cells when the window is larger than they are (a window
// manager that ignored the size asked for).
void tX11Window::PaintMargins() {
    if (Lost())
        return;
    if (!m_Draw)
        return;
    int cellsWidth = m_CellWidth * m_Cols;
    int cellsHeight = m_CellHeight * m_Rows;
    XftDrawSetClip(m_Draw, nullptr);
    if (m_WindowWidth > cellsWidth)
        XftDrawRect(m_Draw, &m_Palette[0], cellsWidth, 0, unsigned(m_WindowWidth - cellsWidth),
                    unsigned(m_WindowHeight));
    if (m_WindowHeight > cellsHeight)
        XftDrawRect(m_Draw, &m_Palette[0], 0, cellsHeight, unsigned(m_WindowWidth),
                    unsigned(m_WindowHeight - cellsHeight));
}

void tX11Window::PlaceCursor(int x, int y, int shape, bool visible) {
    HideCaret();
    m_CaretX = x;
    m_CaretY = y;
    m_CaretShape = shape;
    m_CaretWanted = visible && (shape & kHiddenCursor) == 0;
    m_BlinkOn = true;
    ShowCaret();
}

// The caret inverts what lies under it, so drawing it twice takes it away again.
void tX11Window::DrawCaret() {
    if (Lost())
        return;
    bool underline = m_CaretShape != 0;
    int height = underline ? std::min(kUnderlineHeight, m_CellHeight) : m_CellHeight;
    int offset = underline ? std::max(0, m_CellHeight - kUnderlineLift) : 0;
    XFillRectangle(m_Display, m_Window, m_CaretGc, m_CaretX * m_CellWidth,
                   m_CaretY * m_CellHeight + offset, unsigned(m_CellWidth), unsigned(height));
}

void tX11Window::HideCaret() {
    if (!m_CaretDrawn || !m_Display)
        return;
    DrawCaret();
    m_CaretDrawn = false;
}

void tX11Window::ShowCaret() {
    if (m_CaretDrawn || m_Painting || !m_Display || !m_Window)
        return;
    if (!m_CaretWanted || !m_Focused || !m_BlinkOn)
        return;
    DrawCaret();
    m_CaretDrawn = true;
}

} // namespace zarvo
