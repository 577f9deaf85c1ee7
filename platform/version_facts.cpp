// The version strings; the build date is taken once here so that every part of the
// program sees the same one.
#include "platform/version_facts.h"

#include "platform/cp866.h"

namespace zarvo {

namespace {

constexpr std::array<char, 10> kBuildDate = CompilerDateToBuildDate(__DATE__);

} // namespace

std::array<tVersionString, 6> VersionStrings() {
    return {{
        {"InternalName", kVersionInternalName},
        {"FileDescription", "Тестирование локальной сети"_oem},
        {"FileVersion", "1.0.0.1"},
        {"ProductName", kVersionInternalName},
        {"Дата сборки"_oem, std::string_view(kBuildDate.data(), kBuildDate.size())},
        {"Имя проекта"_oem, kVersionInternalName},
    }};
}

} // namespace zarvo
