// Opening and loading the framework's resources.
#include "library/resource_object.h"

#include "library/object_stream.h"

namespace zarvo {

tObjectPtr<tResourceStream> OpenResourceStream(std::string_view name) {
    auto stream = MakeObject<tResourceStream>(kFrameworkResourceType, name);
    if (stream->Status != stOk)
        return nullptr;
    return stream;
}

tSObject* LoadResourceObject(std::string_view name) {
    tObjectPtr<tResourceStream> stream = OpenResourceStream(name);
    if (stream == nullptr)
        return nullptr;
    return Get(*stream);
}

} // namespace zarvo
