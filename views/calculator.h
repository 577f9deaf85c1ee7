// The calculator window: TCalculator with its display, the history button beside it
// (TCalcHistory) and twenty key buttons; and the registration of the calculator and calendar
// classes with object streaming.
#pragma once

#include <cstdint>

#include "views/history.h"
#include "views/window.h"

namespace zarvo {

class TCalcDisplay;

// The history id of the calculator's results.
inline constexpr std::uint16_t kCalcHistoryId = 160;
inline constexpr std::uint16_t kCalculatorHelpTopic = 1500;

// The history button of the display: records its text and puts a chosen one back.
class TCalcHistory : public tHistory {
  public:
    TCalcHistory(const tRect& bounds, TCalcDisplay* display, std::uint16_t historyId);
    explicit TCalcHistory(tStreamLoad);

    std::uint16_t StoreID() const override; // 162
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    void AfterLoad() override;
    void HandleEvent(TEventRec& event) override;

    TCalcDisplay* Display = nullptr; // a peer in the same group; null once it was freed

  protected:
    tView* LinkedView() const override;
    // An error or a bare 0 is not recorded.
    void RecordLine() override;
    // A leading "-" becomes the sign, the rest the number being typed.
    void TakeChoice(const std::string& text) override;

  private:
    void WatchDisplay();
    void OnDisplayFreed(EventFrame& frame);
};

class TCalculator : public tWindow {
  public:
    // The whole calculator, 24 x 15, centred in the group it is put into.
    TCalculator();
    explicit TCalculator(tStreamLoad);

    std::uint16_t StoreID() const override; // 161
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;

    // The display among the subviews, or null.
    TCalcDisplay* Display() const;
};

// Registers TCalcDisplay (160), TCalculator (161), TCalcHistory (162), TCalendarView (180)
// and TCalendarWindow (181) with object streaming. Safe to call more than once.
void RegisterCalcStreamClasses();

} // namespace zarvo
