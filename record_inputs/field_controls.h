// The makers of a generated dialog's controls: the typed input for each field type, and the
// chooser that some fields get beside their input.
#pragma once

#include <cstdint>

#include "library/sobject.h"
#include "records/ia_record.h"
#include "views/view.h"

namespace zarvo {

// The typed input for field N, bound to its bytes. Its text holds as many characters as
// BOUNDS is wide less 2, even where the bounds are cut to end at the row's right limit.
// None for a type without an input (memos among them) or when it cannot be made.
tObjectPtr<tView> MakeFieldInput(const tRect& bounds, tIARecord& record, int n);

// True when field N can have no input: a yes/no field with nowhere to keep its value (no
// storage, no data buffer, or past the buffer) or a code field of no bytes. Its input would
// read and write outside the record.
bool FieldHasNoValuePlace(tIARecord& record, int n);

// The chooser beside field N, or none. Only the directory field of the network test has one,
// made by DirectoryCompanionMaker once the directory chooser exists.
tObjectPtr<tView> MakeFieldCompanion(const tRect& bounds, tIARecord& record, int n, tView* input);

// Makes the chooser for a directory field (the one whose display name is "Имя кат"); null:
// no chooser. Filled in by the layer that has the directory dialog.
using tDirectoryCompanionMaker = tObjectPtr<tView> (*)(const tRect& bounds, tView* input);
extern tDirectoryCompanionMaker DirectoryCompanionMaker;

// Makes CONTROL (an input or a chooser) refuse to be left empty; nothing for other views.
void MarkFieldRequired(tView* control);
// The view a chooser shows its value in when it has no input, or null.
tView* CompanionDisplayView(tView* companion);

} // namespace zarvo
