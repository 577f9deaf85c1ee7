// The directory chooser beside the parameter dialog's directory field: Down or a click opens
// the directory dialog at the field's text, and a directory named in the field that does not
// exist is offered for creation when the field is left or the dialog accepted.
#pragma once

#include "record_inputs/sense.h"

namespace zarvo {

class TDirectorySense : public TAbstractSense {
  public:
    TDirectorySense(const tRect& bounds, TAbstractInput* input);

    // The directory exists, or the operator had it made. Asked only by the field's
    // validation (the field left, the dialog accepted).
    bool CheckText(std::string_view text) override;
    // Without the idle refresh: with no display to fill, it would only ask about the
    // directory again after a chooser or a message box closed.
    void HandleEvent(TEventRec& event) override;
    // The directory dialog on the desktop, at the field's text; a choice replaces the text
    // and is stored into the record at once.
    void RunChooser(std::uint16_t& command) override;
    // CheckText has shown its own messages: "not found" needs none more.
    void ShowLookupError() override;
};

// The maker the record dialogs use for a directory field's chooser.
tObjectPtr<tView> MakeDirectorySense(const tRect& bounds, tView* input);

} // namespace zarvo
