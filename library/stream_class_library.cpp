// The library's own streamable classes, registered at start-up under the stream ids the
// stored formats use: the collections.
#include <mutex>

#include "library/collection.h"
#include "library/collection_files.h"
#include "library/collection_records.h"
#include "library/collection_strings.h"
#include "library/stream_class.h"

namespace zarvo {

void RegisterLibraryStreamClasses() {
    static const tStreamClass kCollection = StreamClassOf<tCollection>("tCollection");
    static const tStreamClass kStringCollection =
        StreamClassOf<tStringCollection>("tStringCollection");
    static const tStreamClass kStrCollection = StreamClassOf<tStrCollection>("tStrCollection");
    static const tStreamClass kFileCollection = StreamClassOf<TFileCollection>("TFileCollection");
    static const tStreamClass kNRCollection = StreamClassOf<tNRCollection>(
        "tNRCollection", []() -> tSObject* { return new tNRCollection(0, 0, 0); });
    static const tStreamClass kRCollection = StreamClassOf<tRCollection>(
        "tRCollection", []() -> tSObject* { return new tRCollection(0, 0, 0); });
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterStreamClasses({&kCollection, &kStringCollection, &kStrCollection, &kFileCollection,
                               &kNRCollection, &kRCollection});
    });
}

} // namespace zarvo
