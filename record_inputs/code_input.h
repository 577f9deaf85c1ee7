// tInputCode, a mask input over a code of digit groups: one byte per group, each shown in
// decimal with leading zeros, the groups separated by ".".
#pragma once

#include "record_inputs/abstract_input.h"

namespace zarvo {

class tInputCode : public TAbstractInput {
  public:
    // DIGITS per group (1 to 3) and GROUPS bytes at PLACE (kept within a short string).
    tInputCode(const tRect& bounds, void* place, int digits, int groups);

    void ValueToText(std::string& out) override;
    // Blanks are the empty code (all zeros); otherwise every group a number up to 255.
    bool TextToValue(void* place) override;
    // "Недопустимый код" with the text.
    void ShowInputError() override;

    int Digits = 1;
    int Groups = 1;

  protected:
    std::uint16_t ValueSize() override;
};

} // namespace zarvo
