// Raw-record collections: record allocation, disposal and key order.
#include "library/collection_records.h"

#include <algorithm>
#include <cstring>

#include "library/strings.h"

namespace zarvo {

tNRCollection::tNRCollection(std::int16_t initialCapacity, std::int16_t growBy,
                             std::uint16_t keyOffset)
    : tSortedCollection(initialCapacity, growBy), KeyOffset(keyOffset) {}

void tNRCollection::FreeItem(void* item) {
    delete[] static_cast<std::uint8_t*>(item);
}

const void* tNRCollection::KeyOf(void* item) {
    return static_cast<std::uint8_t*>(item) + KeyOffset;
}

std::string_view tNRCollection::KeyText(const void* key) {
    auto* bytes = static_cast<const char*>(key);
    return {bytes + 1, std::size_t(std::uint8_t(bytes[0]))};
}

int tNRCollection::Compare(const void* key1, const void* key2) {
    return CompareText(KeyText(key1), KeyText(key2));
}

std::size_t tNRCollection::RecordSize(const void* item) const {
    return std::size_t(KeyOffset) + 1 + static_cast<const std::uint8_t*>(item)[KeyOffset];
}

std::uint8_t* tNRCollection::NewRecord(std::string_view key) const {
    std::size_t length = std::min(key.size(), std::size_t(255));
    auto* record = new std::uint8_t[std::size_t(KeyOffset) + 1 + length]();
    record[KeyOffset] = std::uint8_t(length);
    std::memcpy(record + KeyOffset + 1, key.data(), length);
    return record;
}

tRCollection::tRCollection(std::int16_t initialCapacity, std::int16_t growBy,
                           std::uint16_t recordSize)
    : tCollection(initialCapacity, growBy), RecordSize(recordSize) {}

void tRCollection::FreeItem(void* item) {
    delete[] static_cast<std::uint8_t*>(item);
}

std::uint8_t* tRCollection::NewRecord() const {
    return new std::uint8_t[RecordSize]();
}

} // namespace zarvo
