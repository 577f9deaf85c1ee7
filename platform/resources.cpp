// The resource table. It is made on first use, so registrations from static initialisers
// in any order find it ready.
#include "platform/resources.h"

#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace zarvo {

namespace {

struct tResourceTable {
    std::mutex Lock;
    std::map<std::pair<std::uint16_t, std::string>, std::span<const std::uint8_t>, std::less<>>
        Entries;
};

tResourceTable& Table() {
    static tResourceTable table;
    return table;
}

} // namespace

void RegisterResource(std::string_view name, std::uint16_t type,
                      std::span<const std::uint8_t> bytes) {
    auto& table = Table();
    std::lock_guard guard(table.Lock);
    table.Entries[{type, std::string(name)}] = bytes;
}

void UnregisterResource(std::string_view name, std::uint16_t type) {
    auto& table = Table();
    std::lock_guard guard(table.Lock);
    table.Entries.erase({type, std::string(name)});
}

std::optional<std::span<const std::uint8_t>> FindResource(std::uint16_t type,
                                                          std::string_view name) {
    auto& table = Table();
    std::lock_guard guard(table.Lock);
    auto found = table.Entries.find(std::make_pair(type, std::string(name)));
    if (found == table.Entries.end())
        return std::nullopt;
    return found->second;
}

} // namespace zarvo
