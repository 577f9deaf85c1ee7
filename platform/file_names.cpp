// The CP866 <-> UTF-8 edge for file and directory names.
#include "platform/file_names.h"

#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/cp866.h"

namespace zarvo {

namespace {

std::mutex gAliasLock;
// CP866 form (with '?'), real UTF-8 name; the latest registration of a form wins.
std::vector<std::pair<std::string, std::string>> gAliases;

bool StartsDirectory(std::string_view path, std::string_view prefix) {
    return path.starts_with(prefix) && (path.size() == prefix.size() || path[prefix.size()] == '/');
}

} // namespace

std::string OsPath(std::string_view cp866) {
    {
        std::lock_guard guard(gAliasLock);
        for (auto it = gAliases.rbegin(); it != gAliases.rend(); ++it)
            if (StartsDirectory(cp866, it->first))
                return it->second + Cp866ToUtf8(cp866.substr(it->first.size()));
    }
    return Cp866ToUtf8(cp866);
}

std::string FromOsPath(std::string_view utf8) {
    return Utf8ToCp866(utf8, '?');
}

bool OsNameIsRepresentable(std::string_view utf8) {
    return Cp866ToUtf8(Utf8ToCp866(utf8, '?')) == utf8;
}

std::string AliasOsDirectory(std::string_view utf8) {
    std::string shown = FromOsPath(utf8);
    while (shown.size() > 1 && shown.back() == '/')
        shown.pop_back();
    std::string real(utf8);
    while (real.size() > 1 && real.back() == '/')
        real.pop_back();
    if (OsNameIsRepresentable(real))
        return shown;
    std::lock_guard guard(gAliasLock);
    gAliases.emplace_back(shown, real);
    return shown;
}

void ForgetOsDirectoryAliases() {
    std::lock_guard guard(gAliasLock);
    gAliases.clear();
}

std::string PrintableName(std::string_view cp866) {
    std::string shown(cp866);
    for (char& c : shown)
        if (std::uint8_t(c) < 0x20 || std::uint8_t(c) == 0x7F)
            c = '?';
    return shown;
}

} // namespace zarvo
