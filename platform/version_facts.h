// The program's version facts, fixed when it is built: its internal name, description,
// file version numbers, build date and project name.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zarvo {

inline constexpr std::string_view kVersionInternalName = "Zarvo";
inline constexpr std::array<std::uint16_t, 4> kVersionFileNumbers = {1, 0, 0, 1};

// The compiler's "Mmm dd yyyy" date as "dd/mm/yyyy"; all zeros when it cannot be read.
constexpr std::array<char, 10> CompilerDateToBuildDate(std::string_view date) {
    constexpr std::string_view kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
    std::array<char, 10> out = {'0', '0', '/', '0', '0', '/', '0', '0', '0', '0'};
    if (date.size() != 11)
        return out;
    std::size_t month = kMonths.find(date.substr(0, 3));
    if (month == std::string_view::npos || month % 3 != 0)
        return out;
    month = month / 3 + 1;
    out[0] = date[4] == ' ' ? '0' : date[4];
    out[1] = date[5];
    out[3] = char('0' + month / 10);
    out[4] = char('0' + month % 10);
    for (std::size_t i = 0; i < 4; ++i)
        out[6 + i] = date[7 + i];
    return out;
}

struct tVersionString {
    std::string_view Name;  // CP866
    std::string_view Value; // CP866
};

// The version strings: "InternalName", "FileDescription", "FileVersion", "ProductName",
// "Дата сборки" and "Имя проекта" (names and values CP866).
std::array<tVersionString, 6> VersionStrings();

} // namespace zarvo
