// Cell routines.
#include "console/cells.h"

#include <algorithm>

namespace zarvo {
namespace {

int Clamp(int count) {
    return std::clamp(count, 0, MaxLineCells);
}

} // namespace

void FillCells(tCell* dest, std::uint8_t ch, std::uint8_t attr, int count) {
    count = Clamp(count);
    bool setAttr = attr != 0 || ch == 0;
    for (int i = 0; i < count; ++i) {
        std::uint8_t c = ch != 0 ? ch : CellChar(dest[i]);
        std::uint8_t a = setAttr ? attr : CellAttr(dest[i]);
        dest[i] = MakeCell(c, a);
    }
}

void CopyCharsToCells(tCell* dest, const char* bytes, std::uint8_t attr, int count) {
    count = Clamp(count);
    for (int i = 0; i < count; ++i)
        dest[i] = MakeCell(std::uint8_t(bytes[i]), attr != 0 ? attr : CellAttr(dest[i]));
}

void RecolorCells(tCell* dest, const tCell* source, std::uint8_t attr, int count) {
    count = Clamp(count);
    for (int i = 0; i < count; ++i)
        dest[i] = MakeCell(CellChar(source[i]), attr);
}

int CopyHotTextToCells(tCell* dest, std::string_view text, std::uint16_t attrPair) {
    std::uint8_t current = std::uint8_t(attrPair);
    std::uint8_t alternate = std::uint8_t(attrPair >> 8);
    int written = 0;
    for (std::size_t i = 0; i < text.size() && i < std::size_t(MaxLineCells); ++i) {
        if (text[i] == '~')
            std::swap(current, alternate);
        else
            dest[written++] = MakeCell(std::uint8_t(text[i]), current);
    }
    return written;
}

void CopyTextToCells(tCell* dest, std::string_view text, std::uint8_t attr) {
    CopyCharsToCells(dest, text.data(), attr,
                     int(std::min<std::size_t>(text.size(), MaxLineCells)));
}

int HotTextLength(std::string_view text) {
    return int(text.size() - std::size_t(std::count(text.begin(), text.end(), '~')));
}

} // namespace zarvo
