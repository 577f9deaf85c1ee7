// The records' classes in the stream class registry.
#include "records/record_stream_classes.h"

#include <mutex>

#include "library/stream_class.h"
#include "records/g_record.h"
#include "records/mem_record.h"
#include "records/record.h"

namespace zarvo {

void RegisterRecordStreamClasses() {
    static const tStreamClass kGRecord = StreamClassOf<tGRecord>("tGRecord");
    static const tStreamClass kRecord = StreamClassOf<tRecord>("tRecord");
    static const tStreamClass kMemRecord = StreamClassOf<tMemRecord>("tMemRecord");
    RegisterLibraryStreamClasses();
    static std::once_flag once;
    std::call_once(once, [] { RegisterStreamClasses({&kGRecord, &kRecord, &kMemRecord}); });
}

} // namespace zarvo
