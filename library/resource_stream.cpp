// tResourceStream over the embedded resource table.
#include "library/resource_stream.h"

#include <cstring>

#include "diagnostics/pending_error.h"
#include "library/strings.h"
#include "platform/cp866.h"

namespace zarvo {

tResourceStream::tResourceStream(std::uint16_t resourceType, std::string_view name) {
    auto bytes = FindResource(resourceType, UpperCase(name));
    if (!bytes) {
        Status = stInitError;
        PostAppErrorFmt(0, "Ресурс \"%s\" не найден."_oem, {name});
        return;
    }
    m_Bytes = *bytes;
    Size = std::int64_t(m_Bytes.size());
}

void tResourceStream::Read(void* buffer, std::uint16_t count) {
    if (Status != stOk)
        return;
    if (Position < 0 || Position + count > std::int64_t(m_Bytes.size())) {
        Error(stReadError, 0);
        return;
    }
    std::memcpy(buffer, m_Bytes.data() + Position, count);
    Position += count;
}

void tResourceStream::Seek(std::int64_t pos) {
    tStream::Seek(pos);
    if (Status == stOk && Position > std::int64_t(m_Bytes.size()))
        Error(stReadError, 0);
}

void tResourceStream::Write(const void*, std::uint16_t) {
    if (Status == stOk)
        Error(stWriteError, 0);
}

void tResourceStream::Truncate() {
    if (Status == stOk)
        Error(stError, 0);
}

} // namespace zarvo
