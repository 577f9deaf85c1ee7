// tTempStream: a unique file opened for reading and writing with no sharing.
#include "library/temp_stream.h"

#include "library/paths.h"
#include "platform/os_error.h"

namespace zarvo {

namespace {

// Read and write access, no sharing.
constexpr std::uint16_t kTempMode = 18;

} // namespace

tTempStream::tTempStream(std::string_view directory, std::uint16_t elementSize)
    : tDosStream(elementSize) {
    std::string name = UniqueTempFile(directory, "zrv");
    if (name.empty()) {
        SetFileName(directory);
        Error(stInitError, LastOsError());
        return;
    }
    m_Made = true;
    Open(name, kTempMode, tFileCaching::Normal);
}

tTempStream::~tTempStream() {
    if (IsOpen()) {
        File().Seek(0);
        File().Truncate();
        File().Close();
    }
    if (m_Made)
        DeleteFile(FileName());
}

} // namespace zarvo
