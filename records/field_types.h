// The field types of records: their codes, storage sizes, default display widths, names,
// limit kinds, and the flag bits of fields and of their display format.
#pragma once

#include <cstdint>
#include <string_view>

namespace zarvo {

// Field type codes.
inline constexpr std::uint8_t ftString = 1;    // zero-terminated, declared length + 1 bytes
inline constexpr std::uint8_t ftBoolean = 2;   // 0 false
inline constexpr std::uint8_t ftChar = 3;      // one character
inline constexpr std::uint8_t ftDate = 4;      // unsigned 16-bit day number
inline constexpr std::uint8_t ftMemo = 5;      // multi-line text, zero-terminated
inline constexpr std::uint8_t ftPString = 6;   // leading length byte
inline constexpr std::uint8_t ftTime = 7;      // signed 32-bit seconds since midnight
inline constexpr std::uint8_t ftHidden = 8;    // 16-bit, always shown as "*****"
inline constexpr std::uint8_t ftShortInt = 9;  // signed 8-bit
inline constexpr std::uint8_t ftByte = 10;     // unsigned 8-bit
inline constexpr std::uint8_t ftInteger = 11;  // signed 16-bit
inline constexpr std::uint8_t ftWord = 12;     // unsigned 16-bit
inline constexpr std::uint8_t ftLongInt = 13;  // signed 32-bit
inline constexpr std::uint8_t ftSingle = 14;   // 32-bit floating point
inline constexpr std::uint8_t ftReal = 15;     // the 6-byte real
inline constexpr std::uint8_t ftComp = 16;     // signed 64-bit integer
inline constexpr std::uint8_t ftDouble = 17;   // 64-bit floating point
inline constexpr std::uint8_t ftExtended = 18; // 80-bit extended
inline constexpr std::uint8_t ftSet = 19;      // 256 bits
inline constexpr std::uint8_t ftPeriod = 20;   // 16-bit count of days
inline constexpr std::uint8_t ftCode = 21;     // one byte per group
inline constexpr std::uint8_t ftHex = 22;      // byte string shown in hexadecimal
inline constexpr std::uint8_t kLastFieldType = ftHex;

// Field flag bits. The low bits are membership masks for generated dialogs.
inline constexpr std::uint32_t ffDefaultMask = 0x00000008;
inline constexpr std::uint32_t ffNoInputLine = 0x00000040;
inline constexpr std::uint32_t ffNoStorage = 0x00000080;
inline constexpr std::uint32_t ffRequired = 0x00000100;
inline constexpr std::uint32_t ffTableLinked = 0x00008000;
inline constexpr std::uint32_t ffNotMain = 0x00080000;
inline constexpr std::uint32_t ffNotInAll = 0x80000000;

// Display format bits; neither left nor right means centred.
inline constexpr std::uint8_t fmLeft = 0x01;
inline constexpr std::uint8_t fmRight = 0x04;
inline constexpr std::uint8_t fmShowZero = 0x08;
inline constexpr std::uint8_t fmZeroFill = 0x10;
inline constexpr std::uint8_t fmGroupDigits = 0x40;

// Limit kinds.
inline constexpr int lkNone = 0;
inline constexpr int lkParams = 1;         // a 16-bit parameter word
inline constexpr int lkMinMax = 2;         // minimum and maximum
inline constexpr int lkMinMaxDecimals = 3; // decimals, minimum and maximum

// Day number of a date without end.
inline constexpr std::uint16_t kDateNoLimit = 0xFF63;

// Shown for the hidden field type.
inline constexpr std::string_view kHiddenText = "*****";

bool IsFieldType(int type);
// Types whose length is declared when the field is added: 1, 5, 6, 21 and 22.
bool HasDeclaredLength(int type);
// The table values by code (0 outside 1 to 22); declared lengths replace them.
int DefaultFieldWidth(int type);
int DefaultFieldSize(int type);
int FieldLimitKind(int type);
// The name the field-description dialog shows (CP866), empty for the unnamed codes.
std::string_view FieldTypeName(int type);

// Storage bytes of a field of TYPE with its declared length (for the other types the
// table value).
int StorageSizeOf(int type, int declaredLength);

} // namespace zarvo
