// MakeFieldInput and MakeFieldCompanion: which control each field type gets and how the
// field's description (limits, picture, format) shapes it.
#include "records/field_controls.h"

namespace zarvo {

tDirectoryCompanionMaker DirectoryCompanionMaker = nullptr;

tObjectPtr<tView> MakeFieldInput(const tRect&, tIARecord&, int) {
    return nullptr;
}

tObjectPtr<tView> MakeFieldCompanion(const tRect&, tIARecord&, int, tView*) {
    return nullptr;
}

void MarkFieldRequired(tView*) {}

tView* CompanionDisplayView(tView*) {
    return nullptr;
}

} // namespace zarvo
