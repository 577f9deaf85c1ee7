// tIndicator: the line:column text over a border line, the colon kept at its column.
#include "views/indicator.h"

#include <algorithm>
#include <string>

#include "platform/cp866.h"
#include "platform/format_text.h"

namespace zarvo {

namespace {

constexpr auto kIndicatorPalette = MakePalette(1, 2, 3);
constexpr std::uint8_t kModifiedChar = 0x0F;
// The colon lands in this column less its 1-based position in the text.
constexpr int kColonBase = 8;

} // namespace

tIndicator::tIndicator(const tRect& bounds) : tView(bounds) {
    GrowFlags = GrowFlag::GrowTop | GrowFlag::GrowBottom;
}

tIndicator::tIndicator(tStreamLoad) : tView(kStreamLoad) {}

std::uint16_t tIndicator::StoreID() const {
    return 73;
}

tPalette tIndicator::GetPalette() const {
    return kIndicatorPalette.data();
}

void tIndicator::Draw() {
    bool active = HasState(ViewState::Active);
    std::uint8_t color;
    std::uint8_t lineChar = std::uint8_t("─"_oem[0]);
    if (SingleLineStyle) {
        color = MapColor(active ? 2 : 1);
    } else if (HasState(ViewState::Dragging)) {
        color = MapColor(3);
    } else if (active) {
        color = MapColor(2);
        lineChar = std::uint8_t("═"_oem[0]);
    } else {
        color = MapColor(1);
    }
    int width = std::min<int>(Width, MaxLineCells);
    if (width <= 0)
        return;
    tCell line[MaxLineCells];
    FillCells(line, lineChar, color, width);
    if (Modified)
        line[0] = MakeCell(kModifiedChar, color);
    std::string text = FormatText(" %d:%d ", {Location.Y + 1, Location.X + 1});
    int colon = int(text.find(':')) + 1;
    // Long numbers would push the text's start left of the view: it starts at 0 then.
    int start = std::max(kColonBase - colon - (colon - 1), 0);
    for (int i = 0; i < int(text.size()) && start + i < width; ++i)
        line[start + i] = MakeCell(std::uint8_t(text[i]), color);
    PutCells(0, 0, width, 1, line);
}

void tIndicator::ApplyState(std::uint16_t mask, bool on) {
    tView::ApplyState(mask, on);
    if (mask & (ViewState::Dragging | ViewState::Active))
        Repaint();
}

void tIndicator::ShowLocation(tPoint location, bool modified) {
    if (Location == location && Modified == modified)
        return;
    Location = location;
    Modified = modified;
    Repaint();
}

} // namespace zarvo
