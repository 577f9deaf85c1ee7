// tProcessView, a parameter text that shows how far a process has come: the caller's fraction
// (a 6-byte real) becomes a whole percentage and a bar of full and light blocks, both handed to
// its format each time it is drawn.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "views/static_text.h"

namespace zarvo {

inline constexpr int kReal48Bytes = 6;

// The value of a 6-byte real (exponent byte with bias 129, then the 39-bit fraction lowest
// byte first, the sign in the top bit of the last byte).
long double Real48Value(const std::uint8_t* bytes);

class tProcessView : public tParamText {
  public:
    // TEXT formats two parameters: the percentage (an integer) and the bar (a string).
    tProcessView(const tRect& bounds, std::string_view text);
    explicit tProcessView(tStreamLoad);

    std::uint16_t StoreID() const override; // 248
    std::uint16_t DataLength() override;
    // Keeps the address of the caller's fraction (6 bytes); it must outlive the drawing.
    void ImportData(const void* record) override;
    void Draw() override;
    std::string CurrentText() override;

    const std::uint8_t* ValueRef = nullptr; // null: shown as 0
    // The last fraction that moved by at least 0.009, rounded as a 6-byte real holds it.
    long double LastValue = 0;

  private:
    std::int32_t m_Percent = 0;
    std::string m_Bar;
};

} // namespace zarvo
