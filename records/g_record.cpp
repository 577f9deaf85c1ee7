// The composite record: its numbering of the sub-records' fields and its stored form.
#include "records/g_record.h"

#include "library/object_stream.h"
#include "library/stream.h"
#include "library/validity.h"

namespace zarvo {

tGRecord::~tGRecord() {
    FreeRecords();
}

void tGRecord::FreeRecords() {
    std::vector<tIARecord*> records = std::move(m_Records);
    m_Records.clear();
    m_Map.clear();
    for (tIARecord* record : records)
        FreeObject(record);
}

bool tGRecord::Valid(std::uint16_t command) {
    if (!tIARecord::Valid(command))
        return false;
    for (tIARecord* record : m_Records)
        if (!record->Valid(command))
            return false;
    return true;
}

bool tGRecord::AddRecord(tIARecord* record) {
    if (record == nullptr)
        return false;
    if (!IsValid(record)) {
        FreeObject(record);
        return false;
    }
    return Append(record);
}

bool tGRecord::Append(tIARecord* record) {
    int count = record->FieldCount();
    if (RecordCount() >= kMaxSubRecords || count < 0 || FieldCount() + count > 0x7FFF) {
        FreeObject(record);
        return false;
    }
    if (m_Records.size() == m_Records.capacity())
        m_Records.reserve(m_Records.size() + 4);
    auto index = std::uint8_t(m_Records.size());
    m_Records.push_back(record);
    for (int n = 1; n <= count; ++n)
        m_Map.push_back({index, std::int16_t(n)});
    return true;
}

tIARecord* tGRecord::MainRecord() {
    for (auto it = m_Records.rbegin(); it != m_Records.rend(); ++it) {
        bool main = true;
        for (int n = 1; n <= (*it)->FieldCount() && main; ++n)
            main = ((*it)->FieldFlags(n) & ffNotMain) == 0;
        if (main)
            return *it;
    }
    return nullptr;
}

bool tGRecord::HasData() {
    if (m_Records.empty())
        return false;
    for (tIARecord* record : m_Records)
        if (!record->HasData())
            return false;
    return true;
}

std::string tGRecord::Description() {
    tIARecord* main = MainRecord();
    return main == nullptr ? std::string() : main->Description();
}

std::string tGRecord::Name() {
    tIARecord* main = MainRecord();
    return main == nullptr ? std::string() : main->Name();
}

tObjectPtr<tIARecord> tGRecord::Clone() {
    auto copy = MakeObject<tGRecord>();
    copy->DisplayFormat = DisplayFormat;
    for (tIARecord* record : m_Records) {
        tObjectPtr<tIARecord> part = record->Clone();
        if (part == nullptr || !copy->Append(part.release()))
            return nullptr;
    }
    return copy;
}

void tGRecord::Store(tStream& s) {
    tSubject::Store(s);
    s.WriteValue(std::uint8_t(m_Records.size()));
    s.WriteValue(std::int16_t(m_Map.size()));
    s.WriteValue(DisplayFormat);
    for (tIARecord* record : m_Records) {
        if (s.Status != stOk)
            break;
        Put(s, record);
    }
}

// The field count must agree with the sub-records read: the numbering depends on it.
void tGRecord::Load(tStream& s) {
    tSubject::Load(s);
    auto count = s.ReadValue<std::uint8_t>();
    auto fields = s.ReadValue<std::int16_t>();
    auto format = s.ReadValue<std::uint8_t>();
    if (s.Status != stOk)
        return;
    DisplayFormat = format;
    FreeRecords();
    for (int i = 0; i < count && s.Status == stOk; ++i) {
        tSObject* object = Get(s);
        auto* record = dynamic_cast<tIARecord*>(object);
        if (record == nullptr || !Append(record)) {
            if (record == nullptr)
                FreeObject(object);
            if (s.Status == stOk)
                s.Error(stReadError, 0);
        }
    }
    if (s.Status == stOk && fields != FieldCount())
        s.Error(stReadError, 0);
}

} // namespace zarvo
