// The framework's resources: object streams of type 55 carried inside the program and
// looked up by name in any letter case.
#pragma once

#include <string_view>

#include "library/resource_stream.h"
#include "library/sobject.h"

namespace zarvo {

// The resource's stream, or null (with "Ресурс "%s" не найден." pending) when it is missing.
tObjectPtr<tResourceStream> OpenResourceStream(std::string_view name);
// The one object the resource holds, or null; an object whose Load failed is answered too,
// so check it with ValidateRef.
tSObject* LoadResourceObject(std::string_view name);

} // namespace zarvo
