// The class registry of object streaming: which framework classes can be read from a stream,
// under which stream id and name, and how an empty object of each is made for its Load.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <typeinfo>

#include "library/sobject.h"

namespace zarvo {

// One streamable class. Every streamable class overrides StoreID and gives a cheap Create
// (default construction when it has one); Load then reads the fields.
struct tStreamClass {
    std::string_view Name;                         // as the class calls itself, e.g. tDialog
    const std::type_info* Type = nullptr;          // exactly this class
    tSObject* (*Create)() = nullptr;               // an empty object for Load to fill
    bool (*IsInstance)(const tSObject*) = nullptr; // of this class or a descendant
    std::size_t ObjectSize = 0;                    // bytes of one object, for references into it
};

template <class T> tSObject* CreateStreamObject() {
    return new T();
}

// The descriptor of T; NAME must be static text. Classes without a default constructor pass
// their own CREATE.
template <class T>
tStreamClass StreamClassOf(std::string_view name, tSObject* (*create)() = &CreateStreamObject<T>) {
    return tStreamClass{
        name, &typeid(T), create,
        [](const tSObject* object) { return dynamic_cast<const T*>(object) != nullptr; },
        sizeof(T)};
}

// Registers Class under its StoreID. A second registration of a class, a descendant that
// does not override StoreID, and two classes with one StoreID are programming errors: they
// raise an ESException and leave the registry unchanged. Class must outlive the program.
void RegisterStreamClass(const tStreamClass& streamClass);
void RegisterStreamClasses(std::initializer_list<const tStreamClass*> classes);
// Registers Class under a name of its own (stream id -1): records naming it load Class.
void RegisterStreamClassByName(std::string_view name, const tStreamClass& streamClass);

// Lookups for Get and Put. Names compare case-insensitively; null when not registered.
const tStreamClass* FindStreamClassByName(std::string_view name);
const tStreamClass* FindStreamClassById(std::int16_t id);
const tStreamClass* FindStreamClassOf(const tSObject& object);

// The library's own streamable classes (the collections). Safe to call more than once.
void RegisterLibraryStreamClasses();

} // namespace zarvo
