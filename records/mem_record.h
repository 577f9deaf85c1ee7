// tMemRecord: a tRecord that owns its data buffer, the form the program's own dialogs use:
// built field by field, then AllocData, then read and written by field number.
#pragma once

#include <cstdint>
#include <memory>

#include "records/record.h"

namespace zarvo {

class tMemRecord : public tRecord {
  public:
    static constexpr std::uint16_t kStoreID = 1242;

    using tRecord::tRecord;

    std::uint16_t StoreID() const override { return kStoreID; }
    // After the record's own form, the data buffer: DataSize bytes.
    void Store(tStream& s) override;
    void Load(tStream& s) override;

    // A zeroed buffer of DataSize bytes (none when 0) with as much of the old contents as
    // fits. False, and the old buffer kept, when it cannot be allocated.
    bool AllocData();
    std::uint16_t AllocatedSize() const { return m_AllocatedSize; }

  protected:
    // Only what was allocated may be touched, whatever fields came after AllocData.
    int DataBytes() override;

  private:
    std::unique_ptr<std::uint8_t[]> m_Buffer;
    std::uint16_t m_AllocatedSize = 0;
};

} // namespace zarvo
