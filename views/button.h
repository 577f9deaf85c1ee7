// tButton, a push button with a hot letter: pressed by the mouse (drawn pressed while held
// inside), by its hot key or a space, or by Enter while it has the dialog's default role;
// the role follows the focus between buttons through the grab and release broadcasts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "views/view.h"

namespace zarvo {

// tButton::ButtonFlags.
namespace ButtonFlag {
inline constexpr std::uint8_t IsDefaultButton = 0x01; // the dialog's default button
inline constexpr std::uint8_t LeftJustify = 0x02;     // title at the left instead of centred
inline constexpr std::uint8_t BroadcastPress = 0x04;  // pressing broadcasts instead of posting
inline constexpr std::uint8_t GrabFocus = 0x08;       // a click focuses the button
} // namespace ButtonFlag

// How long a button pressed from the keyboard is shown pressed.
inline constexpr int kButtonPressMs = 75;

class tButton : public tView {
  public:
    tButton(const tRect& bounds, std::string_view title, std::uint16_t command,
            std::uint8_t buttonFlags);
    // The designer's blank button: 10 x 2 at (0, 0), "Кнопка", command 0, no flags.
    tButton();
    explicit tButton(tStreamLoad);

    std::uint16_t StoreID() const override; // 12
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    void Draw() override;
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;
    void ApplyState(std::uint16_t mask, bool on) override;

    // Records history, then posts the command (or broadcasts it with BroadcastPress).
    void Trigger();
    // A button that is not the dialog's default button takes (or gives back) the role.
    void TakeDefaultRole(bool on);

    // ---- fields, in their fixed order
    std::string Title; // with a hot letter; at most 255 CP866 characters
    std::uint16_t Command = 0;
    std::uint8_t ButtonFlags = 0;
    bool IsDefault = false;
    bool IsDown = false;

  private:
    // Shown pressed for a moment, then triggered.
    void PressButton(TEventRec& event);
    void TrackMouse(TEventRec& event);
    void HandleKey(TEventRec& event);
    void HandleBroadcast(TEventRec& event);
    std::uint16_t TextColors() const;
    // Row Y above the shadow row; answers the character the shadow row is filled with.
    std::uint8_t DrawTextRow(tCell* line, int y, std::uint16_t pair, std::uint8_t shadow) const;
};

} // namespace zarvo
