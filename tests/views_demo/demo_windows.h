// The views demo's three windows: a long text under a scroller with both bars, a list of 200
// lines with a vertical bar, and an empty window to move, resize and zoom.
#pragma once

#include <string>
#include <vector>

#include "library/sobject.h"
#include "views/list_viewer.h"
#include "views/scroller.h"
#include "views/window.h"

namespace zarvo::demo {

// A scroller over lines of CP866 text; the line under the scroller's cursor is highlighted,
// so the cursor line the vertical bar moves can be seen.
class tTextScroller : public tScroller {
  public:
    tTextScroller(const tRect& bounds, tScrollBar* hBar, tScrollBar* vBar,
                  std::vector<std::string> lines);
    void Draw() override;
    // The highlight follows the window's activity.
    void ApplyState(std::uint16_t mask, bool on) override;

  private:
    std::vector<std::string> m_Lines;
};

// "Строка 1" ... "Строка N".
class tNumberedList : public tListViewer {
  public:
    tNumberedList(const tRect& bounds, tScrollBar* vBar, std::int16_t count);
    std::string ItemText(std::int16_t item, int maxLength) override;
    // A window's palette has 13 entries: the viewer's own indexes would all be errors there,
    // so its colours come from the window's text entries.
    tPalette GetPalette() const override;
};

// The demo's text: more than a hundred lines, some longer than any window.
std::vector<std::string> DemoText();

// Window 1 "Текст", window 2 "Список" and window 3 "Окно" at BOUNDS.
tObjectPtr<tWindow> MakeTextWindow(const tRect& bounds);
tObjectPtr<tWindow> MakeListWindow(const tRect& bounds);
tObjectPtr<tWindow> MakeEmptyWindow(const tRect& bounds);

} // namespace zarvo::demo
