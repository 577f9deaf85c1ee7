// Masters and subjects on streams: the object state, the subject list, and the references
// between the subjects of the master being written or read (its "current master" frame).
#include <cstddef>
#include <vector>

#include "library/stream.h"
#include "library/subject.h"

namespace zarvo {

namespace {

// The masters being stored, innermost first. Frames live on the stack of Store.
struct tMasterStoreFrame {
    tMasterStoreFrame(tStream& s, tMaster& master);
    ~tMasterStoreFrame();
    tStream* Stream;
    tMaster* Master;
    tMasterStoreFrame* Enclosing;
};

// The masters being loaded: the subject made from each record (null when a record gave
// none) and the places waiting for them.
struct tMasterLoadFrame {
    struct tWaiting {
        std::size_t Target = 0; // index of the referenced record
        std::size_t Owner = 0;  // the record being read when the reference was
        void* Place = nullptr;
        tRefAssign Assign = nullptr;
    };
    tMasterLoadFrame(tStream& s, tMaster& master, std::size_t count);
    ~tMasterLoadFrame();
    bool Alive(std::size_t index) const;
    void Resolve();
    tStream* Stream;
    tMaster* Master;
    tMasterLoadFrame* Enclosing;
    std::vector<tSubject*> Loaded;
    std::vector<tWaiting> Waiting;
    std::size_t Current = 0;
};

thread_local tMasterStoreFrame* gStoreFrames = nullptr;
thread_local tMasterLoadFrame* gLoadFrames = nullptr;

tMasterStoreFrame::tMasterStoreFrame(tStream& s, tMaster& master)
    : Stream(&s), Master(&master), Enclosing(gStoreFrames) {
    gStoreFrames = this;
}

tMasterStoreFrame::~tMasterStoreFrame() {
    gStoreFrames = Enclosing;
}

tMasterLoadFrame::tMasterLoadFrame(tStream& s, tMaster& master, std::size_t count)
    : Stream(&s), Master(&master), Enclosing(gLoadFrames), Loaded(count, nullptr) {
    gLoadFrames = this;
}

tMasterLoadFrame::~tMasterLoadFrame() {
    gLoadFrames = Enclosing;
}

// A subject freed while its master was loading has left Subjects: neither it nor a place
// inside it may be touched any more.
bool tMasterLoadFrame::Alive(std::size_t index) const {
    tSubject* subject = Loaded[index];
    return subject != nullptr && Master->Subjects.IndexOf(subject) >= 0;
}

void tMasterLoadFrame::Resolve() {
    for (const tWaiting& waiting : Waiting)
        if (Alive(waiting.Owner) && Alive(waiting.Target))
            waiting.Assign(waiting.Place, Loaded[waiting.Target]);
}

template <class Frame> Frame* FrameOf(Frame* frames, tStream& s) {
    for (Frame* frame = frames; frame != nullptr; frame = frame->Enclosing)
        if (frame->Stream == &s)
            return frame;
    return nullptr;
}

bool Holds(tStream& s, std::int64_t bytes) {
    std::int64_t position = s.GetPos();
    return position >= 0 && s.GetSize() - position >= bytes;
}

} // namespace

void tSubject::Store(tStream& s) {
    s.WriteValue(Flags);
    s.WriteValue(Mask);
}

void tSubject::Load(tStream& s) {
    auto flags = s.ReadValue<std::uint16_t>();
    auto mask = s.ReadValue<std::uint16_t>();
    if (s.Status != stOk)
        return;
    Flags = flags;
    Mask = mask;
}

void tMaster::Store(tStream& s) {
    tSubject::Store(s);
    tMasterStoreFrame frame(s, *this);
    s.WriteValue(Subjects.Count);
    for (std::int16_t i = 0; i < Subjects.Count && s.Status == stOk; ++i)
        Put(s, SubjectAt(i));
}

// Every record takes at least its two-byte class mark, so a count the rest of the stream
// cannot hold is damage, found before anything is made for it.
void tMaster::Load(tStream& s) {
    tSubject::Load(s);
    auto count = s.ReadValue<std::int16_t>();
    if (s.Status != stOk)
        return;
    if (count < 0 || count > kMaxCollectionSize || !Holds(s, 2 * std::int64_t(count))) {
        s.Error(stReadError, 0);
        return;
    }
    bool outermost = FrameOf(gLoadFrames, s) == nullptr;
    {
        tMasterLoadFrame frame(s, *this, std::size_t(count));
        for (std::int16_t i = 0; i < count && s.Status == stOk; ++i) {
            frame.Current = std::size_t(i);
            tSObject* object = Get(s);
            if (object == nullptr)
                continue;
            auto* subject = dynamic_cast<tSubject*>(object);
            if (subject == nullptr) {
                // A record of some other class where a subject belongs: the stream is not one
                // a master wrote.
                FreeObject(object);
                s.Error(stReadError, 0);
                break;
            }
            AddSubject(subject);
            frame.Loaded[std::size_t(i)] = subject;
        }
        if (s.Status == stOk)
            frame.Resolve();
    }
    if (outermost && s.Status == stOk)
        Awaken();
}

void PutSubjectRef(tStream& s, tSubject* subject) {
    std::uint16_t id = 0;
    tMasterStoreFrame* frame = FrameOf(gStoreFrames, s);
    if (subject != nullptr && frame != nullptr && subject->Master == frame->Master) {
        std::int16_t index = frame->Master->Subjects.IndexOf(subject);
        if (index >= 0)
            id = std::uint16_t(index + 1);
    }
    s.WriteValue(id);
}

// An id past the master's records cannot come from a master's Store; it reads as none.
void GetSubjectRefPlace(tStream& s, void* place, tRefAssign assign) {
    assign(place, nullptr);
    auto id = s.ReadValue<std::uint16_t>();
    if (s.Status != stOk || id == 0)
        return;
    tMasterLoadFrame* frame = FrameOf(gLoadFrames, s);
    if (frame == nullptr || id > frame->Loaded.size())
        return;
    frame->Waiting.push_back({std::size_t(id - 1), frame->Current, place, assign});
}

} // namespace zarvo
