// The one call through which every question and notice is asked. It only forwards: to the
// text-mode box while the application exists, otherwise to the desktop's own box.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "platform/format_text.h"

namespace zarvo {

// Kind in bits 0-3.
inline constexpr std::uint16_t mbWarning = 1;
inline constexpr std::uint16_t mbError = 2;
inline constexpr std::uint16_t mbInformation = 3;
inline constexpr std::uint16_t mbConfirmation = 4;
// Buttons in bits 8-11.
inline constexpr std::uint16_t mbYes = 0x100;
inline constexpr std::uint16_t mbNo = 0x200;
inline constexpr std::uint16_t mbContinue = 0x400;
inline constexpr std::uint16_t mbRefuse = 0x800;

using tMessageBoxHook = std::uint16_t (*)(std::string_view text, std::uint16_t flags,
                                          void* reserved);

// Set by the application to its text-mode box and given back when it ends.
extern tMessageBoxHook MessageBoxHook;

// Returns the command of the button pressed (cmdYes, cmdNo, cmdOk, cmdCancel), or 0.
std::uint16_t MessageBoxCall(std::string_view text, std::uint16_t flags);
// An empty format joins the text arguments with CR LF instead.
std::uint16_t MessageBoxFmt(std::string_view format, std::initializer_list<tFormatArg> args,
                            std::uint16_t flags);

} // namespace zarvo
