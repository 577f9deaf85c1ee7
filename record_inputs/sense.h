// Senses: small views beside a typed input (or, without one, owning a display line) that
// resolve or choose the input's value: TAbstractSense with its chooser, lookup and error
// states; TSenseInput, the display line that hands its clicks to its sense; and TListSense,
// a code input paired with the name looked up in a list of strings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "library/collection_strings.h"
#include "record_inputs/abstract_input.h"
#include "views/input_line.h"

namespace zarvo {

// Modes of a sense.
inline constexpr std::uint8_t smNormal = 0;      // a non-empty text must resolve
inline constexpr std::uint8_t smRequired = 1;    // the text must resolve, so not be empty
inline constexpr std::uint8_t smConvertOnly = 2; // the display follows; nothing fails
// Error states of a sense.
inline constexpr std::uint8_t seNone = 0;
inline constexpr std::uint8_t seNotFound = 10;
inline constexpr std::uint8_t seEmpty = 11;

// A display line: a click asks its sense (cmdSenseClicked), and it refuses to be left while
// a lookup about it is unresolved.
class TSenseInput : public tInputLine {
  public:
    TSenseInput(const tRect& bounds, std::int16_t maxLength);
    explicit TSenseInput(tStreamLoad);

    void HandleEvent(TEventRec& event) override;
    // cmdValidateAll and cmdValidateField: false (this line selected) when a view takes the
    // cmdResolveLookup broadcast about it; any other command: true.
    bool Valid(std::uint16_t command) override;
};

class TAbstractSense : public tView {
  public:
    // INPUT: the typed input resolved (may be null). DISPLAY: the line showing the result
    // (may be null). Without an input the value is a zero-terminated text of LENGTH
    // characters bound through ImportData. Neither view is owned; both are watched.
    TAbstractSense(const tRect& bounds, tInputLine* display, std::int16_t length,
                   TAbstractInput* input);

    // ---- overrides
    void Draw() override;
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;
    // The text place's size without an input, else nothing.
    std::uint16_t DataLength() override;
    void ImportData(const void* record) override;
    void ExportData(void* record) override;

    // ---- added virtual operations, in their fixed order
    // RunChooser; unless cancelled, cmdSenseChosen to the owner. True unless cancelled.
    virtual bool Choose();
    virtual bool CheckText(std::string_view text);
    virtual void RunChooser(std::uint16_t& command);
    virtual void ClearValue();
    virtual void ShowLookupError();
    virtual bool ResolveQuery(std::uint16_t command);

    // The input's text, else the text place's.
    std::string CurrentText() const;
    // The view Choose works for: the input, else the display.
    tView* Target() const;
    void SetInput(TAbstractInput* input);
    void SetDisplay(tInputLine* display);

    // ---- fields
    TAbstractInput* Input = nullptr;
    tInputLine* Display = nullptr;
    char* TextPlace = nullptr; // LENGTH + 1 bytes, zero-terminated; not owned
    std::int16_t Length = 0;
    bool Busy = false;
    bool RefreshPending = true;
    std::uint8_t Mode = smNormal;
    std::uint8_t ErrorState = seNone;

  protected:
    void ShowInDisplay(std::string_view text);

  private:
    bool TargetAgrees(tView* target);
    void ChooseFor(TEventRec& event);
    void ResolveDisplay(TEventRec& event);
    void ResolveInput(TEventRec& event);
    void Refresh(TEventRec& event);
    void OnInputFreed(EventFrame& frame);
    void OnDisplayFreed(EventFrame& frame);
};

// A code input and the name for its code in a list: the code N (1, 2, ...) names item N - 1,
// and an empty item names nothing. Down or a click chooses from the list in a dialog.
class TListSense : public TAbstractSense {
  public:
    // ITEMS is owned.
    TListSense(const tRect& bounds, tInputLine* display, std::int16_t length, TAbstractInput* input,
               tObjectPtr<tStringCollection> items);

    // Shows the trimmed name of the item the code names; false when it names none.
    bool CheckText(std::string_view text) override;
    // A list of the items, the current one focused; an accepted choice becomes the text.
    void RunChooser(std::uint16_t& command) override;

    tObjectPtr<tStringCollection> Items;
    std::int16_t Current = -1;
};

} // namespace zarvo
