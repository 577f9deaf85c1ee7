// tRecord: a record that holds its own field descriptors (type, size, names, captions,
// picture, limits, flags, format) and reads and writes the fields in a data buffer that
// someone else owns; fields are packed one after another with no alignment.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "records/ia_record.h"

namespace zarvo {

struct tFieldDescriptor {
    std::uint8_t Type = 0;
    std::uint32_t Flags = ffDefaultMask;
    std::uint16_t Offset = 0;
    // The declared length for the types that have one, else the type's default width.
    std::uint16_t Length = 0;
    std::uint8_t Format = 0;
    std::uint16_t CodeParams = 0;
    std::uint8_t DisplayWidth = 0;
    // Empty when unset.
    std::string ShortName;
    std::string Caption;
    std::string AltName;
    std::string AltCaption;
    std::string Picture;
    // Empty when none; minimum then maximum (kind 3: the decimals byte first).
    std::vector<std::uint8_t> Limits;
};

class tRecord : public tIARecord {
  public:
    static constexpr std::uint16_t kStoreID = 1240;

    tRecord() = default;
    tRecord(int initialCapacity, std::string_view name, std::string_view description);

    std::uint16_t StoreID() const override { return kStoreID; }
    // Command 0 also needs every name and string to have been stored.
    bool Valid(std::uint16_t command) override;
    void Store(tStream& s) override;
    void Load(tStream& s) override;

    std::uint8_t FieldFormat(int n) override { return Field(n).Format; }
    int FieldWidth(int n) override { return Field(n).DisplayWidth; }
    int FieldSize(int n) override;
    std::uint8_t FieldType(int n) override { return Field(n).Type; }
    std::uint16_t FieldCodeParams(int n) override { return Field(n).CodeParams; }
    // Zeros for a field without storage or without a buffer; a zero-terminated type gets its
    // terminator at the declared length whatever the buffer held.
    void GetField(int n, void* buffer) override;
    void SetField(int n, const void* buffer) override;
    int FieldCount() override { return int(m_Fields.size()); }
    void* FieldAddress(int n) override;
    // The whole data buffer, DataSize bytes.
    void GetAll(void* buffer) override;
    void SetAll(const void* buffer) override;
    std::string Description() override { return m_Description; }
    std::string Name() override { return m_Name; }
    tObjectPtr<tIARecord> Clone() override;
    std::uint32_t FieldFlags(int n) override { return Field(n).Flags; }
    // A change of the no-storage bit moves the fields after it: set flags before the data.
    void SetFieldFlags(int n, std::uint32_t flags) override;
    void SetFieldFormat(int n, std::uint8_t format) override { Field(n).Format = format; }
    void SetFieldWidth(int n, int width) override { Field(n).DisplayWidth = std::uint8_t(width); }
    void GetMin(int n, void* buffer) override { CopyLimit(n, 0, buffer); }
    void GetMax(int n, void* buffer) override { CopyLimit(n, 1, buffer); }
    int FieldDecimals(int n) override;
    std::string FieldPicture(int n) override { return Field(n).Picture; }
    std::string FieldName(int n) override { return Field(n).ShortName; }
    std::string FieldCaption(int n) override;
    std::string FieldAltName(int n) override { return Field(n).AltName; }
    std::string FieldAltCaption(int n) override;

    // Appends a field: flags 8, format 0, display width LENGTH (low 8 bits). Answers the
    // record's valid flag; a type that does not exist, a length the type cannot take, or a
    // record that would outgrow 65535 bytes adds nothing and makes the record invalid.
    bool AddField(std::uint8_t type, int length, std::string_view shortName,
                  std::string_view caption, std::string_view picture);
    // Stores whichever of the two is not empty.
    void SetAltNames(int n, std::string_view altName, std::string_view altCaption);
    // MINIMUM and MAXIMUM are FieldSize bytes each; false for a type without limits.
    bool SetLimits(int n, const void* minimum, const void* maximum);
    // Only for the types with decimals.
    bool SetDecimals(int n, int decimals);
    // Only for the types with a parameter word (hidden values and codes).
    bool SetCodeParams(int n, std::uint16_t params);
    // Appends a field like field N of SOURCE (limits are not copied).
    bool CopyFieldFrom(tIARecord& source, int n);

    const tFieldDescriptor& Descriptor(int n) const { return m_Fields.at(std::size_t(n - 1)); }

  protected:
    tFieldDescriptor& Field(int n) { return m_Fields.at(std::size_t(n - 1)); }
    // Whether field N's bytes lie in the buffer.
    bool InBuffer(int n);
    void CopyLimit(int n, int which, void* buffer);
    std::vector<std::uint8_t>& LimitsOf(int n);
    // Offsets follow the sizes; fields without storage take no room.
    void ComputeOffsets();
    bool Grow();
    bool LoadField(tStream& s, tFieldDescriptor& field);

    std::string m_Description;
    std::string m_Name;
    std::vector<tFieldDescriptor> m_Fields;
    bool m_Valid = true;
};

} // namespace zarvo
