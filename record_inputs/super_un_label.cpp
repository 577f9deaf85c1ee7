// tSuperUnLabel: the label's behaviour plus the one broadcast that unselects its control.
#include "record_inputs/super_un_label.h"

#include "library/validity.h"

namespace zarvo {

tSuperUnLabel::tSuperUnLabel(const tRect& bounds, std::string_view text, tView* link)
    : tLabel(bounds, text, link) {}

void tSuperUnLabel::HandleEvent(TEventRec& event) {
    tLabel::HandleEvent(event);
    if (event.what == evtBroadcast && event.message.command == cmdUnselectLinked && IsValid(Link))
        Link->OptionFlags &= ~ViewOption::Selectable;
}

} // namespace zarvo
