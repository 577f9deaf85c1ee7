// The string inputs: a zero-terminated string (TInputASCIIZ) and a length-prefixed one
// (TInputString), each in length + 1 bytes.
#pragma once

#include "record_inputs/abstract_input.h"

namespace zarvo {

class TInputASCIIZ : public TAbstractInput {
  public:
    TInputASCIIZ(const tRect& bounds, std::int16_t length);
    explicit TInputASCIIZ(tStreamLoad);

    std::uint16_t StoreID() const override; // 246
    // The characters up to the zero byte, at most the line's length.
    void ValueToText(std::string& out) override;
    // The text, then zeros up to length + 1 bytes.
    bool TextToValue(void* place) override;
};

class TInputString : public TAbstractInput {
  public:
    TInputString(const tRect& bounds, std::int16_t length);
    explicit TInputString(tStreamLoad);

    std::uint16_t StoreID() const override; // 213
    // A stored length past the line's length is cut to it.
    void ValueToText(std::string& out) override;
    // The length byte and the text, then zeros up to length + 1 bytes.
    bool TextToValue(void* place) override;
};

} // namespace zarvo
