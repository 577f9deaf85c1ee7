// tSubject and tMaster, the pair behind data-bound components: a master owns its subjects,
// offers them broadcast messages by kind mask and wakes them after loading.
#pragma once

#include <cstdint>

#include "library/collection.h"
#include "library/object_stream.h"
#include "library/sobject.h"

namespace zarvo {

class tMaster;

class tSubject : public tSObject {
  public:
    static constexpr std::uint16_t sfNoBroadcast = 0x0004;

    explicit tSubject(std::uint16_t mask = 0) : Mask(mask) {}
    // Leaves its master.
    ~tSubject() override;

    // The object state: the flags word and Mask, 4 bytes.
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
    // The object state, the count, then each subject as an object record. While they are
    // written or read this master is the current one of the stream: references between its
    // subjects are their positions in Subjects. The outermost master wakes everything when
    // the whole tree is loaded.
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

// A reference to a subject of the stream's current master: 0 for none (or for a subject of
// another master), else 1 + its index. Only Store and Load of subjects use these.
void PutSubjectRef(tStream& s, tSubject* subject);
// Place is null at once and receives the subject when the current master's load ends whole.
// Place must live inside one of that master's subjects.
template <class T> void GetSubjectRef(tStream& s, T*& place);
void GetSubjectRefPlace(tStream& s, void* place, tRefAssign assign);

template <class T> void GetSubjectRef(tStream& s, T*& place) {
    GetSubjectRefPlace(s, &place, [](void* where, tSObject* object) {
        *static_cast<T**>(where) = dynamic_cast<T*>(object);
    });
}

// The nearest master above S whose Mask holds all of Bits; null when none, or when S itself.
tMaster* FindMasterWithMask(tSubject* subject, std::uint16_t bits);
// The master's subjects whose Mask holds all of Bits (not owned by the result).
tObjectPtr<tTempCollection> SelectByMask(tMaster* master, std::uint16_t bits);

} // namespace zarvo
