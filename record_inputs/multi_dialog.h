// The dialogs generated from records: tDialogCont accepts only when every field agrees and then
// has the fields store their values; tMultiDialog spreads its fields over pages stacked one
// dialog height apart, shows one page at a time and keeps the focus on the page it shows.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "views/dialog.h"

namespace zarvo {

class tIndicator;
class tScrollBar;

// Valid query: true when no view of the page shown refuses cmdValidateField.
inline constexpr std::uint16_t cmdValidatePage = 3759;

class tDialogCont : public tDialog {
  public:
    tDialogCont(const tRect& bounds, std::string_view title);

    // cmdOk ends the dialog only after Valid(cmdValidateAll) and a cmdStoreFields broadcast;
    // a refused field keeps it open.
    void HandleEvent(TEventRec& event) override;
};

class tMultiDialog : public tDialogCont {
  public:
    tMultiDialog(const tRect& bounds, std::string_view title);
    ~tMultiDialog() override;

    // cmdValidateAll: the first view, in field order over all pages, that refuses has its
    // page shown and the answer is false. cmdValidatePage: the page shown only.
    bool Valid(std::uint16_t command) override;
    void HandleEvent(TEventRec& event) override;

    // Inserts VIEW on PAGE (0-based) with its bounds given as on that page; its rows are
    // moved to where the page lies now. The second page brings the page bar and indicator.
    void InsertOnPage(tView* view, int page);
    // Shows PAGE (0-based) and focuses what had the focus there last, else its first
    // selectable view; nothing for a page that does not exist. No field is asked.
    void SelectPage(int page);
    // The page of VIEW, or -1 for a view shown on every page (buttons) or a stranger.
    int PageOf(const tView* view) const;
    // Whether the current control lets the focus go (cmdValidateField).
    bool CurrentLetsGo();
    // The first view of PAGE (0-based) that can take the focus, or null.
    tView* FirstSelectableOn(int page);

    // ---- fields
    tScrollBar* PageBar = nullptr;       // from the second page on; value = current page
    tIndicator* PageIndicator = nullptr; // likewise
    std::vector<tView*> PageFocus;       // the control last focused on each page, or null
    std::int16_t PageCount = 1;
    std::int16_t CurrentPage = 0;

  private:
    struct tPageView {
        tView* View;
        int Page;
    };

    void AddPage();
    void ShowPage(int page);
    // The next selectable view of the page shown, from the current one; null when none.
    tView* NeighbourOnPage(bool forward);
    bool OnShownPage(const tView* view) const;
    void HandleBroadcast(TEventRec& event);
    bool HandlePageKey(TEventRec& event);
    void OnPageViewFreed(EventFrame& frame);

    std::vector<tPageView> m_PageViews; // in field order; not owned
    bool m_Switching = false;
};

} // namespace zarvo
