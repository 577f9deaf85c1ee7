// The input history: one process-wide list of (id, text) entries, most recently used last,
// that input lines record their texts into and history windows show. It lives in memory
// only, from InitHistory to DoneHistory; outside that span every operation does nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "library/collection.h"

namespace zarvo {

// One recorded text of one history id.
class tHistoryObject : public tSObject {
  public:
    tHistoryObject() = default;
    tHistoryObject(std::uint8_t id, std::string_view text);

    std::uint16_t StoreID() const override; // 10011
    void Store(tStream& s) override;
    void Load(tStream& s) override;

    std::uint8_t HistoryId = 0;
    std::string Text; // at most 255 CP866 bytes; never empty once recorded
};

// The entries in the order of their last use, or null outside InitHistory .. DoneHistory.
extern tCollection* HistoryList;
// The most entries the store keeps; recording one more drops the least recently used entry
// (the first of the list), whatever its id. The collection's own limit by default.
extern std::int16_t HistoryLimit;

void InitHistory();
void DoneHistory();
void ClearHistory();
// Records S (cut to 255 bytes) as the most recent text of ID; an empty S changes nothing.
void HistoryAdd(std::uint8_t id, std::string_view s);
// Removes the most recent entry of ID holding exactly S.
void HistoryDelete(std::uint8_t id, std::string_view s);
std::int16_t HistoryCount(std::uint8_t id);
// The INDEX-th text of ID counting from the most recent (0); empty past the last.
std::string HistoryStr(std::uint8_t id, int index);

} // namespace zarvo
