// Drawing of the character screen on a terminal.
#include "console/terminal/terminal_screen.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/cp866.h"

namespace zarvo {
namespace {

constexpr std::uint32_t kUnknown = std::numeric_limits<std::uint32_t>::max();
constexpr int kBlockStyle = 2;     // steady block
constexpr int kUnderlineStyle = 4; // steady underline

int Channel(std::uint32_t colour, int shift) {
    return int((colour >> shift) & 0xFF);
}

} // namespace

tTerminalScreen::tTerminalScreen(const tTerminalCaps& caps) : m_Caps(caps) {}

void tTerminalScreen::SetPalette(const std::array<std::uint32_t, 16>& palette) {
    m_Palette = palette;
    std::fill(m_Shown.begin(), m_Shown.end(), kUnknown);
    m_Attribute = -1;
}

void tTerminalScreen::Resize(int width, int height) {
    m_Width = std::max(width, 0);
    m_Height = std::max(height, 0);
    m_Shown.assign(std::size_t(m_Width) * m_Height, kUnknown);
    m_Out += m_Caps.ResetColours;
    m_Out += m_Caps.ClearScreen;
    m_Attribute = -1;
    m_AtX = m_AtY = -1;
    m_CursorKnown = false;
    m_ShownShape = -1;
}

int tTerminalScreen::AnsiColourOf(int index) {
    // Red and blue trade places; intensity stays the high bit.
    return (index & 0x0A) | (index & 1) << 2 | (index & 4) >> 2;
}

void tTerminalScreen::MoveTo(int x, int y) {
    if (x == m_AtX && y == m_AtY)
        return;
    m_Out += m_Caps.MoveTo(y, x);
    m_AtX = x;
    m_AtY = y;
}

void tTerminalScreen::AppendColour(int index, bool background) {
    if (m_Caps.Colours == tColourDepth::Direct) {
        std::uint32_t colour = m_Palette[index];
        m_Out += background ? "48;2;" : "38;2;";
        m_Out += std::to_string(Channel(colour, 0)) + ';' + std::to_string(Channel(colour, 8)) +
                 ';' + std::to_string(Channel(colour, 16));
        return;
    }
    int ansi = AnsiColourOf(index);
    int base = (background ? 40 : 30) + (ansi >= 8 ? 60 : 0);
    m_Out += std::to_string(base + ansi % 8);
}

// Without colours a coloured ground (input lines, buttons, list rows, the bar's done part) is
// reverse video and the plain grounds (black, the greys, white: desktops, windows, dialogs)
// stay plain, so what the colours set apart stays apart; a bright foreground is bold, and on
// a coloured ground (input lines, the focused row of a list) also underlined, so the focused
// row stands out of its reversed list. Reverse video for every light ground instead put
// dialogs and their input lines alike and turned the progress bar inside out.
void tTerminalScreen::SetMonochrome(std::uint8_t attribute) {
    int foreground = attribute & 0x0F;
    int background = attribute >> 4;
    bool plainGround = background == 0 || background == 7 || background == 8 || background == 15;
    bool bright = (foreground & 8) != 0;
    m_Out += "\x1b[0";
    if (bright)
        m_Out += ";1";
    if (bright && !plainGround)
        m_Out += ";4";
    if (!plainGround)
        m_Out += ";7";
    m_Out += 'm';
}

void tTerminalScreen::SetColours(std::uint8_t attribute) {
    if (m_Attribute == attribute)
        return;
    if (m_Caps.Colours == tColourDepth::Monochrome) {
        SetMonochrome(attribute);
        m_Attribute = attribute;
        return;
    }
    bool foreground = m_Attribute < 0 || ((m_Attribute ^ attribute) & 0x0F) != 0;
    bool background = m_Attribute < 0 || ((m_Attribute ^ attribute) & 0xF0) != 0;
    m_Out += "\x1b[";
    if (foreground)
        AppendColour(attribute & 0x0F, false);
    if (foreground && background)
        m_Out += ';';
    if (background)
        AppendColour(attribute >> 4, true);
    m_Out += 'm';
    m_Attribute = attribute;
}

void tTerminalScreen::Put(int x, int y, const std::uint16_t* cells, int count) {
    if (y < 0 || y >= m_Height)
        return;
    for (int i = 0; i < count; ++i) {
        int column = x + i;
        if (column < 0 || column >= m_Width)
            continue;
        std::uint32_t& shown = m_Shown[std::size_t(y) * m_Width + column];
        if (shown == cells[i])
            continue;
        shown = cells[i];
        MoveTo(column, y);
        SetColours(std::uint8_t(cells[i] >> 8));
        AppendUtf8(m_Out, Cp866ToGlyph(std::uint8_t(cells[i])));
        // Autowrap is off, so at the last column the cursor's place is the terminal's guess.
        m_AtX = column + 1 < m_Width ? column + 1 : -1;
    }
}

void tTerminalScreen::PlaceCursor(int x, int y, int shape, bool visible) {
    m_CursorX = x;
    m_CursorY = y;
    m_CursorShape = shape;
    m_CursorVisible = visible;
}

std::string tTerminalScreen::Finish() {
    bool visible = m_CursorVisible && m_CursorX >= 0 && m_CursorX < m_Width && m_CursorY >= 0 &&
                   m_CursorY < m_Height;
    if (visible) {
        MoveTo(m_CursorX, m_CursorY);
        int style = m_CursorShape == 0 ? kBlockStyle : kUnderlineStyle;
        if (style != m_ShownShape) {
            m_Out += m_Caps.ShapeCursor(style);
            m_ShownShape = style;
        }
    }
    if (visible != m_ShownVisible || !m_CursorKnown) {
        m_Out += visible ? m_Caps.ShowCursor : m_Caps.HideCursor;
        m_ShownVisible = visible;
        m_CursorKnown = true;
    }
    return std::exchange(m_Out, {});
}

} // namespace zarvo
