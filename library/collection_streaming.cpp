// The collections on streams: their stored form, item by item. Counts, lengths and sizes
// read from a stream are checked against what the stream still holds before anything is
// allocated for them.
#include <algorithm>
#include <memory>
#include <new>

#include "library/collection.h"
#include "library/collection_files.h"
#include "library/collection_records.h"
#include "library/collection_sorted.h"
#include "library/collection_strings.h"
#include "library/object_stream.h"

namespace zarvo {

namespace {

// A stored size that the rest of the stream cannot hold: the stream is damaged and reads as
// if it ended there.
bool Fits(tStream& s, std::int64_t bytes) {
    if (s.Status != stOk)
        return false;
    std::int64_t position = s.GetPos();
    if (position < 0 || bytes < 0 || s.GetSize() - position < bytes) {
        s.Error(stReadError, 0);
        return false;
    }
    return true;
}

// Raw bytes in pieces of at most 65535 elements; only byte streams carry records.
template <class Byte, class Transfer>
void TransferRaw(tStream& s, Byte* buffer, std::size_t count, Transfer transfer) {
    if (s.Status != stOk)
        return;
    if (s.ElementSize > 1) {
        s.Error(stElementError, 0);
        return;
    }
    while (count > 0 && s.Status == stOk) {
        auto piece = std::uint16_t(std::min<std::size_t>(count, 0xFFFF));
        transfer(buffer, piece);
        buffer += piece;
        count -= piece;
    }
}

void ReadRaw(tStream& s, std::uint8_t* buffer, std::size_t count) {
    TransferRaw(s, buffer, count, [&](std::uint8_t* at, std::uint16_t n) { s.Read(at, n); });
}

void WriteRaw(tStream& s, const std::uint8_t* buffer, std::size_t count) {
    TransferRaw(s, buffer, count, [&](const std::uint8_t* at, std::uint16_t n) { s.Write(at, n); });
}

// A record of SIZE bytes read whole, or null (and the stream in error) when it is not there.
std::uint8_t* ReadRecord(tStream& s, std::size_t size) {
    if (!Fits(s, std::int64_t(size)))
        return nullptr;
    auto* record = new (std::nothrow) std::uint8_t[size];
    if (record == nullptr) {
        s.Seek(s.GetPos() + std::int64_t(size));
        return nullptr;
    }
    ReadRaw(s, record, size);
    return record;
}

} // namespace

void tCollection::Store(tStream& s) {
    s.WriteValue(Count);
    s.WriteValue(Capacity);
    s.WriteValue(GrowBy);
    for (std::int16_t i = 0; i < Count && s.Status == stOk; ++i)
        PutItem(s, Items[i]);
}

// Every stored item takes at least one byte, so a count the stream cannot hold is damage.
void tCollection::Load(tStream& s) {
    auto count = s.ReadValue<std::int16_t>();
    auto capacity = s.ReadValue<std::int16_t>();
    auto growBy = s.ReadValue<std::int16_t>();
    if (s.Status != stOk)
        return;
    if (count < 0 || capacity < count || capacity > kMaxCollectionSize || growBy < 0) {
        s.Error(stReadError, 0);
        return;
    }
    if (!Fits(s, count))
        return;
    FreeAll();
    SetCapacity(capacity);
    GrowBy = growBy;
    for (std::int16_t i = 0; i < count; ++i) {
        void* item = GetItem(s);
        // A partly read item is kept, so that it is freed with the collection.
        if (item != nullptr || s.Status == stOk)
            Items[Count++] = item;
        if (s.Status != stOk)
            break;
    }
}

void* tCollection::GetItem(tStream& s) {
    return Get(s);
}

void tCollection::PutItem(tStream& s, void* item) {
    Put(s, static_cast<tSObject*>(item));
}

void tSortedCollection::Store(tStream& s) {
    tCollection::Store(s);
    s.WriteValue(std::uint8_t(Duplicates));
}

void tSortedCollection::Load(tStream& s) {
    tCollection::Load(s);
    Duplicates = s.ReadValue<std::uint8_t>() != 0;
}

void* tStringCollection::GetItem(tStream& s) {
    std::string text = s.ReadStr();
    return s.Status == stOk ? NewItem(text) : nullptr;
}

void tStringCollection::PutItem(tStream& s, void* item) {
    s.WriteStr(item != nullptr ? std::string_view(*static_cast<std::string*>(item)) : "");
}

// An empty stored string reads back as an empty item, not null: every item is compared.
void* tStrCollection::GetItem(tStream& s) {
    std::unique_ptr<char[]> text = s.StrRead();
    if (s.Status != stOk)
        return nullptr;
    return text != nullptr ? text.release() : NewItem("");
}

void tStrCollection::PutItem(tStream& s, void* item) {
    s.StrWrite(static_cast<const char*>(item));
}

// A zero key offset cannot be told from "not read yet", so it is always written with its
// header word.
void tNRCollection::Store(tStream& s) {
    if (HeaderWord != KeyOffset || KeyOffset == 0) {
        s.WriteValue(HeaderWord);
        s.WriteValue(KeyOffset);
    }
    tSortedCollection::Store(s);
}

void tNRCollection::Load(tStream& s) {
    if (KeyOffset == 0) {
        HeaderWord = s.ReadValue<std::uint16_t>();
        KeyOffset = s.ReadValue<std::uint16_t>();
    }
    tSortedCollection::Load(s);
}

// The header words were read by Load: reading them again for a zero key offset would take
// the first record's bytes for them.
void* tNRCollection::GetItem(tStream& s) {
    if (!Fits(s, std::int64_t(KeyOffset) + 1))
        return nullptr;
    std::int64_t start = s.GetPos();
    s.Seek(start + KeyOffset);
    auto keyLength = s.ReadValue<std::uint8_t>();
    s.Seek(start);
    return ReadRecord(s, std::size_t(KeyOffset) + 1 + keyLength);
}

void tNRCollection::PutItem(tStream& s, void* item) {
    WriteRaw(s, static_cast<const std::uint8_t*>(item), RecordSize(item));
}

void* tRCollection::GetItem(tStream& s) {
    if (RecordSize == 0)
        RecordSize = s.ReadValue<std::uint16_t>();
    return ReadRecord(s, RecordSize);
}

void tRCollection::PutItem(tStream& s, void* item) {
    if (RecordSize != 0 && Count > 0 && Items[0] == item)
        s.WriteValue(RecordSize);
    WriteRaw(s, static_cast<const std::uint8_t*>(item), RecordSize);
}

// Name, mode, size and time: the platform's own record is not stored as it lies in memory.
void* TFileCollection::GetItem(tStream& s) {
    auto record = std::make_unique<tSearchRec>();
    record->Name = s.ReadStr();
    record->Mode = s.ReadValue<std::uint32_t>();
    record->Size = s.ReadValue<std::int64_t>();
    record->Time = s.ReadValue<std::int64_t>();
    return s.Status == stOk ? record.release() : nullptr;
}

void TFileCollection::PutItem(tStream& s, void* item) {
    auto& record = *static_cast<const tSearchRec*>(item);
    s.WriteStr(record.Name);
    s.WriteValue(record.Mode);
    s.WriteValue(record.Size);
    s.WriteValue(record.Time);
}

} // namespace zarvo
