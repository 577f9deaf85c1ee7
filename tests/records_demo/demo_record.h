// The records demo's record: one field of every type that has an input in generated dialogs,
// the number and the date first, with a few limits, decimals and a code's groups.
#pragma once

#include <cstdint>

#include "records/mem_record.h"

namespace zarvo::demo {

// Every field of the demo record is in this mask.
inline constexpr std::uint32_t kDemoFieldMask = 1;

// The record with its buffer, or null when it cannot be made.
tObjectPtr<tMemRecord> MakeDemoRecord();

} // namespace zarvo::demo
