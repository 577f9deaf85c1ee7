// The four-field record the parameter dialog is generated from: directory, file size,
// working time and period, all selected by the mask 1.
#pragma once

#include "records/mem_record.h"

namespace zarvo {

// None when it cannot be made.
tObjectPtr<tMemRecord> MakeTestParamsRecord();

} // namespace zarvo
