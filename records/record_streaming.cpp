// tRecord on streams: the field count, the object state and switch, the description and
// name, then every field's names, type, flags, format, size, picture, parameters, width and
// limits. Offsets are not stored: they follow from the sizes. Everything read is checked
// against what a record can hold before it is taken.
#include <algorithm>

#include "library/stream.h"
#include "records/record.h"

namespace zarvo {

namespace {

// The fewest bytes a stored field takes: four empty names, type, flags, format, an empty
// picture and the width.
constexpr int kMinStoredField = 4 + 1 + 4 + 1 + 1 + 1;

bool Holds(tStream& s, std::int64_t bytes) {
    std::int64_t position = s.GetPos();
    return position >= 0 && s.GetSize() - position >= bytes;
}

void Damaged(tStream& s) {
    if (s.Status == stOk)
        s.Error(stReadError, 0);
}

// A stored string is cut to what the record keeps of it.
std::string ReadCut(tStream& s, std::size_t limit) {
    std::string text = s.ReadStr();
    if (text.size() > limit)
        text.resize(limit);
    return text;
}

// The declared length from a stored size; -1 when no field of TYPE has that size.
int DeclaredFromSize(int type, int size) {
    if (type == ftCode)
        return size;
    if (type == ftMemo && size == 0)
        return 0;
    if (size < 1 || (type == ftPString && size > 256))
        return -1;
    return size - 1;
}

} // namespace

void tRecord::Store(tStream& s) {
    s.WriteValue(std::int16_t(m_Fields.size()));
    tIARecord0::Store(s);
    s.WriteStr(m_Description);
    s.WriteStr(m_Name);
    for (int n = 1; n <= FieldCount() && s.Status == stOk; ++n) {
        const tFieldDescriptor& field = Field(n);
        int kind = FieldLimitKind(field.Type);
        for (const std::string* text :
             {&field.ShortName, &field.Caption, &field.AltName, &field.AltCaption})
            s.WriteStr(*text);
        s.WriteValue(field.Type);
        s.WriteValue(field.Flags);
        s.WriteValue(field.Format);
        if (HasDeclaredLength(field.Type))
            s.WriteValue(std::uint16_t(FieldSize(n)));
        s.WriteStr(field.Picture);
        if (kind == lkParams)
            s.WriteValue(field.CodeParams);
        s.WriteValue(field.DisplayWidth);
        if (kind == lkMinMax || kind == lkMinMaxDecimals) {
            std::vector<std::uint8_t> limit(std::size_t(FieldSize(n)));
            for (int which = 0; which < 2; ++which) {
                CopyLimit(n, which, limit.data());
                s.Write(limit.data(), std::uint16_t(limit.size()));
            }
        }
        if (kind == lkMinMaxDecimals)
            s.WriteValue(std::uint8_t(FieldDecimals(n)));
    }
}

void tRecord::Load(tStream& s) {
    auto count = s.ReadValue<std::int16_t>();
    tIARecord0::Load(s);
    m_Description = ReadCut(s, kRecordDescriptionLength);
    m_Name = ReadCut(s, kRecordNameLength);
    if (s.Status != stOk)
        return;
    if (count < 0 || !Holds(s, std::int64_t(count) * kMinStoredField)) {
        Damaged(s);
        return;
    }
    m_Fields.clear();
    m_Fields.reserve(std::size_t(count));
    int size = 0;
    for (int n = 0; n < count && s.Status == stOk; ++n) {
        tFieldDescriptor field;
        if (!LoadField(s, field))
            break;
        size += StorageSizeOf(field.Type, field.Length);
        if (size > 0xFFFF) {
            Damaged(s);
            break;
        }
        m_Fields.push_back(std::move(field));
    }
    ComputeOffsets();
}

bool tRecord::LoadField(tStream& s, tFieldDescriptor& field) {
    field.ShortName = ReadCut(s, kFieldNameLength);
    field.Caption = ReadCut(s, kFieldCaptionLength);
    field.AltName = ReadCut(s, kFieldNameLength);
    field.AltCaption = ReadCut(s, kFieldCaptionLength);
    field.Type = s.ReadValue<std::uint8_t>();
    field.Flags = s.ReadValue<std::uint32_t>();
    field.Format = s.ReadValue<std::uint8_t>();
    if (s.Status != stOk)
        return false;
    if (!IsFieldType(field.Type)) {
        Damaged(s);
        return false;
    }
    field.Length = std::uint16_t(DefaultFieldWidth(field.Type));
    if (HasDeclaredLength(field.Type)) {
        int declared = DeclaredFromSize(field.Type, s.ReadValue<std::uint16_t>());
        if (s.Status == stOk && declared < 0)
            Damaged(s);
        field.Length = std::uint16_t(std::max(declared, 0));
    }
    field.Picture = s.ReadStr();
    int kind = FieldLimitKind(field.Type);
    if (kind == lkParams)
        field.CodeParams = s.ReadValue<std::uint16_t>();
    field.DisplayWidth = s.ReadValue<std::uint8_t>();
    if (kind == lkMinMax || kind == lkMinMaxDecimals) {
        // Only fixed-size types have limits: at most two extended reals.
        auto size = std::size_t(DefaultFieldSize(field.Type));
        std::size_t extra = kind == lkMinMaxDecimals ? 1 : 0;
        field.Limits.assign(extra + 2 * size, 0);
        s.Read(field.Limits.data() + extra, std::uint16_t(2 * size));
        if (extra != 0)
            field.Limits[0] = s.ReadValue<std::uint8_t>();
    }
    return s.Status == stOk;
}

} // namespace zarvo
