// The numeric typed inputs: TInputCountType with its limits (stored values of the bound
// value's size) and range message, the integer inputs of every size, and the floating inputs
// shown in fixed notation with their decimals.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/cp866.h"
#include "record_inputs/abstract_input.h"

namespace zarvo {

class tGroup;

// Shown when the calculator or the calendar cannot be loaded.
inline constexpr std::string_view kNoConnectionMessage = "Нет возможности подключения "_oem;
inline constexpr std::uint16_t kNoticeFlags = 0x0400;

class TInputCountType : public TAbstractInput {
  public:
    // VALUETYPE is the field type code of the bound value (it fixes the value's size); the
    // line holds LENGTH characters.
    TInputCountType(const tRect& bounds, std::int16_t length, std::uint8_t valueType);
    TInputCountType(tStreamLoad, std::uint8_t valueType);

    // ---- overrides
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    void HandleEvent(TEventRec& event) override;
    bool PostValidate() override;
    void ValueToText(std::string& out) override;
    // Integers: an empty text is 0; otherwise a whole decimal integer within the limits.
    bool TextToValue(void* place) override;
    void ShowInputError() override;

    // ---- added virtual operations, in their fixed order
    virtual void FormatValue(const void* value, std::string& out);
    // Ctrl+K: the calculator, started with the field's number.
    virtual void OpenCalculator();
    // The minimum (WHICH 0) or the maximum (1) as FormatValue shows it.
    virtual void LimitText(int which, std::string& out);

    // The limits as numbers (integer-like types).
    std::int64_t MinimumValue() const;
    std::int64_t MaximumValue() const;

    // ---- fields
    std::uint8_t ValueType = 0;
    std::array<std::uint8_t, 10> Minimum{};
    std::array<std::uint8_t, 10> Maximum{};

  protected:
    std::uint16_t ValueSize() override;
    // MINIMUM and MAXIMUM, or the type's range when MINIMUM is not below MAXIMUM.
    void SetIntegerLimits(std::int64_t minimum, std::int64_t maximum);
    // The outermost group this input is in (the calculator and calendar run there), or null.
    tGroup* RootGroup() const;
    // The bound value's bytes, zeros without a bound place.
    std::array<std::uint8_t, 10> BoundBytes() const;
};

// The integer inputs. Limits not in order (minimum not below maximum) give the type's range.
class TInputByte : public TInputCountType {
  public:
    TInputByte(const tRect& bounds, std::int16_t length, std::uint8_t minimum = 0,
               std::uint8_t maximum = 0);
    explicit TInputByte(tStreamLoad);
    std::uint16_t StoreID() const override; // 212
};

class TInputShortInt : public TInputCountType {
  public:
    TInputShortInt(const tRect& bounds, std::int16_t length, std::int8_t minimum = 0,
                   std::int8_t maximum = 0);
    explicit TInputShortInt(tStreamLoad);
    std::uint16_t StoreID() const override; // 235
};

// Its range without limits leaves out -32768.
class TInputInteger : public TInputCountType {
  public:
    TInputInteger(const tRect& bounds, std::int16_t length, std::int16_t minimum = 0,
                  std::int16_t maximum = 0);
    explicit TInputInteger(tStreamLoad);
    std::uint16_t StoreID() const override; // 224
};

class TInputWord : public TInputCountType {
  public:
    TInputWord(const tRect& bounds, std::int16_t length, std::uint16_t minimum = 0,
               std::uint16_t maximum = 0);
    explicit TInputWord(tStreamLoad);
    std::uint16_t StoreID() const override; // 211
};

class TInputLongInt : public TInputCountType {
  public:
    TInputLongInt(const tRect& bounds, std::int16_t length, std::int32_t minimum = 0,
                  std::int32_t maximum = 0);
    explicit TInputLongInt(tStreamLoad);
    std::uint16_t StoreID() const override; // 236
};

class TInputComp : public TInputCountType {
  public:
    TInputComp(const tRect& bounds, std::int16_t length, std::int64_t minimum = 0,
               std::int64_t maximum = 0);
    explicit TInputComp(tStreamLoad);
    std::uint16_t StoreID() const override; // 241
};

// The floating inputs: fixed notation with DECIMALS digits after the point. Without limits
// in order they take what the type can hold, and a value it cannot hold is refused with
// the plain message instead of a range.
class tInputRealTypes : public TInputCountType {
  public:
    tInputRealTypes(const tRect& bounds, std::int16_t length, std::uint8_t valueType,
                    std::uint8_t decimals, long double minimum, long double maximum);
    tInputRealTypes(tStreamLoad, std::uint8_t valueType);

    void Store(tStream& s) override;
    void Load(tStream& s) override;
    bool TextToValue(void* place) override;
    void ShowInputError() override;
    void FormatValue(const void* value, std::string& out) override;

    bool HasLimits() const;

    std::uint8_t Decimals = 0;
};

class TInputSingle : public tInputRealTypes {
  public:
    TInputSingle(const tRect& bounds, std::int16_t length, std::uint8_t decimals,
                 long double minimum = 0, long double maximum = 0);
    explicit TInputSingle(tStreamLoad);
    std::uint16_t StoreID() const override; // 240
};

class TInputDouble : public tInputRealTypes {
  public:
    TInputDouble(const tRect& bounds, std::int16_t length, std::uint8_t decimals,
                 long double minimum = 0, long double maximum = 0);
    explicit TInputDouble(tStreamLoad);
    std::uint16_t StoreID() const override; // 238
};

class TInputExtended : public tInputRealTypes {
  public:
    TInputExtended(const tRect& bounds, std::int16_t length, std::uint8_t decimals,
                   long double minimum = 0, long double maximum = 0);
    explicit TInputExtended(tStreamLoad);
    std::uint16_t StoreID() const override; // 239
};

// The 6-byte real.
class TInputReal : public tInputRealTypes {
  public:
    TInputReal(const tRect& bounds, std::int16_t length, std::uint8_t decimals,
               long double minimum = 0, long double maximum = 0);
    explicit TInputReal(tStreamLoad);
    std::uint16_t StoreID() const override; // 237
};

} // namespace zarvo
