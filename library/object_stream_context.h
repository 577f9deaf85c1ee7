// The store and load contexts of object streaming: alive for one outermost Put or Get,
// found by nested calls through the stream's query events, gone with that call.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "library/object_stream.h"

namespace zarvo {

// What one outermost Put knows: where the header is, which objects it wrote where, and
// which of them were referenced.
class tStoreEnumerator : public tSObject {
  public:
    // The context of S, or null when no Put is running on it.
    static tStoreEnumerator* Of(tStream& s);
    // Writes the header at S's position; null (nothing kept) when that fails.
    static tObjectPtr<tStoreEnumerator> Start(tStream& s);
    ~tStoreEnumerator() override;

    // Obj's record starts at POSITION (the first record of an object put twice counts).
    void Stored(const tSObject* object, std::int64_t position);
    // The reference id of Obj, given now if it has none; 0 when the ids ran out.
    std::uint16_t Referenced(const tSObject* object);
    // Writes the reference table and its offset in the header.
    void Finish();
    bool StreamGone() const { return m_Stream == nullptr; }

  private:
    struct tStoreRec {
        std::uint16_t Id = 0;
        std::int64_t Position = -1; // -1: never put
    };

    explicit tStoreEnumerator(tStream& s);
    void OnQuery(EventFrame& frame);
    void OnStreamFreed(EventFrame& frame);
    tStoreRec& RecordOf(const tSObject* object);

    tStream* m_Stream;
    std::int64_t m_Base = 0;
    std::uint32_t m_NextId = 1;
    std::map<const tSObject*, tStoreRec> m_Objects;
    std::vector<const tSObject*> m_Referenced;
};

// What one outermost Get knows: the reference table, the places waiting for objects, the
// objects made so far (watched, so that a freed one is never handed out).
class tLoadEnumerator : public tSObject {
  public:
    static tLoadEnumerator* Of(tStream& s);
    // Reads the header at S's position, when there is one. A table that does not fit the
    // stream is ignored: the objects still load, their references read back as null.
    static tObjectPtr<tLoadEnumerator> Start(tStream& s);
    ~tLoadEnumerator() override;

    // An object about to Load (SIZE bytes at its address), and its record's position once
    // loaded.
    void Loading(tSObject* object, std::size_t size);
    void Loaded(tSObject* object, std::int64_t position);
    void Attach(tSObject* object) { m_Attached.push_back(object); }
    void AddWaiting(std::uint16_t id, void* place, tRefAssign assign);
    // Fills the waiting places and fires "6IY1F882A" on the stream.
    void Finish();
    bool StreamGone() const { return m_Stream == nullptr; }
    bool HasTable() const { return !m_Entries.empty(); }

    int Nesting = 0;

  private:
    struct tWaitingPlace {
        void* Place = nullptr;
        tRefAssign Assign = nullptr;
    };
    struct tReferenceRec {
        tSObject* Object = nullptr;
        std::uint16_t Id = 0;
        std::int64_t Position = 0;
        std::vector<tWaitingPlace> Waiting;
    };
    struct tLoadedObject {
        tSObject* Object = nullptr;
        std::size_t Size = 0;
    };

    explicit tLoadEnumerator(tStream& s);
    void OnQuery(EventFrame& frame);
    void OnStreamFreed(EventFrame& frame);
    void OnObjectFreed(EventFrame& frame);
    bool ReadTable(std::int64_t position, std::int64_t base);

    tStream* m_Stream;
    std::vector<tReferenceRec> m_Entries; // ordered by position
    std::vector<std::size_t> m_ById;      // indices into m_Entries, ordered by id
    std::vector<tLoadedObject> m_Loaded;
    std::vector<tSObject*> m_Attached;
};

} // namespace zarvo
