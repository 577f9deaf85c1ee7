// The window host's font: a face found through fontconfig, opened with Xft at the requested
// character size, with the cell geometry and the glyphs of all 256 CP866 codes.
#pragma once

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zarvo {

// The face the window falls back to when the named one is missing or lacks CP866 glyphs.
inline constexpr std::string_view kFallbackFace = "DejaVu Sans Mono";

// Smallest and largest character size, in pixels, a cell may be given.
inline constexpr int kMinFontPixels = 3;
inline constexpr int kMaxFontPixels = 36;

struct tFontSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const tFontSize&) const = default;
};

class tX11Font {
  public:
    explicit tX11Font(Display* display);
    ~tX11Font();
    tX11Font(const tX11Font&) = delete;
    tX11Font& operator=(const tX11Font&) = delete;

    // Chooses the face for `faceName`: the installed face of that name when it is
    // monospaced and has every CP866 glyph, else a monospace face that has them.
    void ChooseFace(std::string_view faceName, int weight);
    // Opens the chosen face at `size` (character width and height in pixels); false when
    // no font could be opened at all.
    bool Open(tFontSize size);
    // The available size nearest to `wanted` (first of the lowest |dw| + |dh|).
    tFontSize NearestSize(tFontSize wanted);

    // The face actually drawn with (its family name, UTF-8).
    const std::string& Family() const { return m_Family; }
    bool Scalable() const { return m_Scalable; }
    int CellWidth() const { return m_CellWidth; }
    int CellHeight() const { return m_CellHeight; }
    // Distance from a cell's top to the baseline of its glyph.
    int Baseline() const { return m_Baseline; }
    XftFont* Handle() const { return m_Font; }
    FT_UInt GlyphOf(unsigned char oem) const { return m_Glyphs[oem]; }

  private:
    XftFont* OpenAt(double pixels, double widthScale);
    XftFont* OpenScalable(tFontSize size);
    std::vector<tFontSize> BitmapSizes();
    void Close();

    Display* m_Display;
    std::string m_Family;
    int m_Weight = 400;
    bool m_Scalable = true;
    std::vector<tFontSize> m_BitmapSizes;
    XftFont* m_Font = nullptr;
    int m_CellWidth = 0;
    int m_CellHeight = 0;
    int m_Baseline = 0;
    std::array<FT_UInt, 256> m_Glyphs{};
};

// True when the face's character set holds the glyph of every CP866 code.
bool CoversCp866(FcCharSet* charset);

} // namespace zarvo
