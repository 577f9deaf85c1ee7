// The string collections' items: allocation, disposal and byte-wise order.
#include "library/collection_strings.h"

#include <cstring>
#include <memory>

#include "library/strings.h"

namespace zarvo {

void tStringCollection::FreeItem(void* item) {
    delete static_cast<std::string*>(item);
}

int tStringCollection::Compare(const void* key1, const void* key2) {
    return static_cast<const std::string*>(key1)->compare(*static_cast<const std::string*>(key2));
}

std::string* tStringCollection::NewItem(std::string_view s) {
    return new std::string(NewStr(s));
}

bool tStringCollection::InsertText(std::string_view s) {
    std::unique_ptr<std::string> item(NewItem(s));
    if (!Insert(item.get()))
        return false;
    item.release();
    return true;
}

bool tStringCollection::SearchText(std::string_view s, std::int16_t& index) {
    std::string key(s);
    return Search(&key, index);
}

void tStrCollection::FreeItem(void* item) {
    delete[] static_cast<char*>(item);
}

int tStrCollection::Compare(const void* key1, const void* key2) {
    return std::strcmp(static_cast<const char*>(key1), static_cast<const char*>(key2));
}

char* tStrCollection::NewItem(std::string_view s) {
    auto* item = new char[s.size() + 1];
    std::memcpy(item, s.data(), s.size());
    item[s.size()] = '\0';
    return item;
}

bool tStrCollection::InsertText(std::string_view s) {
    std::unique_ptr<char[]> item(NewItem(s));
    if (!Insert(item.get()))
        return false;
    item.release();
    return true;
}

} // namespace zarvo
