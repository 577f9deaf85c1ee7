// The store and load contexts: the stream header, the reference table and the places that
// wait for referenced objects until the outermost Get ends.
#include "library/object_stream_context.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace zarvo {

namespace {

constexpr std::int64_t kHeaderSize = 8;
// Table signature and count, then per entry a 16-bit id and a 32-bit position.
constexpr std::int64_t kTableHeaderSize = 6;
constexpr std::int64_t kTableEntrySize = 6;
constexpr std::uint32_t kMaxReferenceId = 0xFFFF;

bool IsSignature(std::int32_t value) {
    return value == kStreamSignature || value == kStreamSignatureAbsolute;
}

bool FitsInt32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

} // namespace

// ---- Store context ----

tStoreEnumerator::tStoreEnumerator(tStream& s) : m_Stream(&s) {
    s.Subscribe(evnStoreContext, BindHandler<&tStoreEnumerator::OnQuery>(this));
    s.Subscribe(evnObjectFree, BindHandler<&tStoreEnumerator::OnStreamFreed>(this));
}

tStoreEnumerator::~tStoreEnumerator() {
    if (m_Stream != nullptr) {
        m_Stream->Unsubscribe(evnStoreContext, BindHandler<&tStoreEnumerator::OnQuery>(this));
        m_Stream->Unsubscribe(evnObjectFree, BindHandler<&tStoreEnumerator::OnStreamFreed>(this));
    }
}

tStoreEnumerator* tStoreEnumerator::Of(tStream& s) {
    tStoreEnumerator* found = nullptr;
    s.FireEvent(evnStoreContext, &found);
    return found;
}

void tStoreEnumerator::OnQuery(EventFrame& frame) {
    *static_cast<tStoreEnumerator**>(frame.Argument) = this;
    frame.Handled = true;
}

void tStoreEnumerator::OnStreamFreed(EventFrame& frame) {
    if (frame.Argument == m_Stream)
        m_Stream = nullptr;
}

tObjectPtr<tStoreEnumerator> tStoreEnumerator::Start(tStream& s) {
    s.WriteValue(kStreamSignature);
    std::int64_t base = s.GetPos();
    s.WriteValue(std::int32_t(0));
    if (s.Status != stOk)
        return nullptr;
    // The constructor is private: Start is the way in.
    tObjectPtr<tStoreEnumerator> context(new tStoreEnumerator(s));
    context->m_Base = base;
    return context;
}

tStoreEnumerator::tStoreRec& tStoreEnumerator::RecordOf(const tSObject* object) {
    tStoreRec& record = m_Objects[object];
    if (record.Id == 0 && m_NextId <= kMaxReferenceId)
        record.Id = std::uint16_t(m_NextId++);
    return record;
}

void tStoreEnumerator::Stored(const tSObject* object, std::int64_t position) {
    tStoreRec& record = RecordOf(object);
    if (record.Position < 0)
        record.Position = position;
}

std::uint16_t tStoreEnumerator::Referenced(const tSObject* object) {
    tStoreRec& record = RecordOf(object);
    if (record.Id != 0 &&
        std::find(m_Referenced.begin(), m_Referenced.end(), object) == m_Referenced.end())
        m_Referenced.push_back(object);
    return record.Id;
}

void tStoreEnumerator::Finish() {
    tStream* s = m_Stream;
    if (s == nullptr || m_Referenced.empty() || s->Status != stOk)
        return;
    std::int64_t tablePos = s->GetPos();
    if (!FitsInt32(tablePos - m_Base)) {
        s->Error(stWriteError, 0);
        return;
    }
    // Readers sort the entries themselves; id order keeps the bytes the same on every run.
    std::sort(m_Referenced.begin(), m_Referenced.end(),
              [this](auto* a, auto* b) { return m_Objects[a].Id < m_Objects[b].Id; });
    s->WriteValue(kStreamSignature);
    s->WriteValue(std::uint16_t(m_Referenced.size()));
    for (const tSObject* object : m_Referenced) {
        const tStoreRec& record = m_Objects[object];
        // An object that was referenced but never put points at the stream's start, which
        // never holds an object record.
        std::int64_t position = record.Position >= 0 ? record.Position : 0;
        s->WriteValue(record.Id);
        s->WriteValue(std::int32_t(position - m_Base));
    }
    std::int64_t end = s->GetPos();
    s->Seek(m_Base);
    s->WriteValue(std::int32_t(tablePos - m_Base));
    s->Seek(end);
}

// ---- Load context ----

tLoadEnumerator::tLoadEnumerator(tStream& s) : m_Stream(&s) {
    s.Subscribe(evnLoadContext, BindHandler<&tLoadEnumerator::OnQuery>(this));
    s.Subscribe(evnObjectFree, BindHandler<&tLoadEnumerator::OnStreamFreed>(this));
}

tLoadEnumerator::~tLoadEnumerator() {
    if (m_Stream != nullptr) {
        m_Stream->Unsubscribe(evnLoadContext, BindHandler<&tLoadEnumerator::OnQuery>(this));
        m_Stream->Unsubscribe(evnObjectFree, BindHandler<&tLoadEnumerator::OnStreamFreed>(this));
    }
}

tLoadEnumerator* tLoadEnumerator::Of(tStream& s) {
    tLoadEnumerator* found = nullptr;
    s.FireEvent(evnLoadContext, &found);
    return found;
}

