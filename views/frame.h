// tFrame, a window's border: lines joined around framed subviews, the title, the number, and
// the close, zoom and resize icons, which turn mouse clicks into commands and drags.
#pragma once

#include <cstdint>
#include <string_view>

#include "views/view.h"

namespace zarvo {

class tWindow;

// The drawing tables every frame shares.
// Line masks per style: rows of (left end, middle, right end) for the top, middle and
// bottom lines; the single style at offset 0, the double at 9.
extern const std::uint8_t FrameJoins[18];
// The line character of a mask: 1 up, 2 right, 4 down, 8 left, 16 double style.
extern const std::string_view FrameChars; // 32 CP866 characters
// Hot-text icons: "~" switches to the icon colour and back.
extern const std::string_view CloseIcon;
extern const std::string_view ClosePressedIcon;
extern const std::string_view ZoomIcon;
extern const std::string_view ResizeIcon;

// tFrame::FrameMode.
namespace FrameModes {
inline constexpr std::int16_t Normal = 0;
inline constexpr std::int16_t ClosePressed = 1;
inline constexpr std::int16_t ZoomPressed = 2;
} // namespace FrameModes

class tFrame : public tView {
  public:
    explicit tFrame(const tRect& bounds);
    explicit tFrame(tStreamLoad);

    std::uint16_t StoreID() const override; // 2
    void Draw() override;
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;
    void ApplyState(std::uint16_t mask, bool on) override;

    std::int16_t FrameMode = FrameModes::Normal;

  private:
    struct tStyle;
    tWindow* Window() const;
    tStyle CurrentStyle() const;
    // Line characters of ROW from the join row N, with the borders of framed subviews.
    void FrameLine(tCell* line, int width, int row, int n, std::uint8_t color) const;
    void DrawTopRow(tCell* line, int width, const tStyle& style) const;
    void DrawTitle(tCell* line, int width, int maxTitle, std::uint8_t color) const;
    // Tracks a press on an icon (columns FIRST..FIRST+2 of the top row) until release;
    // answers whether it was released on the icon.
    bool TrackIcon(TEventRec& event, int first, std::int16_t pressedMode);
    void PostToWindow(std::uint16_t command, tWindow* window);
};

} // namespace zarvo
