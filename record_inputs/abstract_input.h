// TAbstractInput, an input line bound to a value of one field type that lives elsewhere
// (normally in a record's buffer): it shows the value as text, edits it freely or through a
// fixed mask, checks it when the field is left or the dialog accepted, and writes the value
// back only when the dialog asks for it, so a cancelled dialog changes nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "record_inputs/input_commands.h"
#include "views/input_line.h"

namespace zarvo {

// Option bits of typed inputs.
inline constexpr std::uint16_t ioRequired = 0x0001;     // the text must not be blank
inline constexpr std::uint16_t ioMask = 0x0002;         // set by SetMask only
inline constexpr std::uint16_t ioShowZero = 0x0010;     // a numeric zero shows as text
inline constexpr std::uint16_t ioZeroFill = 0x0020;     // numbers padded with "0"
inline constexpr std::uint16_t ioPassword = 0x0040;     // drawn as password characters
inline constexpr std::uint16_t ioStoreOnLeave = 0x0080; // required; stored when left valid
inline constexpr std::uint16_t ioUpperCase = 0x0100;
inline constexpr std::uint16_t ioLowerCase = 0x0200;
inline constexpr std::uint16_t ioTrimLeft = 0x0400;
inline constexpr std::uint16_t ioTrimRight = 0x0800;
inline constexpr std::uint16_t ioCompareText = 0x2000;  // cmdQueryUnchanged compares texts
inline constexpr std::uint16_t ioCompareValue = 0x4000; // cmdQueryUnchanged compares values
inline constexpr std::uint16_t ioNoFilter = 0x8000;     // typed characters are not filtered

// What a password field shows for each character.
inline constexpr char kPasswordChar = '*';
// Status-line hint of numeric inputs.
inline constexpr std::string_view kNumberInputHint = "B2EYPJOVM";

// The allowed characters, one bit per CP866 code.
using tCharSet = std::array<std::uint8_t, 32>;
tCharSet MakeCharSet(std::string_view chars);
inline bool CharSetHas(const tCharSet& set, char c) {
    auto b = static_cast<unsigned char>(c);
    return (set[b >> 3] >> (b & 7)) & 1;
}

class TAbstractInput : public tInputLine {
  public:
    // Options ioTrimLeft | ioTrimRight; every character from 32 to 255 allowed.
    TAbstractInput(const tRect& bounds, std::int16_t maxLength);
    explicit TAbstractInput(tStreamLoad);

    // ---- overrides
    bool Valid(std::uint16_t command) override;
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    void ApplyState(std::uint16_t mask, bool on) override;
    std::uint16_t DataLength() override;
    void Draw() override;
    void ExportData(void* record) override;
    void HandleEvent(TEventRec& event) override;
    void ImportData(const void* record) override;
    void DeleteSelection() override;
    void InsertText(std::string_view text) override;

    // ---- added virtual operations, in their fixed order
    // Applies the case and trim options to the text; true.
    virtual bool PostValidate();
    virtual void ValueToText(std::string& out);
    // Converts the text into the value at PLACE; false (PLACE untouched) when it does not.
    virtual bool TextToValue(void* place);
    virtual void FillMask();
    virtual void TextFromMask(std::string& out);
    virtual void ShowInputError();
    virtual bool IsFilled();
    // Stores MASK, sets ioMask and reloads the text through ValueToText.
    virtual void SetMask(std::string_view mask);
    // ORs BITS in (never ioMask).
    virtual void SetInputOptions(std::uint16_t bits);

    // The bound value (null: none).
    void* BoundPlace() const { return Bound; }
    bool HasMask() const { return (InputOptions & ioMask) != 0; }
    // The text as ValueToText gives it, case and trims applied, laid into the mask.
    void ReloadText();
    // This field becomes the current one, its whole text selected.
    void SelectField();
    // The text without blanks around it, the placeholder part only in mask mode.
    std::string FilledText();

    // ---- fields, in their fixed order
    void* Bound = nullptr;
    std::uint16_t InputOptions = ioTrimLeft | ioTrimRight;
    tCharSet Allowed{};
    std::string Mask; // with ioMask

  protected:
    // The size of the bound value; string inputs hold their length + 1.
    virtual std::uint16_t ValueSize();
    // TEXT after the case options (typed characters and loaded texts alike).
    std::string ApplyCase(std::string_view text) const;
    std::string ApplyTrims(std::string_view text) const;
    bool CheckField(std::uint16_t command);
    bool QueryUnchanged();
    // The cursor to the first placeholder at or after AT (mask mode only).
    void MoveToPlaceholder(int at);

  private:
    bool HandleWordKey(std::uint16_t key);
    bool HandleMaskKey(TEventRec& event);
    void TypeIntoMask(char ch);
    void BlankPlaceholders(int from, int to);
    bool IsWordBreak(int at) const;
    int WordLeft() const;
    int WordRight() const;
    void EraseRange(int from, int to);
};

} // namespace zarvo
