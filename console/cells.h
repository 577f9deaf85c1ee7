// The screen cell and the routines that build lines of cells. A cell is 16 bits: CP866
// character low, attribute high (foreground bits 0-3, background bits 4-7). Every routine
// stops after MaxLineCells cells, the widest line a view may draw; count 0 writes nothing.
#pragma once

#include <cstdint>
#include <string_view>

namespace zarvo {

using tCell = std::uint16_t;
inline constexpr int MaxLineCells = 132;

constexpr tCell MakeCell(std::uint8_t ch, std::uint8_t attr) {
    return tCell(ch | (attr << 8));
}
constexpr std::uint8_t CellChar(tCell cell) {
    return std::uint8_t(cell);
}
constexpr std::uint8_t CellAttr(tCell cell) {
    return std::uint8_t(cell >> 8);
}

// ch 0 leaves the characters; the attribute is set when attr is not 0 or ch is 0.
void FillCells(tCell* dest, std::uint8_t ch, std::uint8_t attr, int count);
// attr 0 leaves the attributes.
void CopyCharsToCells(tCell* dest, const char* bytes, std::uint8_t attr, int count);
// Each dest cell = attr and the character of the source cell.
void RecolorCells(tCell* dest, const tCell* source, std::uint8_t attr, int count);
// "~" swaps the current attribute (low byte of attrPair) and the alternate (high byte).
// Returns the number of cells written.
int CopyHotTextToCells(tCell* dest, std::string_view text, std::uint16_t attrPair);
void CopyTextToCells(tCell* dest, std::string_view text, std::uint8_t attr);
int HotTextLength(std::string_view text);

} // namespace zarvo
