// tSubject and tMaster, the pair behind data-bound components: a master owns its subjects,
// offers them broadcast messages by kind mask and wakes them after loading.
#pragma once

#include <cstdint>

#include "library/collection.h"
#include "library/sobject.h"

namespace zarvo {

class tMaster;

class tSubject : public tSObject {
  public:
    static constexpr std::uint16_t sfNoBroadcast = 0x0004;

    explicit tSubject(std::uint16_t mask = 0) : Mask(mask) {}
    // Leaves its master.
    ~tSubject() override;

    // Flags word and Mask; object streaming fills these in.
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    virtual void Awaken() {}

    tMaster* Master = nullptr;
    std::uint16_t Flags = 0;
    std::uint16_t Mask = 0;
};

class tMaster : public tSubject {
  public:
    explicit tMaster(std::uint16_t mask = 0) : tSubject(mask) {}
    // Frees its subjects, first to last.
    ~tMaster() override;

    bool Valid(std::uint16_t command) override;
    // Subjects in order; object streaming fills these in.
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    void Awaken() override;
    // Broadcast: each subject that takes broadcasts and shares a bit with the message's
    // target byte, in order, until one clears the identifier.
    void DispatchMessage(tMessage& message) override;

    void AddSubject(tSubject* subject);
    void RemoveSubject(tSubject* subject);
    tSubject* SubjectAt(std::int16_t index) {
        return static_cast<tSubject*>(Subjects.ItemAt(index));
    }

    tCollection Subjects{8, 8};
};

// The nearest master above S whose Mask holds all of Bits; null when none, or when S itself.
tMaster* FindMasterWithMask(tSubject* subject, std::uint16_t bits);
// The master's subjects whose Mask holds all of Bits (not owned by the result).
tObjectPtr<tTempCollection> SelectByMask(tMaster* master, std::uint16_t bits);

} // namespace zarvo
