// TCalcDisplay, the calculator's one-line display and its four-function arithmetic: it takes
// typed keys and the calculator buttons' broadcasts and keeps the number being typed, the
// pending operator and its left operand.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "views/view.h"

namespace zarvo {

// The operand is an 80-bit extended real, as the numeric fields hold them.
static_assert(std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384,
              "the calculator needs the 80-bit long double (64-bit significand)");

// TCalcDisplay::State.
namespace CalcState {
inline constexpr std::uint8_t Result = 0; // a result is shown: the next digit starts a number
inline constexpr std::uint8_t Typing = 1; // a number is being typed
inline constexpr std::uint8_t Error = 2;
} // namespace CalcState

// The most characters the display keeps as its number.
inline constexpr std::size_t kCalcDigits = 15;

// Optional sign, digits, optional point and digits (at least one digit): the only texts the
// calculator reads as numbers. VALUE receives the number.
bool ParseCalcNumber(std::string_view text, long double& value);

class TCalcDisplay : public tView {
  public:
    explicit TCalcDisplay(const tRect& bounds);
    explicit TCalcDisplay(tStreamLoad);

    std::uint16_t StoreID() const override; // 160
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    void Draw() override;
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;

    void CalcKey(char key);
    void CalcClear();
    void CalcError();
    void CalcShow(long double x);
    long double CalcValue() const;

    // Sign and number without blanks ("-12.5"); the error text in the error state.
    std::string DisplayText() const;
    // TEXT (a history entry) becomes the number being typed; a text that is no number
    // shows the error instead.
    void ShowText(std::string_view text);

    // ---- fields, in their fixed order
    std::uint8_t State = CalcState::Result;
    std::string Number = "0"; // at most kCalcDigits characters, without the sign
    char Sign = ' ';          // ' ' or '-'
    char Operator = '=';      // the pending one: = + - * / % or a carriage return
    long double Operand = 0;  // the pending operator's left operand; not stored

  private:
    void StartNumber();
    void RemoveLastChar();
    void ApplyOperator(char op);
    void AppendChar(char ch);
    void ToggleSign();
};

} // namespace zarvo
