// tRecord's descriptors: adding fields, their names, limits and parameters, and the field
// access through the descriptors.
#include "records/record.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "diagnostics/pending_error.h"

namespace zarvo {

namespace {

std::string Cut(std::string_view text, std::size_t limit) {
    return std::string(text.substr(0, limit));
}

// The longest declared length each type can take: the string with a length byte holds at
// most 255 characters, the others are bounded by the 16-bit offsets.
int MaxDeclaredLength(int type) {
    return type == ftPString ? 255 : 65534;
}

} // namespace

tRecord::tRecord(int initialCapacity, std::string_view name, std::string_view description)
    : m_Description(Cut(description, kRecordDescriptionLength)),
      m_Name(Cut(name, kRecordNameLength)) {
    m_Fields.reserve(std::size_t(std::max(initialCapacity, 0)));
}

bool tRecord::Valid(std::uint16_t command) {
    if (!tIARecord::Valid(command))
        return false;
    return command != 0 || m_Valid;
}

int tRecord::FieldSize(int n) {
    const tFieldDescriptor& field = Field(n);
    if (HasDeclaredLength(field.Type))
        return StorageSizeOf(field.Type, field.Length);
    return DefaultFieldSize(field.Type);
}

bool tRecord::InBuffer(int n) {
    const tFieldDescriptor& field = Field(n);
    return Data != nullptr && (field.Flags & ffNoStorage) == 0 &&
           field.Offset + FieldSize(n) <= DataBytes();
}

void tRecord::GetField(int n, void* buffer) {
    int size = FieldSize(n);
    auto* out = static_cast<std::uint8_t*>(buffer);
    if (InBuffer(n))
        std::memcpy(out, Data + Field(n).Offset, std::size_t(size));
    else
        std::memset(out, 0, std::size_t(size));
    std::uint8_t type = Field(n).Type;
    if (size > 0 && (type == ftString || type == ftMemo || type == ftHex))
        out[size - 1] = 0;
}

void tRecord::SetField(int n, const void* buffer) {
    if (InBuffer(n))
        std::memcpy(Data + Field(n).Offset, buffer, std::size_t(FieldSize(n)));
}

void* tRecord::FieldAddress(int n) {
    return InBuffer(n) ? Data + Field(n).Offset : nullptr;
}

void tRecord::GetAll(void* buffer) {
    int size = DataSize();
    int have = Data == nullptr ? 0 : std::min(size, DataBytes());
    if (have > 0)
        std::memcpy(buffer, Data, std::size_t(have));
    std::memset(static_cast<std::uint8_t*>(buffer) + have, 0, std::size_t(size - have));
}

void tRecord::SetAll(const void* buffer) {
    int have = Data == nullptr ? 0 : std::min(DataSize(), DataBytes());
    if (have > 0)
        std::memcpy(Data, buffer, std::size_t(have));
}

tObjectPtr<tIARecord> tRecord::Clone() {
    auto copy = MakeObject<tRecord>(int(m_Fields.size()), m_Name, m_Description);
    copy->m_Fields = m_Fields;
    copy->m_Valid = m_Valid;
    copy->DisplayFormat = DisplayFormat;
    return copy;
}

void tRecord::SetFieldFlags(int n, std::uint32_t flags) {
    bool moved = ((Field(n).Flags ^ flags) & ffNoStorage) != 0;
    Field(n).Flags = flags;
    if (moved)
        ComputeOffsets();
}

int tRecord::FieldDecimals(int n) {
    const tFieldDescriptor& field = Field(n);
    if (FieldLimitKind(field.Type) != lkMinMaxDecimals || field.Limits.empty())
        return 0;
    return field.Limits[0];
}

std::string tRecord::FieldCaption(int n) {
    const tFieldDescriptor& field = Field(n);
    return field.Caption.empty() ? field.ShortName : field.Caption;
}

std::string tRecord::FieldAltCaption(int n) {
    const tFieldDescriptor& field = Field(n);
    return field.AltCaption.empty() ? field.AltName : field.AltCaption;
}

void tRecord::CopyLimit(int n, int which, void* buffer) {
    const tFieldDescriptor& field = Field(n);
    if (field.Type == ftMemo || field.Type == ftHex)
        return;
    auto size = std::size_t(FieldSize(n));
    if (field.Limits.empty()) {
        std::memset(buffer, 0, size);
        return;
    }
    std::size_t start = (FieldLimitKind(field.Type) == lkMinMaxDecimals ? 1 : 0) + which * size;
    std::memcpy(buffer, field.Limits.data() + start, size);
}

// Allocated on first use: minimum and maximum, after the decimals byte for kind 3.
std::vector<std::uint8_t>& tRecord::LimitsOf(int n) {
    tFieldDescriptor& field = Field(n);
    if (field.Limits.empty()) {
        std::size_t extra = FieldLimitKind(field.Type) == lkMinMaxDecimals ? 1 : 0;
        field.Limits.assign(extra + 2 * std::size_t(FieldSize(n)), 0);
    }
    return field.Limits;
}

void tRecord::ComputeOffsets() {
    int offset = 0;
    for (int n = 1; n <= FieldCount(); ++n) {
        Field(n).Offset = std::uint16_t(offset);
        if ((Field(n).Flags & ffNoStorage) == 0)
            offset += FieldSize(n);
    }
}

bool tRecord::Grow() {
    if (m_Fields.size() < m_Fields.capacity())
        return true;
    try {
        m_Fields.reserve(m_Fields.size() + 4);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool tRecord::AddField(std::uint8_t type, int length, std::string_view shortName,
                       std::string_view caption, std::string_view picture) {
    bool declared = HasDeclaredLength(type);
    int stored = declared ? length : DefaultFieldWidth(type);
    bool fits =
        IsFieldType(type) && length >= 0 && (!declared || length <= MaxDeclaredLength(type));
    if (fits && (DataSize() + StorageSizeOf(type, stored) > 0xFFFF || FieldCount() >= 0x7FFF))
        fits = false;
    if (!fits || !Grow()) {
        m_Valid = false;
        return false;
    }
    tFieldDescriptor field;
    field.Type = type;
    field.Length = std::uint16_t(stored);
    field.DisplayWidth = std::uint8_t(length);
    try {
        field.ShortName = Cut(shortName, kFieldNameLength);
        field.Caption = Cut(caption, kFieldCaptionLength);
        field.Picture = Cut(picture, 255);
    } catch (const std::bad_alloc&) {
        m_Valid = false;
    }
    m_Fields.push_back(std::move(field));
    ComputeOffsets();
    return m_Valid;
}

void tRecord::SetAltNames(int n, std::string_view altName, std::string_view altCaption) {
    if (!altName.empty())
        Field(n).AltName = Cut(altName, kFieldNameLength);
    if (!altCaption.empty())
        Field(n).AltCaption = Cut(altCaption, kFieldCaptionLength);
}

bool tRecord::SetLimits(int n, const void* minimum, const void* maximum) {
    int kind = LimitKind(n);
    if (kind != lkMinMax && kind != lkMinMaxDecimals)
        return false;
    auto size = std::size_t(FieldSize(n));
    std::vector<std::uint8_t>& limits = LimitsOf(n);
    std::size_t start = kind == lkMinMaxDecimals ? 1 : 0;
    std::memcpy(limits.data() + start, minimum, size);
    std::memcpy(limits.data() + start + size, maximum, size);
    return true;
}

bool tRecord::SetDecimals(int n, int decimals) {
    if (LimitKind(n) != lkMinMaxDecimals || decimals < 0 || decimals > 255)
        return false;
    LimitsOf(n)[0] = std::uint8_t(decimals);
    return true;
}

bool tRecord::SetCodeParams(int n, std::uint16_t params) {
    if (LimitKind(n) != lkParams)
        return false;
    Field(n).CodeParams = params;
    return true;
}

// The declared length is what the source's size says; the other types take the source's
// display width, as AddField takes it from the length.
bool tRecord::CopyFieldFrom(tIARecord& source, int n) {
    std::uint8_t type = source.FieldType(n);
    int length = source.FieldWidth(n);
    if (type == ftCode)
        length = source.FieldSize(n);
    else if (HasDeclaredLength(type))
        length = std::max(source.FieldSize(n) - 1, 0);
    // Captions fall back on names: only one that differs was set of its own.
    std::string name = source.FieldName(n);
    std::string caption = source.FieldCaption(n);
    std::string altName = source.FieldAltName(n);
    std::string altCaption = source.FieldAltCaption(n);
    if (!AddField(type, length, name, caption == name ? std::string() : caption,
                  source.FieldPicture(n)))
        return false;
    int added = FieldCount();
    SetAltNames(added, altName, altCaption == altName ? std::string() : altCaption);
    tFieldDescriptor& field = Field(added);
    field.DisplayWidth = std::uint8_t(source.FieldWidth(n));
    field.Flags = source.FieldFlags(n);
    field.Format = source.FieldFormat(n);
    if (source.FieldDecimals(n) != 0)
        SetDecimals(added, source.FieldDecimals(n));
    if (LimitKind(added) == lkParams)
        field.CodeParams = source.FieldCodeParams(n);
    ComputeOffsets();
    return m_Valid;
}

} // namespace zarvo
