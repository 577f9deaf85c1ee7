// tWindow, the framed, movable group the desktop holds: a frame with title and number, zoom,
// close, keyboard move and resize, Tab between its controls, and three colour schemes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "views/group.h"

namespace zarvo {

class tFrame;
class tScrollBar;

// Window flag bits (tWindow::WindowFlags); CanMove and CanGrow double as drag modes.
namespace WindowFlag {
inline constexpr std::uint8_t CanMove = 0x01;
inline constexpr std::uint8_t CanGrow = 0x02;
inline constexpr std::uint8_t CanClose = 0x04;
inline constexpr std::uint8_t CanZoom = 0x08;
inline constexpr std::uint8_t All = 0x0F;
} // namespace WindowFlag

// Colour schemes (tWindow::ColorScheme), each a window palette.
namespace WindowScheme {
inline constexpr std::int16_t Blue = 0;
inline constexpr std::int16_t Cyan = 1;
inline constexpr std::int16_t Gray = 2;
} // namespace WindowScheme

// AddScrollBar options.
namespace ScrollBarOption {
inline constexpr std::uint8_t Vertical = 0x01;   // clear: horizontal
inline constexpr std::uint8_t HandleKeys = 0x02; // the bar also takes keys (PostProcess)
} // namespace ScrollBarOption

// The smallest size a window can be dragged or zoomed to.
extern tPoint MinWinSize; // (16, 3)

// The help context a window starts with.
inline constexpr std::uint16_t kWindowHelpTopic = 1200;

class tWindow : public tGroup {
  public:
    tWindow(const tRect& bounds, std::string_view title, std::int16_t number);
    explicit tWindow(tStreamLoad);
    ~tWindow() override;

    // ---- overrides
    std::uint16_t StoreID() const override; // 7
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;
    void ApplyState(std::uint16_t mask, bool on) override;
    void SizeRange(tPoint& min, tPoint& max) override;
    // P goes directly in front of the frame: creation order front to back, frame last.
    void tInsert(tView* p) override;

    // ---- added virtual operations, in their fixed order
    // Destroys the window when Valid(cmdClose) agrees; answers that. After true the window
    // is gone: the caller must not touch it.
    virtual bool CloseWindow();
    // The title (MaxLength is not applied).
    virtual std::string TitleText(int maxLength);
    // Frame = a new frame over the extent. Called by the constructor, where a descendant's
    // override cannot run yet.
    virtual void MakeFrame();
    virtual void ToggleZoom();

    // A new scroll bar along the right (Vertical) or bottom edge, inserted in the window.
    tScrollBar* AddScrollBar(std::uint8_t options);

    // ---- fields, in their fixed order
    std::uint8_t WindowFlags = 0;
    tRect ZoomRect;
    std::int16_t Number = 0; // 0: none
    std::int16_t ColorScheme = WindowScheme::Blue;
    tFrame* Frame = nullptr; // a subview, owned through the group
    std::string Title;       // at most 255 CP866 bytes; empty: none

  private:
    void HandleCommand(TEventRec& event);
    void HandleBroadcast(TEventRec& event);
    void CloseOrCancel(TEventRec& event);
};

// Registers tWindow (7), tFrame (2), tScrollBar (3), tScroller (4), tListViewer (5) and
// tIndicator (73) with object streaming. Safe to call more than once.
void RegisterWindowStreamClasses();

} // namespace zarvo
