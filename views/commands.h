// Command numbers the dialogs and message boxes answer with.
#pragma once

#include <cstdint>

namespace zarvo {

inline constexpr std::uint16_t cmdOk = 10;
inline constexpr std::uint16_t cmdCancel = 11;
inline constexpr std::uint16_t cmdYes = 12;
inline constexpr std::uint16_t cmdNo = 13;

} // namespace zarvo
