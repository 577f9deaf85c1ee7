// tHistory, the small button beside an input line that records the line's text in the input
// history and opens the history window under the line; and the registration of the input
// line, list box and history classes with object streaming.
#pragma once

#include <cstdint>
#include <string>

#include "views/view.h"

namespace zarvo {

class tHistoryWindow;
class tInputLine;

class tHistory : public tView {
  public:
    // The drawing fills three cells of each row: make the button 3 cells wide.
    tHistory(const tRect& bounds, tInputLine* link, std::uint16_t historyId);
    explicit tHistory(tStreamLoad);

    std::uint16_t StoreID() const override; // 19
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    // Watches the line the stream's reference gave.
    void AfterLoad() override;
    void Draw() override;
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;

    // The history window over BOUNDS (the owner's coordinates), or null.
    virtual tHistoryWindow* MakeHistoryWindow(const tRect& bounds);

    tInputLine* Link = nullptr;  // a peer in the same group; null once it was freed
    std::uint16_t HistoryId = 0; // only the low byte is the id

  protected:
    // The view the button serves: the line here; a descendant may serve another view.
    virtual tView* LinkedView() const;
    // Records the served view's text in the history.
    virtual void RecordLine();
    // Puts the text chosen in the history window into the served view.
    virtual void TakeChoice(const std::string& text);
    // Opens the history window under the served view and hands it the choice.
    void ChooseFromHistory();

  private:
    std::uint8_t Id() const { return std::uint8_t(HistoryId); }
    // The line is a peer that may be freed first: let go of it then.
    void WatchLink();
    void OnLinkFreed(EventFrame& frame);
};

// Registers tInputLine (11), tListBox (16), tSortedListBox (53), tHistory (19) and
// tHistoryObject (10011) with object streaming. Safe to call more than once.
void RegisterInputStreamClasses();

} // namespace zarvo
