// The record dialog builder: a record's selected fields become rows of caption, typed input and
// chooser, spread over pages of equal height when they do not fit one, with the closing
// buttons below. The dialog comes back not yet run; the record changes only on an accepted run.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "library/sobject.h"
#include "record_inputs/multi_dialog.h"
#include "records/ia_record.h"

namespace zarvo {

// BuildRecordDialog flags.
namespace RecordDialogFlag {
inline constexpr std::uint16_t Delete = 0x04;   // a delete button (cmdNo); never with mask 1
inline constexpr std::uint16_t ReadOnly = 0x08; // nothing can be selected or accepted
} // namespace RecordDialogFlag

// The most rows one dialog takes, and the tallest page.
inline constexpr int kMaxRecordDialogRows = 150;
inline constexpr int kMaxRecordPageHeight = 17;

// Where the rows end and the choosers begin: inputs never pass kInputRightLimit, and
// nothing passes kRowRightLimit.
inline constexpr int kInputRightLimit = 69;
inline constexpr int kRowRightLimit = 72;

// The control for field N made for BOUNDS, or none (the field is then left out).
using tFieldInputMaker = tObjectPtr<tView> (*)(const tRect& bounds, tIARecord& record, int n);
// The chooser beside field N's INPUT (null when it has none) inside BOUNDS, or none.
using tFieldCompanionMaker = tObjectPtr<tView> (*)(const tRect& bounds, tIARecord& record, int n,
                                                   tView* input);

// The makers every generated dialog uses: MakeFieldInput and MakeFieldCompanion, set once at
// start (tests put plainer ones in).
extern tFieldInputMaker FieldInputFactory;
extern tFieldCompanionMaker FieldCompanionFactory;

// The page height for rows of HEIGHTS (each 1 to kMaxRecordPageHeight): the one whose pages,
// filled in order, leave the least empty room, the larger height on a tie. PAGES receives
// each row's page, counted from 1.
int LayoutPages(const std::vector<int>& heights, std::vector<int>& pages);

// The text columns field N's input shows.
int FieldInputWidth(tIARecord& record, int n);

// The dialog for the fields of RECORD whose flags meet MASK, bound to DATA (attached to the
// record when given). None when an error is pending, a message told the operator there are
// no fields or too many, or the dialog could not be made.
tObjectPtr<tMultiDialog> BuildRecordDialog(void* data, tIARecord& record, std::uint32_t mask,
                                           std::string_view title, std::uint16_t flags);

} // namespace zarvo
