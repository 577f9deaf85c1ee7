// The operations every record has through its field interface alone.
#include "records/ia_record.h"

#include <cstring>
#include <vector>

#include "library/strings.h"
#include "records/field_types.h"

namespace zarvo {

void tIARecord0::Store(tStream& s) {
    tSubject::Store(s);
    s.WriteValue(DisplayFormat);
}

void tIARecord0::Load(tStream& s) {
    tSubject::Load(s);
    auto format = s.ReadValue<std::uint8_t>();
    if (s.Status == stOk)
        DisplayFormat = format;
}

// A code's text is its groups of digits joined by dots.
int tIARecord0::FieldWidth(int n) {
    std::uint8_t type = FieldType(n);
    if (type == ftMemo)
        return 0;
    if (type == ftCode) {
        std::uint16_t params = FieldCodeParams(n);
        int groups = params & 0xFF;
        int digits = params >> 8;
        return groups == 0 ? 0 : groups * digits + groups - 1;
    }
    return DefaultFieldWidth(type);
}

int tIARecord0::FieldSize(int n) {
    return DefaultFieldSize(FieldType(n));
}

namespace {

bool HasStorage(std::uint32_t flags) {
    return (flags & ffNoStorage) == 0;
}

bool InAll(std::uint32_t flags) {
    return (flags & ffNotInAll) == 0 && HasStorage(flags);
}

} // namespace

int tIARecord::DataSize() {
    int size = 0;
    for (int n = 1; n <= FieldCount(); ++n)
        if (HasStorage(FieldFlags(n)))
            size += FieldSize(n);
    return size;
}

// Fields without storage are left out as DataSize leaves them out, so the packed bytes
// never outgrow a buffer of DataSize bytes.
void tIARecord::GetAll(void* buffer) {
    auto* at = static_cast<std::uint8_t*>(buffer);
    for (int n = 1; n <= FieldCount(); ++n)
        if (InAll(FieldFlags(n))) {
            GetField(n, at);
            at += FieldSize(n);
        }
}

void tIARecord::SetAll(const void* buffer) {
    const auto* at = static_cast<const std::uint8_t*>(buffer);
    for (int n = 1; n <= FieldCount(); ++n)
        if (InAll(FieldFlags(n))) {
            SetField(n, at);
            at += FieldSize(n);
        }
}

int tIARecord::FindField(std::string_view name) {
    for (int n = 1; n <= FieldCount(); ++n)
        if (CompareText(DisplayName(n), name) == 0)
            return n;
    for (int n = 1; n <= FieldCount(); ++n)
        if (CompareText(FieldName(n), name) == 0)
            return n;
    return -1;
}

int tIARecord::FieldTextLength(int n) {
    std::uint8_t type = FieldType(n);
    int size = FieldSize(n);
    switch (type) {
    case ftString: {
        std::vector<char> value(std::size_t(size) + 1, '\0');
        GetField(n, value.data());
        return int(std::strlen(value.data()));
    }
    case ftMemo:
        return 0;
    case ftPString: {
        std::vector<std::uint8_t> value(std::size_t(size) + 1, 0);
        GetField(n, value.data());
        return std::min<int>(value[0], size - 1);
    }
    case ftCode:
        return FieldWidth(n);
    case ftHex:
        return std::min(2 * (size - 1), 127);
    default:
        return DefaultFieldWidth(type);
    }
}

std::string tIARecord::DisplayName(int n) {
    std::string name = FieldAltName(n);
    return name.empty() ? FieldName(n) : name;
}

std::string tIARecord::DisplayCaption(int n) {
    std::string caption = FieldAltCaption(n);
    return caption.empty() ? FieldCaption(n) : caption;
}

int tIARecord::LimitKind(int n) {
    return FieldLimitKind(FieldType(n));
}

} // namespace zarvo
