// The drop-down windows: tDropWindow (a closable window that ends its modal run with cmdOk on
// Enter or a double click and with cmdCancel on Esc, and reports its focused item's text),
// tListWindow (one that remembers its list viewer) and tHistoryWindow with tHistoryViewer,
// the list of one history id that a history button opens under its input line.
#pragma once

#include <cstdint>
#include <string>

#include "views/list_viewer.h"
#include "views/window.h"

namespace zarvo {

// Help context of the history window a history button opens.
inline constexpr std::uint16_t kHistoryWindowHelpTopic = 902;

// The texts of one history id, most recent first; Del forgets the focused one.
class tHistoryViewer : public tListViewer {
  public:
    tHistoryViewer(const tRect& bounds, tScrollBar* hBar, tScrollBar* vBar,
                   std::uint16_t historyId);

    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;
    std::string ItemText(std::int16_t item, int maxLength) override;

    // The longest text of the id (0 when it has none).
    int HistoryWidth() const;

    std::uint16_t HistoryId = 0; // only the low byte is the id

  private:
    std::uint8_t Id() const { return std::uint8_t(HistoryId); }
    void FitHorizontalBar();
};

class tDropWindow : public tWindow {
  public:
    explicit tDropWindow(const tRect& bounds);

    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;

    // The text of the current view's focused item; empty when nothing answers.
    virtual std::string SelectionText();
};

class tListWindow : public tDropWindow {
  public:
    using tDropWindow::tDropWindow;

    tListViewer* Viewer = nullptr; // a subview, set by whoever fills the window
};

class tHistoryWindow : public tListWindow {
  public:
    tHistoryWindow(const tRect& bounds, std::uint16_t historyId);

    tPalette GetPalette() const override;

    // Fills the window with both bars and a history viewer. Called by the constructor, where a
    // descendant's override cannot run yet.
    virtual void MakeViewer(std::uint16_t historyId);
};

} // namespace zarvo
