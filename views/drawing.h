// Colours and the drawing constants of every view: palettes (a length byte, then entries
// 1..length, each the index the view's colour has in its owner's palette), the shadow's size
// and attribute, the attribute of unmapped indexes and the marker characters.
#pragma once

#include <array>
#include <cstdint>

#include "library/rect.h"

namespace zarvo {

// A palette as views hand it out: the length byte's address, or null for "no palette".
using tPalette = const std::uint8_t*;

// A palette table from its entries: static constexpr auto kPalette = MakePalette(1, 2, 3);
// then GetPalette returns kPalette.data().
template <class... T>
constexpr std::array<std::uint8_t, sizeof...(T) + 1> MakePalette(T... entries) {
    static_assert(sizeof...(T) <= 255, "a palette has at most 255 entries");
    return {std::uint8_t(sizeof...(T)), std::uint8_t(entries)...};
}

inline int PaletteLength(tPalette palette) {
    return palette != nullptr ? palette[0] : 0;
}

// A shadow covers ShadowSize.X columns right of a view and ShadowSize.Y rows below it.
extern tPoint ShadowSize;           // (2, 1)
extern std::uint8_t ShadowAttr;     // 0x08: cells under a shadow keep their characters
extern std::uint8_t ErrorAttr;      // 0xCF: an index no palette maps
extern bool ShowMarkers;            // controls draw markers for screens without colours
extern std::uint8_t MarkerChars[6]; // pairs (left, right): focused, marked/default, plain

// Cursor shapes for ScreenCursor.
inline constexpr int kCursorBlock = 0;
inline constexpr int kCursorUnderline = 9;
inline constexpr int kCursorHidden = 0x2000;

} // namespace zarvo
