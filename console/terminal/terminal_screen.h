// The character screen as a terminal shows it: turns cells into the bytes that draw them,
// writing only cells that differ from what the terminal already shows, with colours set
// only when they change and the cursor moved only when it has to.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "console/terminal/terminal_caps.h"

namespace zarvo {

class tTerminalScreen {
  public:
    explicit tTerminalScreen(const tTerminalCaps& caps);

    // Colours as 0x00BBGGRR, indexed by the attribute's nibbles.
    void SetPalette(const std::array<std::uint32_t, 16>& palette);
    // The terminal's size: what it showed is forgotten and the screen is cleared. Cells past
    // the terminal's edge are not drawn.
    void Resize(int width, int height);
    int Width() const { return m_Width; }
    int Height() const { return m_Height; }

    // Draws the cells of row y from column x that the terminal does not show yet.
    void Put(int x, int y, const std::uint16_t* cells, int count);
    // Where the text cursor should be: shape 0 block, else underline; applied by Finish.
    void PlaceCursor(int x, int y, int shape, bool visible);
    // Brings the cursor to its place after drawing and hands out the bytes collected.
    std::string Finish();

    // The terminal colour (0-15, ANSI order) that shows palette index `index` (0-15, CGA
    // order) where 24-bit colour is not offered. By index rather than the nearest shade, so
    // the 16 colours stay 16 whatever the terminal's own shades are.
    static int AnsiColourOf(int index);

  private:
    void MoveTo(int x, int y);
    void SetColours(std::uint8_t attribute);
    void AppendColour(int index, bool background);
    void SetMonochrome(std::uint8_t attribute);

    const tTerminalCaps& m_Caps;
    std::array<std::uint32_t, 16> m_Palette{};
    int m_Width = 0;
    int m_Height = 0;
    // What each cell of the terminal shows; kUnknown after a clear or resize.
    std::vector<std::uint32_t> m_Shown;
    int m_AtX = -1; // the terminal's cursor, -1 when unknown
    int m_AtY = -1;
    int m_Attribute = -1; // the colours in effect, -1 when unknown
    int m_CursorX = 0;
    int m_CursorY = 0;
    int m_CursorShape = 0;
    bool m_CursorVisible = false;
    bool m_ShownVisible = true;
    // Unknown at first and after Resize (the terminal may have been given to others, or taken
    // again with the cursor hidden): the next Finish hides or shows it whatever was shown.
    bool m_CursorKnown = false;
    int m_ShownShape = -1;
    std::string m_Out;
};

} // namespace zarvo
