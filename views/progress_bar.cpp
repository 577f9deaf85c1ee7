// The percentage bar: whole percent and whole cells, redrawn only when either moves.
#include "views/progress_bar.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "console/cells.h"

namespace zarvo {

tProgressBar::tProgressBar(const tRect& bounds) : tView(bounds) {}

void tProgressBar::SetFraction(double fraction) {
    std::int32_t percent = std::int32_t(std::nearbyint(fraction * 100));
    std::int32_t cells = std::int32_t(std::nearbyint(fraction * Width));
    if (percent == Percent && cells == Cells)
        return;
    Fraction = fraction;
    Percent = percent;
    Cells = cells;
    Repaint();
}

void tProgressBar::Draw() {
    const int width = std::min<int>(Width, MaxLineCells);
    std::string text = std::to_string(Percent) + "%";
    tCell line[MaxLineCells];
    FillCells(line, ' ', kBarLeftAttr, width);
    int column = std::max((width - int(text.size())) / 2, 0);
    CopyCharsToCells(line + column, text.data(), 0, std::min(int(text.size()), width - column));
    FillCells(line, 0, kBarDoneAttr, std::clamp<int>(Cells, 0, width));
    PutLine(0, 0, width, 1, line);
}

} // namespace zarvo
