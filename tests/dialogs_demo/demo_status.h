// The dialogs demo's status line: the help contexts its views carry, the hint table that
// turns them into hints, and the item list of every hint, placed among the program's
// status-line resources so the status line's cache finds them as it finds any other.
#pragma once

#include <cstdint>

#include "views/status_line.h"

namespace zarvo::demo {

// Help contexts. Clusters add their selected item to theirs, so each has a range of ten.
inline constexpr std::uint16_t kDesktopTopic = 800;
inline constexpr std::uint16_t kHistoryTopic = 902; // the history button gives its window this
inline constexpr std::uint16_t kButtonTopic = 1000;
inline constexpr std::uint16_t kCheckBoxTopic = 1010;
inline constexpr std::uint16_t kRadioTopic = 1020;
inline constexpr std::uint16_t kInputLineTopic = 1030;
inline constexpr std::uint16_t kListBoxTopic = 1040;

// The hint of open menus (the menu views carry it themselves).
inline constexpr std::string_view kMenuHint = "DLGDEMOMN";

// Adds the "STATUSLINE|" resource of every demo hint. Call once, before the status line
// looks anything up.
void RegisterDemoStatusLists();

// The hint table: one definition per help context range above.
tStatusDefPtr DemoStatusDefinitions();

} // namespace zarvo::demo
