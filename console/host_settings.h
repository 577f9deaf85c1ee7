// The console host's settings in the program's settings file (sections "System" and
// "Система"), read with every value range-checked and written back at exit.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zarvo {

// Colours are 0x00BBGGRR: red in the low byte.
inline constexpr std::array<std::uint32_t, 16> kDefaultHostPalette = {
    0x000000, 0xB03030, 0x30B030, 0xB0B030, 0x3030B0, 0xB030B0, 0x6060B0, 0xB0B0B0,
    0x606060, 0xFF3030, 0x30FF30, 0xFFFF30, 0x3030FF, 0xFF30FF, 0x30FFFF, 0xFFFFFF,
};

// The host's 16 colours, indexed by the attribute's nibbles.
extern std::array<std::uint32_t, 16> HostPalette;

enum class tHostPreference { Auto, Window, Terminal };

inline constexpr int kMaxScreenWidth = 132; // the widest line a view may draw
inline constexpr int kMinScreenWidth = 10;
inline constexpr int kMinScreenHeight = 5;
inline constexpr int kMaxScreenHeight = 255; // the cursor record carries the row in 8 bits
inline constexpr int kMinFontSize = 3;       // the fitting rule's range of cell sizes
inline constexpr int kMaxFontSize = 36;
inline constexpr std::size_t kMaxFontNameLength = 31;

struct tHostSettings {
    std::int32_t ScreenWidth = 80;
    std::int32_t ScreenHeight = 25;
    std::int32_t FontWidth = 10;
    std::int32_t FontHeight = 18;
    std::int32_t ScreenLeft = 20;
    std::int32_t ScreenTop = 20;
    std::string FontName = "Terminal"; // CP866
    std::int32_t FontWeight = 400;
    std::array<std::uint32_t, 16> Palette = kDefaultHostPalette;
    // "Система" / "Нить ввода-вывода": the host thread's priority, 1 = above normal.
    std::int32_t InputThreadPriority = 1;
    tHostPreference Host = tHostPreference::Auto;
    // ScreenWidth or ScreenHeight came from the file: the terminal host then keeps this size
    // instead of following the terminal's. A size nobody set is never written back.
    bool ScreenSizeFromFile = false;
};

// The settings file: working directory + program name + ".ini" (CP866).
std::string SettingsFileName();

// Reads the file; a missing file or key gives the default. A value out of range or not a
// number keeps the default, and a CP866 line saying so is added to problems.
tHostSettings LoadHostSettings(std::string_view path, std::vector<std::string>& problems);
// Writes the keys saved at exit (never the colours, the priority or Host, and the screen size
// only when the file had it), keeping every other line of the file. False with a pending error when
// the file cannot be written.
bool SaveHostSettings(std::string_view path, const tHostSettings& settings);
// Writes the problems to stderr (UTF-8).
void ReportSettingsProblems(const std::vector<std::string>& problems);

} // namespace zarvo
