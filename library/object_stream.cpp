// Put and Get of object records, their attachments and references. The outermost call on a
// stream owns the context that nested calls (from Store and Load methods) share.
#include "library/object_stream.h"

#include "library/object_stream_context.h"

namespace zarvo {

namespace {

bool CheckStream(tStream& s) {
    if (s.Status != stOk)
        return false;
    if (s.ElementSize > 1) {
        s.Error(stElementError, 0);
        return false;
    }
    return true;
}

// Objects that "55AWML976" subscribers append go into a block of kind 1 after the object;
// an object without subscribers costs nothing.
void PutAttachments(tStream& s, tSObject& object) {
    if (object.FindEvent(evnPutAttached) == nullptr)
        return;
    std::int64_t start = 0;
    if (!s.BeginBlock(start))
        return;
    object.FireEvent(evnPutAttached, &s);
    if (s.Status != stOk)
        return;
    if (s.GetPos() > start + kBlockHeaderSize) {
        s.EndBlock(start, kAttachmentBlock);
    } else {
        s.Seek(start);
        s.Truncate();
    }
}

void PutRecord(tStream& s, tSObject* object, tStoreEnumerator* context) {
    if (object == nullptr) {
        s.WriteValue(kNullObjectMark);
        return;
    }
    const tStreamClass* streamClass = FindStreamClassOf(*object);
    if (streamClass == nullptr) {
        s.Error(stPutError, object->StoreID());
        return;
    }
    std::int64_t position = s.GetPos();
    s.WriteValue(kClassNameMark);
    s.WriteStr(streamClass->Name);
    object->Store(s);
    if (context != nullptr) {
        if (context->StreamGone())
            return;
        context->Stored(object, position);
    }
    PutAttachments(s, *object);
}

tSObject* GetRecord(tStream& s, tLoadEnumerator& context);

// Only a block of kind 1 whose end lies inside the stream is taken for attachments: other
// bytes that happen to look like a block header belong to whoever reads on.
void GetAttachments(tStream& s, tLoadEnumerator& context) {
    std::int64_t before = s.GetPos();
    std::uint8_t kind = kNoBlock;
    std::int64_t end = 0;
    if (!s.ReadBlockHeader(kind, end))
        return;
    if (kind != kAttachmentBlock || !s.BlockEndInside(end)) {
        s.Seek(before);
        return;
    }
    while (s.Status == stOk && s.GetPos() < end && !context.StreamGone())
        if (tSObject* attached = GetRecord(s, context))
            context.Attach(attached);
}

const tStreamClass* ReadClass(tStream& s, std::int16_t mark) {
    if (mark != kClassNameMark)
        return FindStreamClassById(mark);
    std::string name = s.ReadStr();
    return s.Status == stOk ? FindStreamClassByName(name) : nullptr;
}

struct tNestingGuard {
    explicit tNestingGuard(tLoadEnumerator& context) : Context(context) { ++Context.Nesting; }
    ~tNestingGuard() { --Context.Nesting; }
    tLoadEnumerator& Context;
};

tSObject* GetRecord(tStream& s, tLoadEnumerator& context) {
    tNestingGuard nesting(context);
    if (context.Nesting > kMaxGetNesting) {
        s.Error(stReadError, 0);
        return nullptr;
    }
    std::int64_t position = s.GetPos();
    auto mark = s.ReadValue<std::int16_t>();
    if (s.Status != stOk || mark == kNullObjectMark)
        return nullptr;
    const tStreamClass* streamClass = ReadClass(s, mark);
    if (s.Status != stOk)
        return nullptr;
    if (streamClass == nullptr) {
        s.Error(stGetError, mark);
        return nullptr;
    }
    // Owned here until the record is whole: a Load that stops with a run-time error frees it.
    tObjectPtr<tSObject> object(streamClass->Create());
    context.Loading(object.get(), streamClass->ObjectSize);
    object->Load(s);
    if (context.StreamGone())
        return object.release();
    context.Loaded(object.get(), position);
    GetAttachments(s, context);
    // A record the stream could not give whole yields no object: a half-read one must not
    // pass for a loaded one. (The load context lets go of it through its free event.)
    if (s.Status != stOk)
        return nullptr;
    return object.release();
}

} // namespace

void Put(tStream& s, tSObject* object) {
    if (!CheckStream(s))
        return;
    tStoreEnumerator* context = tStoreEnumerator::Of(s);
    tObjectPtr<tStoreEnumerator> outermost;
    if (context == nullptr) {
        outermost = tStoreEnumerator::Start(s);
        context = outermost.get();
    }
    PutRecord(s, object, context);
    if (outermost != nullptr)
        outermost->Finish();
}

tSObject* Get(tStream& s) {
    if (!CheckStream(s))
        return nullptr;
    tLoadEnumerator* context = tLoadEnumerator::Of(s);
    tObjectPtr<tLoadEnumerator> outermost;
    if (context == nullptr) {
        outermost = tLoadEnumerator::Start(s);
        context = outermost.get();
    }
    tSObject* object = GetRecord(s, *context);
    if (outermost != nullptr)
        outermost->Finish();
    return object;
}

void PutRef(tStream& s, tSObject* object) {
    tStoreEnumerator* context = s.Status == stOk ? tStoreEnumerator::Of(s) : nullptr;
    std::uint16_t id = 0;
    if (object != nullptr && context != nullptr) {
        id = context->Referenced(object);
        // The 16-bit ids ran out: the link cannot be kept, and dropping it silently would
        // lose it unnoticed.
        if (id == 0) {
            s.Error(stWriteError, 0);
            return;
        }
    }
    s.WriteValue(id);
}

void GetRefPlace(tStream& s, void* place, tRefAssign assign) {
    assign(place, nullptr);
    auto id = s.ReadValue<std::uint16_t>();
    if (s.Status != stOk || id == 0)
        return;
    if (tLoadEnumerator* context = tLoadEnumerator::Of(s))
        context->AddWaiting(id, place, assign);
}

} // namespace zarvo
