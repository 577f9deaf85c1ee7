// The views demo's windows and the two small descendants that fill them.
#include "tests/views_demo/demo_windows.h"

#include <algorithm>
#include <string_view>

#include "console/cells.h"
#include "platform/cp866.h"
#include "platform/format_text.h"
#include "views/scroll_bar.h"

namespace zarvo::demo {

namespace {

constexpr int kTextLines = 140;
// Every so many lines one runs on far past any window's right edge.
constexpr int kLongLineEvery = 4;

constexpr std::string_view kSentences[] = {
    "Окна можно двигать, растягивать и распахивать на весь экран."_oem,
    "Полосы прокрутки показывают, какая часть текста видна сейчас."_oem,
    "Тень окна затемняет то, что лежит под ним, но знаки остаются."_oem,
    "Рамка активного окна двойная, у остальных она одинарная."_oem,
    "Стрелки двигают строку курсора, PgUp и PgDn листают страницами."_oem,
    "Ctrl+F5: окно двигают стрелками, Shift со стрелками меняет размер."_oem,
    "Мышью окно тянут за верхнюю строку рамки, размер меняют за угол."_oem,
    "Двойной щелчок по верхней строке рамки распахивает окно."_oem,
    "F6 переводит фокус на следующее окно, Alt с цифрой выбирает по номеру."_oem,
    "Группа хранит копию своих ячеек и рисует из неё, пока ничего не менялось."_oem,
    "Перерисовываются только места, не закрытые другими окнами."_oem,
    "Alt+X завершает показ."_oem,
};
constexpr int kSentenceCount = int(std::size(kSentences));

// Normal and cursor-line text: the window's scroller entries.
constexpr auto kListPalette = MakePalette(6, 6, 7, 7, 5);

std::string LineNumber(int number) {
    std::string text = FormatText("%d", {number});
    return std::string(text.size() < 3 ? 3 - text.size() : 0, ' ') + text + ". ";
}

} // namespace

std::vector<std::string> DemoText() {
    std::vector<std::string> lines;
    for (int i = 0; i < kTextLines; ++i) {
        std::string line = LineNumber(i + 1);
        line += kSentences[i % kSentenceCount];
        if (i % kLongLineEvery == kLongLineEvery - 1) {
            for (int more = 1; more <= 2; ++more) {
                line += ' ';
                line += kSentences[(i + more) % kSentenceCount];
            }
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// ---- tTextScroller

tTextScroller::tTextScroller(const tRect& bounds, tScrollBar* hBar, tScrollBar* vBar,
                             std::vector<std::string> lines)
    : tScroller(bounds, hBar, vBar), m_Lines(std::move(lines)) {
    GrowFlags = GrowFlag::GrowRight | GrowFlag::GrowBottom;
    std::size_t widest = 0;
    for (const std::string& line : m_Lines)
        widest = std::max(widest, line.size());
    // The bars run over positions 0..limit: the last line and the column after the widest.
    SetExtentLimit(std::int32_t(widest), std::int32_t(m_Lines.size()) - 1);
}

void tTextScroller::Draw() {
    std::uint8_t normal = MapColor(1);
    std::uint8_t cursorLine = HasState(ViewState::Active) ? MapColor(2) : normal;
    int width = std::min<int>(Width, MaxLineCells);
    tCell line[MaxLineCells];
    for (int y = 0; y < Height; ++y) {
        std::uint8_t color = y == CursorY ? cursorLine : normal;
        FillCells(line, ' ', color, width);
        std::int64_t index = std::int64_t(DeltaY) + y;
        if (index >= 0 && index < std::int64_t(m_Lines.size())) {
            const std::string& text = m_Lines[std::size_t(index)];
            if (DeltaX >= 0 && std::size_t(DeltaX) < text.size()) {
                int count = std::min<int>(width, int(text.size() - std::size_t(DeltaX)));
                CopyCharsToCells(line, text.data() + DeltaX, color, count);
            }
        }
        PutSegment(0, y, width, line);
    }
}

void tTextScroller::ApplyState(std::uint16_t mask, bool on) {
    tScroller::ApplyState(mask, on);
    if (mask & ViewState::Active)
        Repaint();
}

// ---- tNumberedList

tNumberedList::tNumberedList(const tRect& bounds, tScrollBar* vBar, std::int16_t count)
    : tListViewer(bounds, 1, nullptr, vBar) {
    GrowFlags = GrowFlag::GrowRight | GrowFlag::GrowBottom;
    SetItemCount(count);
}

std::string tNumberedList::ItemText(std::int16_t item, int) {
    return FormatText("Строка %d"_oem, {int(item) + 1});
}

tPalette tNumberedList::GetPalette() const {
    return kListPalette.data();
}

// ---- the windows

tObjectPtr<tWindow> MakeTextWindow(const tRect& bounds) {
    auto window = MakeObject<tWindow>(bounds, "Текст"_oem, 1);
    tScrollBar* vBar =
        window->AddScrollBar(ScrollBarOption::Vertical | ScrollBarOption::HandleKeys);
    tScrollBar* hBar = window->AddScrollBar(ScrollBarOption::HandleKeys);
    tRect inside = window->ExtentRect();
    inside.Grow(-1, -1);
    window->InsertView(MakeObject<tTextScroller>(inside, hBar, vBar, DemoText()).release());
    return window;
}

tObjectPtr<tWindow> MakeListWindow(const tRect& bounds) {
    auto window = MakeObject<tWindow>(bounds, "Список"_oem, 2);
    window->ColorScheme = WindowScheme::Cyan;
    tScrollBar* vBar = window->AddScrollBar(ScrollBarOption::Vertical);
    tRect inside = window->ExtentRect();
    inside.Grow(-1, -1);
    window->InsertView(MakeObject<tNumberedList>(inside, vBar, 200).release());
    return window;
}

tObjectPtr<tWindow> MakeEmptyWindow(const tRect& bounds) {
    auto window = MakeObject<tWindow>(bounds, "Окно"_oem, 3);
    window->ColorScheme = WindowScheme::Gray;
    return window;
}

} // namespace zarvo::demo
