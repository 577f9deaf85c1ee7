// Text to field values: what an operator's text means for each field type, checked against
// the type and the field's limits. A refused text names its fault in the type's message.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "records/ia_record.h"

namespace zarvo {

// Converts TEXT into field N's stored form (FieldSize bytes at VALUE). False, with the
// message for the operator in MESSAGE and VALUE unchanged, when the text does not convert
// or lies outside the field's limits (the type's range when the field has none).
bool FieldFromText(tIARecord& record, int n, std::string_view text, std::uint8_t* value,
                   std::string& message);
// FieldFromText into the field itself. A refused text leaves the field as it was and posts
// its message as the pending error.
bool SetFieldText(tIARecord& record, int n, std::string_view text);

// A whole decimal integer: an optional sign, digits, blanks around them. False, NUMBER
// untouched, for anything else or a number past 64 bits.
bool IntegerFromText(std::string_view text, std::int64_t& number);
// Fixed notation: an optional sign, digits with an optional point, blanks around them; no
// exponents, no names of infinities. Magnitudes past the long double become infinities.
// False, NUMBER untouched, for anything else.
bool RealFromText(std::string_view text, long double& number);

// The messages (CP866).
std::string InvalidFieldMessage();
std::string NumberRangeMessage(std::string_view minimum, std::string_view maximum);
std::string InvalidCodeMessage(std::string_view text);

} // namespace zarvo
