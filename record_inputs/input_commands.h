// The commands typed inputs and senses answer to inside record dialogs: the validity queries
// a dialog asks its fields, and the broadcasts that store, reload and resolve their values.
#pragma once

#include <cstdint>

#include "views/commands.h"

namespace zarvo {

// Valid query sent to every control when the dialog is accepted. (cmdValidateField, the
// query before the focus leaves a field, is a view command.)
inline constexpr std::uint16_t cmdValidateAll = 520;
// Broadcast: store the converted value into the bound place.
inline constexpr std::uint16_t cmdStoreFields = 522;
// Broadcast sent by a field before it validates itself (info: the field); a view that
// consumes it (a lookup not yet resolved) makes the validation fail.
inline constexpr std::uint16_t cmdResolveLookup = 0xAB83;
// Broadcast: reload the text from the bound value.
inline constexpr std::uint16_t cmdReloadFields = 0xAB84;
// Valid query: true when the field still shows its bound value.
inline constexpr std::uint16_t cmdQueryUnchanged = 0xAB85;

// Broadcast by a sense after its chooser was accepted (info: the sense).
inline constexpr std::uint16_t cmdSenseChosen = 39901;
// Broadcast by a sense's display line when it is clicked (info: the line).
inline constexpr std::uint16_t cmdSenseClicked = 39902;

} // namespace zarvo
