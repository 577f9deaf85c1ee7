// Masters and subjects: ownership, broadcast and the search by kind mask.
#include "library/subject.h"

namespace zarvo {

tSubject::~tSubject() {
    if (Master != nullptr)
        Master->RemoveSubject(this);
}

tMaster::~tMaster() {
    while (Subjects.Count > 0) {
        auto* subject = static_cast<tSubject*>(Subjects.ItemAt(0));
        Subjects.DeleteAt(0);
        subject->Master = nullptr;
        FreeObject(subject);
    }
}

bool tMaster::Valid(std::uint16_t command) {
    if (!tSubject::Valid(command))
        return false;
    for (std::int16_t i = 0; i < Subjects.Count; ++i)
        if (!SubjectAt(i)->Valid(command))
            return false;
    return true;
}

void tMaster::Awaken() {
    for (std::int16_t i = 0; i < Subjects.Count; ++i)
        SubjectAt(i)->Awaken();
}

void tMaster::DispatchMessage(tMessage& message) {
    std::int16_t i = 0;
    while (message.Msg != 0 && i < Subjects.Count) {
        tSubject* subject = SubjectAt(i);
        if (!(subject->Flags & sfNoBroadcast) && (subject->Mask & message.TargetBits()) != 0)
            subject->Dispatch(message);
        // A subject may have left (or been freed) while handling it.
        if (i < Subjects.Count && Subjects.Items[i] == subject)
            ++i;
    }
}

void tMaster::AddSubject(tSubject* subject) {
    Subjects.Insert(subject);
    subject->Master = this;
}

void tMaster::RemoveSubject(tSubject* subject) {
    if (subject->Master != this)
        return;
    if (std::int16_t index = Subjects.IndexOf(subject); index >= 0)
        Subjects.DeleteAt(index);
    subject->Master = nullptr;
}

tMaster* FindMasterWithMask(tSubject* subject, std::uint16_t bits) {
    for (tSubject* current = subject; current != nullptr; current = current->Master) {
        auto* master = dynamic_cast<tMaster*>(current);
        if (master != nullptr && (master->Mask & bits) == bits)
            return current == subject ? nullptr : master;
    }
    return nullptr;
}

tObjectPtr<tTempCollection> SelectByMask(tMaster* master, std::uint16_t bits) {
    auto result = MakeObject<tTempCollection>(8, 8);
    for (std::int16_t i = 0; i < master->Subjects.Count; ++i)
        if ((master->SubjectAt(i)->Mask & bits) == bits)
            result->Insert(master->SubjectAt(i));
    return result;
}

} // namespace zarvo
