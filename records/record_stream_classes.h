// Registration of the records' streamable classes under their stream ids.
#pragma once

namespace zarvo {

// tRecord (1240), tMemRecord (1242) and tGRecord (1287); the library's classes too. Safe
// to call more than once.
void RegisterRecordStreamClasses();

} // namespace zarvo
