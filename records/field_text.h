// Field values as text: the text of each field type, and the display form that aligns it
// within the field's display width when the record's display-format switch is on.
#pragma once

#include <cstddef>
#include <string>

#include "records/ia_record.h"

namespace zarvo {

// Marks a text cut to the display width (a right-pointing triangle).
inline constexpr char kCutMark = 16;
// Put between groups of three digits by the fmGroupDigits format bit.
inline constexpr char kDigitGroupSeparator = ' ';

// The text of field N, at most MAXLENGTH characters. Numbers are right-aligned in WIDTH
// (0: as short as possible); reals have DECIMALS digits after the point.
std::string FieldToText(tIARecord& record, int n, std::size_t maxLength, int width, int decimals);
// FieldToText with width 0 and the field's own decimals, up to 255 characters.
std::string FieldAsText(tIARecord& record, int n);

} // namespace zarvo
