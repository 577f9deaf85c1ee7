// The framework resources the program carries, each made from the framework's own objects
// by the resource tool at build time.
#pragma once

#include <span>
#include <string_view>

#include "library/collection_strings.h"
#include "library/stream.h"
#include "views/status_line.h"

namespace zarvo {

// One resource: its name (any letter case; it is looked up upper-cased) and what writes its
// bytes: an object record with Put, or another stored format of the framework.
struct tResourceBuilder {
    std::string_view Name;
    void (*Write)(tStream& s);
};

std::span<const tResourceBuilder> ProgramResourceBuilders();

// The string collection behind the resource "ZarvoTestStrings", which tests load back.
tStringCollection* BuildTestStrings();

// The hints that have a status-line list, and the list of each (null for any other hint).
std::span<const std::string_view> StatusLineHints();
tStatusItemPtr BuildStatusLineItems(std::string_view hint);
// The hints of the application's desktop and windows, which have lists too.
std::span<const std::string_view> ApplicationStatusLineHints();

} // namespace zarvo
