// Object streaming: whole framework objects written to a tStream with their class name and
// read back by registered class, with references between objects of one stream.
#pragma once

#include <cstdint>

#include "library/stream.h"
#include "library/stream_class.h"

namespace zarvo {

// Stream header signatures: table positions counted from the byte after the signature, or
// (the second, accepted on reading only) absolute.
inline constexpr std::int32_t kStreamSignature = 1234567892;
inline constexpr std::int32_t kStreamSignatureAbsolute = 1234567890;

// Class marks of an object record.
inline constexpr std::int16_t kNullObjectMark = 0;
inline constexpr std::int16_t kClassNameMark = -1;

// Block kind of the objects attached to an object by "55AWML976" subscribers.
inline constexpr std::uint8_t kAttachmentBlock = 1;

// Nested Gets deeper than this are a damaged stream, not a real object tree.
inline constexpr int kMaxGetNesting = 256;

// Writes one object record (a null object as the two bytes 0, 0). The outermost Put on a
// stream writes the header first and the reference table after the object. An object whose
// class is not registered is Error(-6, its StoreID).
void Put(tStream& s, tSObject* object);
// Reads one object record: null for a null record and on any failure (status set); an
// object whose record the stream could not give whole is freed, so every streamable class
// must be freeable at any point of its Load. An object whose Load failed otherwise is still
// answered: check it with ValidateRef.
tSObject* Get(tStream& s);

// Writes a 16-bit reference to an object of the same outermost Put (0 for none).
void PutRef(tStream& s, tSObject* object);
// Reads a reference. Place is null at once and receives the object at the end of the
// outermost Get, when it appeared (and is still alive) and is a T. Place must live inside an
// object of the same Get, or until that Get ends.
template <class T> void GetRef(tStream& s, T*& place);

// The untyped form behind GetRef: ASSIGN stores an object (or null) into PLACE.
using tRefAssign = void (*)(void* place, tSObject* object);
void GetRefPlace(tStream& s, void* place, tRefAssign assign);

template <class T> void GetRef(tStream& s, T*& place) {
    GetRefPlace(s, &place, [](void* where, tSObject* object) {
        *static_cast<T**>(where) = dynamic_cast<T*>(object);
    });
}

} // namespace zarvo
