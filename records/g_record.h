// tGRecord: a composite record that numbers the fields of up to 255 sub-records one after
// another and forwards every field operation to the sub-record that holds the field.
#pragma once

#include <cstdint>
#include <vector>

#include "records/ia_record.h"

namespace zarvo {

inline constexpr int kMaxSubRecords = 255;

class tGRecord : public tIARecord {
  public:
    static constexpr std::uint16_t kStoreID = 1287;

    tGRecord() = default;
    // Frees the sub-records.
    ~tGRecord() override;

    std::uint16_t StoreID() const override { return kStoreID; }
    // Every sub-record must be valid too.
    bool Valid(std::uint16_t command) override;
    // The object state, the number of sub-records, the field count, the switch, then each
    // sub-record as an object record.
    void Store(tStream& s) override;
    void Load(tStream& s) override;

    // Takes RECORD over and appends its fields to the numbering. A record that fails the
    // validity check, the 256th, or one that would take the field count past 32767 is
    // freed and refused.
    bool AddRecord(tIARecord* record);
    int RecordCount() const { return int(m_Records.size()); }
    tIARecord* RecordAt(int index) const { return m_Records.at(std::size_t(index)); }
    // The last sub-record none of whose fields has the flag ffNotMain; null when none.
    tIARecord* MainRecord();

    std::uint8_t FieldFormat(int n) override { return Sub(n)->FieldFormat(Local(n)); }
    int FieldWidth(int n) override { return Sub(n)->FieldWidth(Local(n)); }
    int FieldSize(int n) override { return Sub(n)->FieldSize(Local(n)); }
    std::uint8_t FieldType(int n) override { return Sub(n)->FieldType(Local(n)); }
    std::uint16_t FieldCodeParams(int n) override { return Sub(n)->FieldCodeParams(Local(n)); }
    void GetField(int n, void* buffer) override { Sub(n)->GetField(Local(n), buffer); }
    void SetField(int n, const void* buffer) override { Sub(n)->SetField(Local(n), buffer); }
    int FieldCount() override { return int(m_Map.size()); }
    void* FieldAddress(int n) override { return Sub(n)->FieldAddress(Local(n)); }
    // Every sub-record has its data.
    bool HasData() override;
    std::string Description() override;
    std::string Name() override;
    tObjectPtr<tIARecord> Clone() override;
    std::uint32_t FieldFlags(int n) override { return Sub(n)->FieldFlags(Local(n)); }
    void SetFieldFlags(int n, std::uint32_t flags) override {
        Sub(n)->SetFieldFlags(Local(n), flags);
    }
    void SetFieldFormat(int n, std::uint8_t format) override {
        Sub(n)->SetFieldFormat(Local(n), format);
    }
    void SetFieldWidth(int n, int width) override { Sub(n)->SetFieldWidth(Local(n), width); }
    int FieldTextLength(int n) override { return Sub(n)->FieldTextLength(Local(n)); }
    void GetMin(int n, void* buffer) override { Sub(n)->GetMin(Local(n), buffer); }
    void GetMax(int n, void* buffer) override { Sub(n)->GetMax(Local(n), buffer); }
    int FieldDecimals(int n) override { return Sub(n)->FieldDecimals(Local(n)); }
    std::string FieldPicture(int n) override { return Sub(n)->FieldPicture(Local(n)); }
    std::string FieldName(int n) override { return Sub(n)->FieldName(Local(n)); }
    std::string FieldCaption(int n) override { return Sub(n)->FieldCaption(Local(n)); }
    std::string FieldAltName(int n) override { return Sub(n)->FieldAltName(Local(n)); }
    std::string FieldAltCaption(int n) override { return Sub(n)->FieldAltCaption(Local(n)); }

  private:
    struct tFieldPlace {
        std::uint8_t Record = 0; // index of the sub-record
        std::int16_t Field = 0;  // number inside it
    };
    tIARecord* Sub(int n) { return m_Records[m_Map.at(std::size_t(n - 1)).Record]; }
    int Local(int n) { return m_Map.at(std::size_t(n - 1)).Field; }
    void FreeRecords();
    // Takes RECORD over without the validity check: refused (and freed) past the limits.
    bool Append(tIARecord* record);

    std::vector<tIARecord*> m_Records;
    std::vector<tFieldPlace> m_Map;
};

} // namespace zarvo
