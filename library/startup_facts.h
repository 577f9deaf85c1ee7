// The facts the program records once at start, before any other thread runs: where it was
// started, when, which version it is and the names derived from that.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zarvo {

struct tStartupFacts {
    std::string WorkingDirectory; // the current directory at start (CP866, as shown)
    // Whether WorkingDirectory names the real directory: a name with characters CP866
    // lacks shows "?" in their place and must never be used to reach a file.
    bool WorkingDirectoryNamesItself = true;
    std::uint16_t StartDate = 0; // day number
    std::int32_t StartTime = 0;  // seconds since midnight
    std::array<std::uint16_t, 4> FileVersion{};
    std::vector<std::pair<std::string, std::string>> VersionStrings; // name, value (CP866)
    std::string ProgramName;      // "InternalName", else the executable's name
    std::string SettingsFileName; // working directory + program name + ".ini"
    std::string ExecutablePath;   // full path of the running executable (CP866)

    // The name of a file in the working directory. When the directory's own name does not
    // survive the trip to CP866, the name is relative: the process never changes its current
    // directory, so the system then resolves it against the directory's real bytes.
    std::string InWorkingDirectory(std::string_view name) const;

    // The version string of that name, empty when absent.
    std::string_view VersionString(std::string_view name) const;
};

// Records the facts; the program's main calls it first. Later calls change nothing.
void InitStartupFacts();

// The recorded facts; recorded on first use when InitStartupFacts has not run yet.
const tStartupFacts& StartupFacts();

} // namespace zarvo
