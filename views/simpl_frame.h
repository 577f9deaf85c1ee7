// tSimplFrame, a single-line box drawn around another view (its Under): bright while that view
// has the focus, and a click on the box focuses it.
#pragma once

#include "views/view.h"

namespace zarvo {

class tSimplFrame : public tView {
  public:
    explicit tSimplFrame(const tRect& bounds);

    void Draw() override;
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;

    // ---- added virtual operation
    virtual void SetUnder(tView* view);

    // The framed view, or null; let go of when it is freed.
    tView* Under = nullptr;

  private:
    void OnUnderFreed(EventFrame& frame);
};

} // namespace zarvo
