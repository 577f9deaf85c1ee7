// tLabel, a static text with a hot letter that moves the focus to the control it names (its
// link) by a click or the hot key, after the current control agreed to let go; it is drawn
// light while its link has the focus.
#pragma once

#include <string_view>

#include "views/static_text.h"

namespace zarvo {

class tLabel : public tStaticText {
  public:
    tLabel(const tRect& bounds, std::string_view text, tView* link);
    // The designer's blank label: 10 x 2 at (0, 0), "Метка", no link.
    tLabel();
    explicit tLabel(tStreamLoad);

    std::uint16_t StoreID() const override; // 18
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    void Draw() override;
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;

    // The linked control, or null; let go of when it is freed.
    tView* Link = nullptr;
    bool IsLight = false;

  private:
    void SetLink(tView* link);
    void OnLinkFreed(EventFrame& frame);
    // Whether the owner's current control refuses to let the focus go.
    bool CurrentRefuses() const;
    void FocusLink(TEventRec& event);
};

} // namespace zarvo
