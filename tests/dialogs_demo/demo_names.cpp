// Names as surname stem × first name: men take the stem, women the stem with "а".
#include "tests/dialogs_demo/demo_names.h"

#include <string>
#include <string_view>

#include "platform/cp866.h"

namespace zarvo::demo {

namespace {

// Stems ending in -ов, -ев or -ин take "а" for women. Three begin with "Ива".
constexpr std::string_view kStems[] = {
    "Андреев"_oem, "Белов"_oem,  "Васильев"_oem, "Григорьев"_oem, "Дмитриев"_oem,
    "Егоров"_oem,  "Жуков"_oem,  "Зайцев"_oem,   "Иванов"_oem,    "Ивашкин"_oem,
    "Ивакин"_oem,  "Козлов"_oem, "Лебедев"_oem,  "Морозов"_oem,   "Новиков"_oem,
    "Орлов"_oem,   "Павлов"_oem, "Соколов"_oem,  "Титов"_oem,     "Федоров"_oem,
};
constexpr std::string_view kMen[] = {
    "Алексей"_oem, "Борис"_oem, "Иван"_oem,   "Михаил"_oem,
    "Николай"_oem, "Павел"_oem, "Сергей"_oem, "Юрий"_oem,
};
constexpr std::string_view kWomen[] = {
    "Анна"_oem, "Вера"_oem, "Елена"_oem, "Мария"_oem, "Ольга"_oem, "Татьяна"_oem, "Юлия"_oem,
};
static_assert(std::size(kStems) * (std::size(kMen) + std::size(kWomen)) == kDemoNameCount);

} // namespace

tStringCollection* MakeDemoNames() {
    auto* names = new tStringCollection(kDemoNameCount, 10);
    for (std::string_view stem : kStems) {
        for (std::string_view name : kMen)
            names->InsertText(std::string(stem) + ' ' + std::string(name));
        for (std::string_view name : kWomen)
            names->InsertText(std::string(stem) + std::string("а"_oem) + ' ' + std::string(name));
    }
    return names;
}

} // namespace zarvo::demo
