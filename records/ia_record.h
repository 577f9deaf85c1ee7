// The field interface of records: tIARecord0 gives typed fields addressed by number (1 to
// FieldCount) with a display-format switch; tIARecord adds a data buffer and the operations
// built on the interface alone (sizes, packing, names, search), so that dialogs, inputs and
// text formatting work on any record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "library/sobject.h"
#include "library/subject.h"
#include "records/field_types.h"

namespace zarvo {

// Short strings of a record have these limits; longer ones are cut.
inline constexpr std::size_t kFieldNameLength = 10;
inline constexpr std::size_t kFieldCaptionLength = 30;
inline constexpr std::size_t kRecordNameLength = 8;
inline constexpr std::size_t kRecordDescriptionLength = 30;

class tIARecord0 : public tMaster {
  public:
    // Records store only their object state, never a subject list: the switch follows it.
    void Store(tStream& s) override;
    void Load(tStream& s) override;

    virtual void SetDisplayFormat(bool on) { DisplayFormat = on ? 1 : 0; }
    virtual std::uint8_t FieldFormat(int) { return 0; }
    // The type's default width; 0 for a memo; for a code its text's length.
    virtual int FieldWidth(int n);
    // The type's storage size.
    virtual int FieldSize(int n);
    virtual std::uint8_t FieldType(int n) = 0;
    virtual std::uint16_t FieldCodeParams(int n) = 0;
    // Copies the field's FieldSize bytes into BUFFER.
    virtual void GetField(int n, void* buffer) = 0;
    // Copies FieldSize bytes from BUFFER into the field.
    virtual void SetField(int n, const void* buffer) = 0;
    virtual int FieldCount() = 0;

    std::uint8_t DisplayFormat = 0;
};

class tIARecord : public tIARecord0 {
  public:
    virtual void* FieldAddress(int) { return nullptr; }
    // The storage sizes of the fields that have storage.
    virtual int DataSize();
    // Packs the fields whose flags are non-negative and that have storage, in order.
    virtual void GetAll(void* buffer);
    // The caller keeps the buffer, which must hold DataSize bytes.
    virtual void SetDataBuffer(void* buffer) { Data = static_cast<std::uint8_t*>(buffer); }
    virtual void SetAll(const void* buffer);
    virtual bool HasData() { return Data != nullptr; }
    virtual std::string Description() { return {}; }
    virtual std::string Name() = 0;
    // The field whose DisplayName, else whose FieldName, equals NAME regardless of letter
    // case; -1 when none.
    virtual int FindField(std::string_view name);
    // A record of the same fields (descriptions, names, limits) without data; null when it
    // cannot be made.
    virtual tObjectPtr<tIARecord> Clone() = 0;
    virtual std::uint32_t FieldFlags(int) { return ffDefaultMask; }
    virtual void SetFieldFlags(int n, std::uint32_t flags) = 0;
    virtual void SetFieldFormat(int n, std::uint8_t format) = 0;
    virtual void SetFieldWidth(int n, int width) = 0;
    // How many characters the field's text can have.
    virtual int FieldTextLength(int n);
    // FieldSize bytes each (nothing for memos and hexadecimal strings); zeros when the
    // field has no limits.
    virtual void GetMin(int n, void* buffer) = 0;
    virtual void GetMax(int n, void* buffer) = 0;
    virtual int FieldDecimals(int) { return 0; }
    virtual std::string FieldPicture(int) { return {}; }
    virtual std::string FieldName(int) { return {}; }
    virtual std::string FieldCaption(int n) { return FieldName(n); }
    virtual std::string FieldAltName(int) { return {}; }
    virtual std::string FieldAltCaption(int n) { return FieldAltName(n); }

    // The alternative name (caption) when there is one, else the plain one.
    std::string DisplayName(int n);
    std::string DisplayCaption(int n);
    int LimitKind(int n);

  protected:
    // How many bytes of the buffer may be touched: DataSize for a buffer someone else owns.
    virtual int DataBytes() { return DataSize(); }

    std::uint8_t* Data = nullptr;
};

} // namespace zarvo
