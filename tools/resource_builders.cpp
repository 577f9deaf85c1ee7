// The program's resources as objects: what each one holds.
#include "tools/resource_builders.h"

#include "library/object_stream.h"
#include "platform/cp866.h"

namespace zarvo {

namespace {

void WriteTestStrings(tStream& s) {
    tObjectPtr<tStringCollection> strings(BuildTestStrings());
    Put(s, strings.get());
}

constexpr tResourceBuilder kBuilders[] = {
    {"ZarvoTestStrings", &WriteTestStrings},
};

} // namespace

std::span<const tResourceBuilder> ProgramResourceBuilders() {
    return kBuilders;
}

tStringCollection* BuildTestStrings() {
    auto* strings = new tStringCollection(4, 4);
    for (std::string_view text : {"Проверка сети"_oem, "Запись"_oem, "Чтение"_oem, "Zarvo"_oem})
        strings->InsertText(text);
    return strings;
}

} // namespace zarvo
