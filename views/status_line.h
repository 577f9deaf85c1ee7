// TStatusLine, the application's bottom row: the key items listed for the focused view's
// hint, drawn with their keys highlighted; a key or a click on an item becomes its command.
// Also the item and hint-table records and the stored form of an item list.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "views/view.h"

namespace zarvo {

struct TStatusItemRec {
    TStatusItemRec() = default;
    TStatusItemRec(const TStatusItemRec&) = delete;
    TStatusItemRec& operator=(const TStatusItemRec&) = delete;
    // Frees the rest of the list without recursing along it.
    ~TStatusItemRec();

    std::unique_ptr<TStatusItemRec> Next;
    std::string Text; // "~" around the key name; empty: an invisible item that still answers
    std::uint16_t KeyCode = 0;
    std::uint16_t Command = 0;
};

// One range of the hint table: views whose help context lies in Min..Max without a hint of
// their own have HINT.
struct TStatusDefRec {
    TStatusDefRec() = default;
    TStatusDefRec(const TStatusDefRec&) = delete;
    TStatusDefRec& operator=(const TStatusDefRec&) = delete;
    ~TStatusDefRec();

    std::unique_ptr<TStatusDefRec> Next;
    std::uint16_t Min = 0;
    std::uint16_t Max = 0;
    std::string Hint;
};

using tStatusItemPtr = std::unique_ptr<TStatusItemRec>;
using tStatusDefPtr = std::unique_ptr<TStatusDefRec>;

tStatusItemPtr NewStatusKey(std::string_view text, std::uint16_t keyCode, std::uint16_t command,
                            tStatusItemPtr next = nullptr);
tStatusDefPtr NewStatusDef(std::uint16_t min, std::uint16_t max, std::string_view hint,
                           tStatusDefPtr next = nullptr);

// More items than this is a damaged list, not a status line.
inline constexpr int kMaxStatusItems = 255;

// A 16-bit count, then per item its text, key code and command.
void WriteStatusItems(tStream& s, const TStatusItemRec* items);
// Null for an empty list; null and a stream error for a damaged one.
tStatusItemPtr ReadStatusItems(tStream& s);

// Named events: the idle notification of the application (argument: bool*, set by handlers
// that did work) and the status line's own hook for a text after its items.
inline constexpr std::string_view evnNotifyIdle = "3XJ8J8YI9";
inline constexpr std::string_view evnStatusHintText = "I2YD1MQ41"; // tStatusHintArgs*

struct tStatusHintArgs {
    std::uint16_t HelpContext = 0;
    std::string Text; // at most 255 characters
};

// Item colour pairs (normal / key), indexes into the status line's palette.
namespace StatusColors {
inline constexpr std::uint16_t Normal = 0x0301;
inline constexpr std::uint16_t Highlighted = 0x0604;
inline constexpr std::uint16_t Disabled = 0x0202;
inline constexpr std::uint16_t DisabledHighlighted = 0x0505;
} // namespace StatusColors

// The hint is looked at no more often than this.
inline constexpr std::uint32_t kStatusIdleInterval = 200;

class TStatusLine : public tView {
  public:
    // The newest status line serves as the hint table of views without a hint.
    TStatusLine(const tRect& bounds, tStatusDefPtr definitions);
    explicit TStatusLine(tStreamLoad);
    ~TStatusLine() override;

    std::uint16_t StoreID() const override; // 42
    // The view, then the definitions with the items of their hints; loading drops them.
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    tPalette GetPalette() const override;
    void Draw() override;
    void HandleEvent(TEventRec& event) override;

    // Follows the focused view's hint (at most every kStatusIdleInterval ms); true when the
    // hint changed.
    bool IdleUpdate();
    // The items listed for the current Hint, through the global lookup.
    void ReloadItems();
    // The hint of the first definition whose range holds CONTEXT, or empty.
    std::string HintFor(std::uint16_t helpContext) const;
    // The item whose columns hold local column X (hidden ones included), or null.
    const TStatusItemRec* ItemAtColumn(int x) const;

    // ---- fields
    bool Updating = false;
    std::uint32_t LastIdleTime = 0;
    const TStatusItemRec* Highlighted = nullptr; // only while drawing during a click
    const TStatusItemRec* Items = nullptr;       // owned by the status-line cache
    tStatusDefPtr Definitions;

  private:
    void OnIdle(EventFrame& frame);
    void TrackMouse(TEventRec& event);
    void DrawHintArea(tCell* line, int x);
    void SubscribeIdle();
};

} // namespace zarvo
