// Streamable classes for the object streaming tests: a plain record, a node with a
// reference and an owned child, a note that attachments carry, and their registration.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "library/stream_class.h"

namespace zarvo::testing_streams {

// One 16-bit field.
class tPlain : public tSObject {
  public:
    std::uint16_t StoreID() const override { return 30002; }
    void Store(tStream& s) override { s.WriteValue(Value); }
    void Load(tStream& s) override { Value = s.ReadValue<std::int16_t>(); }
    std::int16_t Value = 0;
};

// A value, a reference to another node and an owned child node.
class tNode : public tSObject {
  public:
    ~tNode() override { FreeObject(Child); }
    std::uint16_t StoreID() const override { return 30001; }
    void Store(tStream& s) override {
        s.WriteValue(Value);
        PutRef(s, Peer);
        Put(s, Child);
    }
    void Load(tStream& s) override {
        Value = s.ReadValue<std::int32_t>();
        GetRef(s, Peer);
        tSObject* child = Get(s);
        Child = dynamic_cast<tNode*>(child);
        // A child with a negative value is dropped while loading, the way a group drops a
        // subview it cannot use: references into it must not be filled later.
        if (Child == nullptr || Child->Value < 0) {
            FreeObject(child);
            Child = nullptr;
        }
    }
    std::int32_t Value = 0;
    tNode* Peer = nullptr;
    tNode* Child = nullptr;
};

// Carried in attachment blocks. Loaded notes are listed so that the tests can free them:
// nothing else takes them over.
class tNote : public tSObject {
  public:
    static std::vector<tNote*>& Loaded() {
        static std::vector<tNote*> loaded;
        return loaded;
    }
    static void FreeLoaded() {
        auto notes = std::move(Loaded());
        Loaded().clear();
        for (tNote* note : notes)
            FreeObject(note);
    }
    ~tNote() override { std::erase(Loaded(), this); }
    std::uint16_t StoreID() const override { return 30003; }
    void Store(tStream& s) override { s.WriteStr(Text); }
    void Load(tStream& s) override {
        Text = s.ReadStr();
        Loaded().push_back(this);
    }
    std::string Text;
};

inline const tStreamClass kPlainClass = StreamClassOf<tPlain>("tPlain");
inline const tStreamClass kNodeClass = StreamClassOf<tNode>("tNode");
inline const tStreamClass kNoteClass = StreamClassOf<tNote>("tNote");

inline void RegisterTestStreamClasses() {
    RegisterLibraryStreamClasses();
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterStreamClasses({&kPlainClass, &kNodeClass, &kNoteClass});
        // Records of an older name of tPlain.
        RegisterStreamClassByName("tOldPlain", kPlainClass);
    });
}

inline std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline std::vector<std::uint8_t> NameBytes(std::string_view name) {
    std::vector<std::uint8_t> bytes(name.size() + 1);
    bytes[0] = std::uint8_t(name.size());
    for (std::size_t i = 0; i < name.size(); ++i)
        bytes[i + 1] = std::uint8_t(name[i]);
    return bytes;
}

} // namespace zarvo::testing_streams
