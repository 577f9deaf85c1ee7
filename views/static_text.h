// tStaticText, a text drawn wrapped at spaces with lines broken at carriage returns and
// centred after character 3; and tParamText, whose text is a format filled from the caller's
// record of parameters each time it is drawn.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "library/text_wrap.h"
#include "views/view.h"

namespace zarvo {

// The word wrapper static texts and labels draw with (the library's).
inline bool NextWrappedLine(std::string_view text, tWrapState& state) {
    return WrapNextLine(text, state);
}

class tStaticText : public tView {
  public:
    tStaticText(const tRect& bounds, std::string_view text);
    explicit tStaticText(tStreamLoad);

    std::uint16_t StoreID() const override; // 17
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    void Draw() override;
    tPalette GetPalette() const override;

    // What is drawn: Text here, the filled-in format for parameter texts.
    virtual std::string CurrentText();

    std::string Text; // any length
};

// One parameter of a parameter text: an integer, a character in its low byte, or the address
// of a short string (pointer-sized, so that an address fits).
using tTextParam = std::intptr_t;

class tParamText : public tStaticText {
  public:
    tParamText(const tRect& bounds, std::string_view text, std::int16_t paramCount);
    explicit tParamText(tStreamLoad);

    std::uint16_t StoreID() const override; // 20
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    std::uint16_t DataLength() override;
    // Keeps the address of RECORD (ParamCount parameters); the record must outlive the drawing.
    void ImportData(const void* record) override;
    std::string CurrentText() override;

    std::int16_t ParamCount = 0;
    const tTextParam* ParamList = nullptr; // the caller's; null: no parameters yet
};

// One argument as a directive takes it: a number, or a text for "s".
struct tFormatValue {
    std::int32_t Number = 0;
    std::string_view Text;
    bool IsText = false;
};
// Gives the argument INDEX for a directive of CONVERSION (upper-cased D, X, S or C); false when
// there is none.
using tFormatSource = std::function<bool(int index, char conversion, tFormatValue& value)>;

// Fills FORMAT: "%%" is a percent sign, other directives take the next argument (d, x, s, c
// with an optional "-", width and precision). A directive without an argument left, or that
// is not one of these, is shown as written. A number given to "s" shows as digits, a text
// given to "d", "x" or "c" as 0.
std::string FormatDirectives(std::string_view format, const tFormatSource& source);

// FormatDirectives over the caller's record of COUNT parameters: an "s" directive takes its
// parameter as the address of a short string.
std::string FormatParams(std::string_view format, const tTextParam* params, int count);

} // namespace zarvo
