// The validity functions over framework objects.
#include "library/validity.h"

namespace zarvo {

bool IsValid(tSObject* object) {
    return object != nullptr && object->Valid(0);
}

bool ValidOrFree(tSObject* object) {
    if (IsValid(object))
        return true;
    FreeObject(object);
    return false;
}

} // namespace zarvo
