// tScrollBar: a horizontal or vertical bar over a 32-bit range with arrows, page areas and a
// thumb; it tells its owner about clicks and value changes by broadcasts.
#pragma once

#include <cstdint>

#include "views/view.h"

namespace zarvo {

// What a position on the bar is (PartAt, StepFor).
namespace ScrollBarPart {
inline constexpr int Outside = -1;
inline constexpr int LeftArrow = 0;
inline constexpr int RightArrow = 1;
inline constexpr int PageLeft = 2;
inline constexpr int PageRight = 3;
inline constexpr int UpArrow = 4;
inline constexpr int DownArrow = 5;
inline constexpr int PageUp = 6;
inline constexpr int PageDown = 7;
inline constexpr int Thumb = 8;
} // namespace ScrollBarPart

// Ranges above this use the thumb formulas that work on the range divided by 32.
inline constexpr std::int64_t kScrollBarLargeRange = 100000000;

class tScrollBar : public tView {
  public:
    // One column wide: vertical; otherwise horizontal.
    explicit tScrollBar(const tRect& bounds);
    explicit tScrollBar(tStreamLoad);

    std::uint16_t StoreID() const override; // 3
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    void Draw() override;
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;

    // ---- added virtual operations
    // Broadcasts cmdScrollChanged to the owner unless the thumb is being dragged.
    virtual void ValueChanged();
    virtual std::int32_t StepFor(int part);

    // Keeps Min <= Value <= Max (an inverted range is mended by raising Max); repaints and
    // announces when Value or a limit changed. The steps are taken in every case.
    void SetAll(std::int32_t value, std::int32_t min, std::int32_t max, std::int32_t pageStep,
                std::int32_t arrowStep);
    void SetLimits(std::int32_t min, std::int32_t max);
    void SetSteps(std::int32_t pageStep, std::int32_t arrowStep);
    void SetPosition(std::int32_t value);
    // Cells of the track, arrows included: at least 3.
    int TrackLength() const;
    // The thumb's cell, 1 .. TrackLength() - 2.
    int ThumbCell() const;
    // The part at local point P, or ScrollBarPart::Outside.
    int PartAt(tPoint p) const;
    bool IsVertical() const { return Width == 1; }

    // ---- fields, in their fixed order
    std::int32_t TrackLock = 0;
    std::int32_t Value = 0;
    std::int32_t MinValue = 0;
    std::int32_t MaxValue = 0;
    std::int32_t PageStep = 1;
    std::int32_t ArrowStep = 1;
    // First arrow, second arrow, page area, thumb, area shown when the range is empty.
    std::uint8_t BarChars[5] = {};

  private:
    void TrackThumb(TEventRec& event);
    void RepeatPart(TEventRec& event, int part);
    bool HandleKey(TEventRec& event);
    // The value of thumb cell I on a track of L cells between the arrows and the thumb's
    // travel.
    std::int32_t ValueAtCell(int cell, int travel) const;
    // Value + step without leaving the 32-bit range.
    std::int32_t Stepped(std::int64_t step) const;
};

} // namespace zarvo
