// The bit sets every view carries (state, options, growth, dragging), the event classes
// groups route by, and the names of the named events views fire at fixed points.
#pragma once

#include <cstdint>
#include <string_view>

namespace zarvo {

// State bits (tView::StateFlags).
namespace ViewState {
inline constexpr std::uint16_t Visible = 0x0001;
inline constexpr std::uint16_t CursorShown = 0x0002;
inline constexpr std::uint16_t CursorInsert = 0x0004;
inline constexpr std::uint16_t Shadow = 0x0008;
inline constexpr std::uint16_t Active = 0x0010;
inline constexpr std::uint16_t Selected = 0x0020;
inline constexpr std::uint16_t Focused = 0x0040;
inline constexpr std::uint16_t Dragging = 0x0080;
inline constexpr std::uint16_t Disabled = 0x0100;
inline constexpr std::uint16_t Modal = 0x0200;
inline constexpr std::uint16_t DefaultState = 0x0400;
inline constexpr std::uint16_t Exposed = 0x0800;
inline constexpr std::uint16_t RedrawPending = 0x2000;
// What a stored view keeps: Active, Selected, Focused and Exposed belong to the running tree.
inline constexpr std::uint16_t StoredMask = 0xF78F;
} // namespace ViewState

// Option bits (tView::OptionFlags).
namespace ViewOption {
inline constexpr std::uint32_t Selectable = 0x0001;
inline constexpr std::uint32_t TopSelect = 0x0002;
inline constexpr std::uint32_t FirstClick = 0x0004;
inline constexpr std::uint32_t Framed = 0x0008;
inline constexpr std::uint32_t PreProcess = 0x0010;
inline constexpr std::uint32_t PostProcess = 0x0020;
inline constexpr std::uint32_t GroupCacheHint = 0x0040;
inline constexpr std::uint32_t Tileable = 0x0080;
inline constexpr std::uint32_t CenterX = 0x0100;
inline constexpr std::uint32_t CenterY = 0x0200;
inline constexpr std::uint32_t Centered = CenterX | CenterY;
inline constexpr std::uint32_t Validate = 0x0400;
inline constexpr std::uint32_t CacheValid = 0x8000;
inline constexpr std::uint32_t ScreenOwner = 0x10000;
} // namespace ViewOption

// Growth bits (tView::GrowFlags): how a view follows its owner's size changes.
namespace GrowFlag {
inline constexpr std::uint8_t GrowLeft = 0x01;
inline constexpr std::uint8_t GrowTop = 0x02;
inline constexpr std::uint8_t GrowRight = 0x04;
inline constexpr std::uint8_t GrowBottom = 0x08;
inline constexpr std::uint8_t GrowAll = 0x0F;
inline constexpr std::uint8_t GrowRelative = 0x10;
} // namespace GrowFlag

// Drag bits (tView::DragFlags and TrackDrag's mode).
namespace DragFlag {
inline constexpr std::uint8_t DragMove = 0x01;
inline constexpr std::uint8_t DragGrow = 0x02;
inline constexpr std::uint8_t LimitLeft = 0x10;
inline constexpr std::uint8_t LimitTop = 0x20;
inline constexpr std::uint8_t LimitRight = 0x40;
inline constexpr std::uint8_t LimitBottom = 0x80;
inline constexpr std::uint8_t LimitAll = 0xF0;
} // namespace DragFlag

// Accept masks set by the constructors.
inline constexpr std::uint16_t kViewAcceptMask = 0x0111;  // mouse down, key down, command
inline constexpr std::uint16_t kGroupAcceptMask = 0x031F; // all mouse, key, command, broadcast

// The event classes groups route by: positional events go to the view under the mouse,
// focused events through the three phases.
extern std::uint16_t PositionalEvents; // 0x000F
extern std::uint16_t FocusedEvents;    // 0x0110

// How SetCurrentView treats the old and the new current view.
enum class tSelectMode : std::uint8_t {
    Normal = 0, // the old one loses Selected, the new one gains it
    Enter = 1,  // the old one keeps Selected (a modal run starts)
    Leave = 2   // the new one is not given Selected (a modal run ends)
};

// Named events of every view; the argument types are in view.h.
inline constexpr std::string_view evnDispatchEvent = "49SDXB700"; // TEventRec*
inline constexpr std::string_view evnFetchEvent = "GCOH6H8ZL";    // tFetchEventArgs*
inline constexpr std::string_view evnChangeState = "GGMZL1NXV";   // tChangeStateArgs*
inline constexpr std::string_view evnHintText = "1RY2QWESG";      // std::string* (<= 255)
inline constexpr std::string_view evnFocusChange = "AAZB7MA2B";   // std::uint8_t*: 1 gained
// Of a group: its IterationLock dropped back to 0 (argument null).
inline constexpr std::string_view evnIterationDone = "1W9WK874X";
// Global: every group frees its cache.
inline constexpr std::string_view evnFreeCaches = "4OGOX7QI9";

// The hint a view gives while it is dragged; the status line knows what to show for it.
inline constexpr std::string_view kDraggingHint = "F28C1CF6O";

} // namespace zarvo
