// The class registry: filled during start-up, read by every Put and Get afterwards. It is
// small (a few dozen classes), so lookups are linear scans.
#include "library/stream_class.h"

#include <memory>
#include <string>
#include <vector>

#include "diagnostics/pending_error.h"
#include "library/strings.h"
#include "platform/cp866.h"
#include "platform/format_text.h"

namespace zarvo {

namespace {

// Stream id of an entry registered by name.
constexpr std::int16_t kNamedEntryId = -1;

struct tRegistryEntry {
    std::int16_t Id = 0;
    const tStreamClass* Class = nullptr;
    std::string Name; // empty for classes registered under their StoreID
};

std::vector<tRegistryEntry>& Registry() {
    static std::vector<tRegistryEntry> registry;
    return registry;
}

[[noreturn]] void RaiseRegistrationError(std::string_view format,
                                         std::initializer_list<tFormatArg> args) {
    throw ESException(0, FormatText(format, args));
}

// The StoreID a class answers, asked of a throwaway object: a descendant that forgot to
// override it answers its ancestor's.
std::uint16_t StoreIdOf(const tStreamClass& streamClass) {
    tObjectPtr<tSObject> sample(streamClass.Create());
    return sample->StoreID();
}

const tRegistryEntry* FindConflict(const tStreamClass& streamClass, std::int16_t id) {
    for (const auto& entry : Registry()) {
        if (id != 0 ? entry.Id == id
                    : CompareText(entry.Name, streamClass.Name) == 0 ||
                          CompareText(entry.Class->Name, streamClass.Name) == 0)
            return &entry;
    }
    return nullptr;
}

void RaiseConflict(const tRegistryEntry& found, const tStreamClass& streamClass) {
    if (*found.Class->Type == *streamClass.Type)
        RaiseRegistrationError("Повторная регистрация класса %s"_oem, {streamClass.Name});
    tObjectPtr<tSObject> sample(streamClass.Create());
    if (found.Class->IsInstance(sample.get()))
        RaiseRegistrationError("Метод класса %s.StoreID не переписан"_oem, {streamClass.Name});
    RaiseRegistrationError("Классы %s и %s имеют одинаковый StoreID"_oem,
                           {found.Class->Name, streamClass.Name});
}

} // namespace

void RegisterStreamClass(const tStreamClass& streamClass) {
    auto id = std::int16_t(StoreIdOf(streamClass));
    if (const tRegistryEntry* found = FindConflict(streamClass, id))
        RaiseConflict(*found, streamClass);
    Registry().push_back({id, &streamClass, {}});
}

void RegisterStreamClasses(std::initializer_list<const tStreamClass*> classes) {
    for (const tStreamClass* streamClass : classes)
        RegisterStreamClass(*streamClass);
}

void RegisterStreamClassByName(std::string_view name, const tStreamClass& streamClass) {
    for (const auto& entry : Registry())
        if (CompareText(entry.Name, name) == 0)
            RaiseRegistrationError("Повторная регистрация класса %s"_oem, {name});
    Registry().push_back({kNamedEntryId, &streamClass, NewStr(name)});
}

const tStreamClass* FindStreamClassByName(std::string_view name) {
    for (const auto& entry : Registry()) {
        std::string_view entryName = entry.Name.empty() ? entry.Class->Name : entry.Name;
        if (CompareText(entryName, name) == 0)
            return entry.Class;
    }
    return nullptr;
}

const tStreamClass* FindStreamClassById(std::int16_t id) {
    for (const auto& entry : Registry())
        if (entry.Id == id && entry.Name.empty())
            return entry.Class;
    return nullptr;
}

const tStreamClass* FindStreamClassOf(const tSObject& object) {
    for (const auto& entry : Registry())
        if (*entry.Class->Type == typeid(object))
            return entry.Class;
    return nullptr;
}

} // namespace zarvo
