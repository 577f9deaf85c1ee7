// The per-type tables of record fields.
#include "records/field_types.h"

#include <array>

#include "platform/cp866.h"

namespace zarvo {

namespace {

constexpr std::array<int, 23> kDefaultWidth = {0, 255, 3, 1,  8,  256, 255, 8, 16, 4, 3, 6,
                                               5, 11,  9, 13, 21, 17,  21,  0, 8,  0, 0};
constexpr std::array<int, 23> kDefaultSize = {0, 256, 1, 1, 2, 0, 256, 4,  2, 1, 1, 2,
                                              2, 4,   4, 6, 8, 8, 10,  32, 2, 0, 0};
constexpr std::array<int, 23> kLimitKind = {0, 0, 0, 0, 2, 0, 0, 2, 1, 2, 2, 2,
                                            2, 2, 3, 3, 2, 3, 3, 0, 0, 1, 0};

} // namespace

bool IsFieldType(int type) {
    return type >= ftString && type <= kLastFieldType;
}

bool HasDeclaredLength(int type) {
    return type == ftString || type == ftMemo || type == ftPString || type == ftCode ||
           type == ftHex;
}

int DefaultFieldWidth(int type) {
    return IsFieldType(type) ? kDefaultWidth[std::size_t(type)] : 0;
}

int DefaultFieldSize(int type) {
    return IsFieldType(type) ? kDefaultSize[std::size_t(type)] : 0;
}

int FieldLimitKind(int type) {
    return IsFieldType(type) ? kLimitKind[std::size_t(type)] : lkNone;
}

std::string_view FieldTypeName(int type) {
    switch (type) {
    case ftString:
        return "Строка"_oem;
    case ftBoolean:
        return "Да/Нет"_oem;
    case ftDate:
        return "Дата"_oem;
    case ftTime:
        return "Время"_oem;
    case ftShortInt:
        return "Короткое целое со знаком"_oem;
    case ftByte:
        return "Короткое целое"_oem;
    case ftInteger:
        return "Целое со знаком"_oem;
    case ftWord:
        return "Целое"_oem;
    case ftLongInt:
        return "Длинное целое"_oem;
    case ftSingle:
        return "Короткое вещественое"_oem;
    case ftDouble:
        return "Длинное вещественое"_oem;
    case ftPeriod:
        return "Период"_oem;
    case ftCode:
        return "Код"_oem;
    default:
        return {};
    }
}

// A memo declared without length has no storage at all.
int StorageSizeOf(int type, int declaredLength) {
    switch (type) {
    case ftMemo:
        return declaredLength == 0 ? 0 : declaredLength + 1;
    case ftString:
    case ftPString:
    case ftHex:
        return declaredLength + 1;
    case ftCode:
        return declaredLength;
    default:
        return DefaultFieldSize(type);
    }
}

} // namespace zarvo
