// The buffer of a tMemRecord and its stored form.
#include "records/mem_record.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "library/stream.h"

namespace zarvo {

int tMemRecord::DataBytes() {
    return Data != nullptr && Data == m_Buffer.get() ? m_AllocatedSize : tRecord::DataBytes();
}

bool tMemRecord::AllocData() {
    int size = DataSize();
    std::unique_ptr<std::uint8_t[]> buffer;
    if (size > 0) {
        buffer.reset(new (std::nothrow) std::uint8_t[std::size_t(size)]());
        if (buffer == nullptr)
            return false;
        if (m_Buffer != nullptr)
            std::memcpy(buffer.get(), m_Buffer.get(), std::min<std::size_t>(size, m_AllocatedSize));
    }
    m_Buffer = std::move(buffer);
    m_AllocatedSize = std::uint16_t(size);
    Data = m_Buffer.get();
    return true;
}

// A buffer smaller than the fields (fields added after AllocData), or none, is written as
// zeros where it has no bytes, so that the stored form always holds DataSize bytes.
void tMemRecord::Store(tStream& s) {
    tRecord::Store(s);
    std::vector<std::uint8_t> bytes(std::size_t(DataSize()), 0);
    tRecord::GetAll(bytes.data());
    for (std::size_t done = 0; done < bytes.size() && s.Status == stOk;) {
        auto piece = std::uint16_t(std::min<std::size_t>(bytes.size() - done, 0xFFFF));
        s.Write(bytes.data() + done, piece);
        done += piece;
    }
}

void tMemRecord::Load(tStream& s) {
    tRecord::Load(s);
    if (s.Status != stOk)
        return;
    int size = DataSize();
    std::int64_t position = s.GetPos();
    if (position < 0 || s.GetSize() - position < size) {
        s.Error(stReadError, 0);
        return;
    }
    if (!AllocData()) {
        s.Seek(position + size);
        return;
    }
    if (size > 0)
        s.Read(m_Buffer.get(), std::uint16_t(size));
}

} // namespace zarvo
