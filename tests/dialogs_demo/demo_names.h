// The names the dialogs demo's sorted list shows: 300 Russian surnames with first names,
// made from two short lists so the list is long enough to scroll and to search.
#pragma once

#include "library/collection_strings.h"

namespace zarvo::demo {

// How many names MakeDemoNames makes.
inline constexpr int kDemoNameCount = 300;

// A new sorted collection of kDemoNameCount distinct names in CP866 ("Иванов Иван",
// "Иванова Анна", ...); the caller owns it.
tStringCollection* MakeDemoNames();

} // namespace zarvo::demo
