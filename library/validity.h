// The standard checks after constructing a framework object: a constructor that cannot
// complete leaves an object whose Valid(0) is false, and the caller frees it here.
#pragma once

#include <memory>
#include <type_traits>

#include "library/sobject.h"

namespace zarvo {

// False for a null object, otherwise Valid(0).
bool IsValid(tSObject* object);
// IsValid; when false the object is freed (unless a free hook vetoes it).
bool ValidOrFree(tSObject* object);

// True when the reference is set and usable; otherwise the object is freed and the
// reference cleared. Objects outside the framework only need to exist.
template <class T> bool ValidateRef(T*& object) {
    if (object == nullptr)
        return false;
    if constexpr (std::is_base_of_v<tSObject, T>) {
        if (!ValidOrFree(object)) {
            object = nullptr;
            return false;
        }
    }
    return true;
}

template <class T, class D> bool ValidateRef(std::unique_ptr<T, D>& object) {
    if (object == nullptr)
        return false;
    if constexpr (std::is_base_of_v<tSObject, T>) {
        if (!IsValid(object.get())) {
            FreeObject(object.release());
            return false;
        }
    }
    return true;
}

} // namespace zarvo
