// The date and time inputs: mask inputs over a day number and over seconds since midnight,
// read and written through the fixed templates; a date may also be the unlimited date.
#pragma once

#include <string>
#include <string_view>

#include "record_inputs/count_input.h"

namespace zarvo {

// Status-line hints of date inputs and of time inputs (which open no calculator).
inline constexpr std::string_view kDateInputHint = "EXW4XCC6Q";
inline constexpr std::string_view kTimeInputHint = "T5HV8NQ2K";

// Seconds since midnight (signed 32-bit), 0 to 86399. Without a picture the mask follows
// the field's width (bounds width - 2): 8 or more "##:##:##", below 5 "##", else "##:##".
class tInputTime : public TInputCountType {
  public:
    tInputTime(void* place, std::string_view picture, const tRect& bounds);
    explicit tInputTime(tStreamLoad);

    std::uint16_t StoreID() const override; // 242
    bool PostValidate() override;
    void ValueToText(std::string& out) override;
    // Hours, minutes and seconds as the mask has them, each given in full; a blank mask is 0.
    bool TextToValue(void* place) override;
    void FormatValue(const void* value, std::string& out) override;
    // A time is no number for the calculator.
    void OpenCalculator() override;

    // "hh:nn:ss", "hh:nn" or "hh" by the mask's length.
    std::string_view TimeTemplate() const;
};

// A day number: 0 (blank) to 65378, or 65379, the unlimited date. The mask is the picture
// ("##/##/##" or "##/##/####"); without one it follows the field's width.
class TInputDate : public TInputCountType {
  public:
    TInputDate(void* place, std::string_view picture, const tRect& bounds);
    explicit TInputDate(tStreamLoad);

    std::uint16_t StoreID() const override; // 243
    void HandleEvent(TEventRec& event) override;
    bool PostValidate() override;
    void ValueToText(std::string& out) override;
    // Blanks and separators only: 0; the unlimited word: 65379; otherwise a real date
    // within the limits.
    bool TextToValue(void* place) override;
    void FillMask() override;
    void TextFromMask(std::string& out) override;
    void ShowInputError() override;
    void FormatValue(const void* value, std::string& out) override;
    // Ctrl+K in a date opens the calendar instead of the calculator; an accepted day
    // replaces the text.
    void OpenCalculator() override;

    // "dd/mm/yy" or "dd/mm/yyyy" by the mask's length.
    std::string_view DateTemplate() const;
    // "БЕССРОЧ." or "БЕССРОЧНО" by the mask's length.
    std::string UnlimitedText() const;
    bool ShowsUnlimited() const;

  private:
    // Keys while the unlimited word shows; true when taken.
    bool HandleUnlimitedKey(TEventRec& event);
    // Parses the text into a day number (65535 for none).
    std::uint16_t ParsedDate() const;
};

} // namespace zarvo
