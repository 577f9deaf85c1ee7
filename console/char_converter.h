// The conversion of one typed character, in place, before it is queued: by default nothing
// (the hosts already give CP866), or the export "AnsiToOem" of the optional natloc.so.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zarvo {

using tCharConverter = void (*)(char* character);
extern tCharConverter CharConverter;

// Loads natloc.so from directory (CP866) when the file is there and keeps it loaded until
// UnloadCharConverter. A library that will not load, or lacks "AnsiToOem", is reported
// through report (the message-box call with flags 2) and the default stays.
void LoadCharConverter(std::string_view directory,
                       const std::function<void(std::string_view text)>& report);
void UnloadCharConverter();
// The directory of the running executable (CP866), empty when unknown.
std::string ExecutableDirectory();

} // namespace zarvo