void tLoadEnumerator::OnQuery(EventFrame& frame) {
    *static_cast<tLoadEnumerator**>(frame.Argument) = this;
    frame.Handled = true;
}

void tLoadEnumerator::OnStreamFreed(EventFrame& frame) {
    if (frame.Argument == m_Stream)
        m_Stream = nullptr;
}

tObjectPtr<tLoadEnumerator> tLoadEnumerator::Start(tStream& s) {
    // The constructor is private: Start is the way in.
    tObjectPtr<tLoadEnumerator> context(new tLoadEnumerator(s));
    std::int64_t start = s.GetPos();
    std::int64_t size = s.GetSize();
    if (start < 0 || size - start < 4)
        return context;
    auto signature = s.ReadValue<std::int32_t>();
    // Bare object records, or a signature with no room for the table offset after it.
    if (s.Status != stOk || !IsSignature(signature) || size - start < kHeaderSize) {
        s.Seek(start);
        return context;
    }
    std::int64_t base = signature == kStreamSignature ? start + 4 : 0;
    auto offset = s.ReadValue<std::int32_t>();
    if (offset != 0 && !context->ReadTable(base + offset, base)) {
        context->m_Entries.clear();
        context->m_ById.clear();
        if (s.Status != stOk)
            s.Reset();
    }
    // The objects follow the header even when its table is unusable.
    s.Seek(start + kHeaderSize);
    return context;
}

bool tLoadEnumerator::ReadTable(std::int64_t position, std::int64_t base) {
    tStream& s = *m_Stream;
    std::int64_t size = s.GetSize();
    if (position < 0 || position > size - kTableHeaderSize)
        return false;
    s.Seek(position);
    if (!IsSignature(s.ReadValue<std::int32_t>()))
        return false;
    auto count = s.ReadValue<std::uint16_t>();
    if (s.Status != stOk || (size - s.GetPos()) / kTableEntrySize < count)
        return false;
    m_Entries.resize(count);
    for (tReferenceRec& entry : m_Entries) {
        entry.Id = s.ReadValue<std::uint16_t>();
        entry.Position = s.ReadValue<std::int32_t>() + base;
    }
    if (s.Status != stOk)
        return false;
    std::stable_sort(m_Entries.begin(), m_Entries.end(),
                     [](const auto& a, const auto& b) { return a.Position < b.Position; });
    m_ById.resize(count);
    for (std::size_t i = 0; i < m_ById.size(); ++i)
        m_ById[i] = i;
    std::stable_sort(m_ById.begin(), m_ById.end(), [this](std::size_t a, std::size_t b) {
        return m_Entries[a].Id < m_Entries[b].Id;
    });
    return true;
}

void tLoadEnumerator::Loading(tSObject* object, std::size_t size) {
    m_Loaded.push_back({object, size});
    object->Subscribe(evnObjectFree, BindHandler<&tLoadEnumerator::OnObjectFreed>(this));
}

void tLoadEnumerator::Loaded(tSObject* object, std::int64_t position) {
    auto entry = std::lower_bound(
        m_Entries.begin(), m_Entries.end(), position,
        [](const tReferenceRec& item, std::int64_t value) { return item.Position < value; });
    for (; entry != m_Entries.end() && entry->Position == position; ++entry)
        entry->Object = object;
}

void tLoadEnumerator::AddWaiting(std::uint16_t id, void* place, tRefAssign assign) {
    auto found = std::lower_bound(
        m_ById.begin(), m_ById.end(), id,
        [this](std::size_t index, std::uint16_t value) { return m_Entries[index].Id < value; });
    if (found != m_ById.end() && m_Entries[*found].Id == id)
        m_Entries[*found].Waiting.push_back({place, assign});
}

// A freed object is never handed out, and places inside it are never written.
void tLoadEnumerator::OnObjectFreed(EventFrame& frame) {
    auto* object = static_cast<tSObject*>(frame.Argument);
    auto loaded = std::find_if(m_Loaded.begin(), m_Loaded.end(),
                               [object](const auto& item) { return item.Object == object; });
    if (loaded == m_Loaded.end())
        return;
    auto low = reinterpret_cast<std::uintptr_t>(object);
    auto high = low + loaded->Size;
    m_Loaded.erase(loaded);
    for (tReferenceRec& entry : m_Entries) {
        if (entry.Object == object)
            entry.Object = nullptr;
        std::erase_if(entry.Waiting, [low, high](const tWaitingPlace& waiting) {
            auto at = reinterpret_cast<std::uintptr_t>(waiting.Place);
            return at >= low && at < high;
        });
    }
    std::erase(m_Attached, object);
}

void tLoadEnumerator::Finish() {
    // Attached objects have linked themselves to their targets while loading. When the Get
    // failed, those targets are gone with the half-read tree and nothing else would free
    // them; they go first, so that no reference is filled with one.
    if (m_Stream != nullptr && m_Stream->Status != stOk) {
        std::vector<tSObject*> orphans = m_Attached;
        for (tSObject* orphan : orphans)
            if (std::find(m_Attached.begin(), m_Attached.end(), orphan) != m_Attached.end())
                FreeObject(orphan);
    }
    m_Attached.clear();
    for (tReferenceRec& entry : m_Entries)
        for (const tWaitingPlace& waiting : entry.Waiting)
            waiting.Assign(waiting.Place, entry.Object);
    if (m_Stream != nullptr)
        m_Stream->FireEvent(evnGetFinished, m_Stream);
}

} // namespace zarvo
