// tSObject, the root of the framework's classes: the validity query, the object-stream pair
// and named multicast events whose subscribers are let go when they are freed.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <string_view>
#include <type_traits>
#include <utility>

#include "library/events.h"

namespace zarvo {

class tStream;

// A platform message record: the identifier (cleared by whoever handles the message; its
// fourth byte carries broadcast target bits) and its parameters.
struct tMessage {
    std::uint32_t Msg = 0;
    std::intptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;

    std::uint8_t TargetBits() const { return std::uint8_t(Msg >> 24); }
};

class tSObject {
  public:
    tSObject() = default;
    tSObject(const tSObject&) = delete;
    tSObject& operator=(const tSObject&) = delete;
    // Objects are freed with FreeObject (or tObjectPtr), which runs the free hooks first;
    // a plain delete still fires "9XPB7LCKW" here so that no subscriber keeps a dangling link.
    virtual ~tSObject();

    // Blocks of framework objects carry their class name for the leak report.
    static void* operator new(std::size_t size);
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
    static void* operator new(std::size_t, void* place) noexcept { return place; }
    static void operator delete(void* block) noexcept;
    static void operator delete(void* block, const std::nothrow_t&) noexcept;
    static void operator delete(void*, void*) noexcept {}

    virtual std::uint16_t StoreID() const;
    // Command 0 asks "usable?": true exactly when no error is pending. Any other command: true.
    virtual bool Valid(std::uint16_t command);
    // Object streaming writes and reads an object's fields through these; the root has none.
    virtual void Store(tStream& s);
    virtual void Load(tStream& s);
    // An event gained its first subscriber (info set) or lost its last (info null).
    virtual void EventLinkChanged(std::string_view name, tEventInfo* info);

    bool Subscribe(std::string_view name, const EventHandler& handler);
    bool Unsubscribe(std::string_view name, const EventHandler& handler);
    tEventInfo* FindEvent(std::string_view name) const;
    // Runs the event's handlers newest-first, then the default handler unless one set Handled.
    bool FireEvent(std::string_view name, void* argument,
                   const EventHandler& defaultHandler = EventHandler());

    // Platform message dispatch: "G55CF0WK0" subscribers first, then DispatchMessage.
    void Dispatch(tMessage& message);
    virtual void DispatchMessage(tMessage& message);

    tEventList* EventList() const { return m_EventList; }

  private:
    friend class tEventList;
    friend bool ReleaseObjectEvents(tSObject* object);
    friend bool FreeObject(tSObject* object);
    tEventList* m_EventList = nullptr;
    bool m_FreeEventFired = false;
    bool m_BeingFreed = false; // inside FreeObject
};

// Null-safe forms: a null object does nothing and answers false or null.
bool Subscribe(tSObject* object, std::string_view name, const EventHandler& handler);
bool Unsubscribe(tSObject* object, std::string_view name, const EventHandler& handler);
tEventInfo* FindEvent(const tSObject* object, std::string_view name);
bool FireEvent(tSObject* object, std::string_view name, void* argument,
               const EventHandler& defaultHandler = EventHandler());

// The process-wide event bus, created on first use and freed at program exit.
tSObject* GlobalEvents();
bool Subscribe(std::string_view name, const EventHandler& handler);
bool Unsubscribe(std::string_view name, const EventHandler& handler);

// The free hook chain. A hook answers false to veto the destruction. SetFreeHook installs a
// hook at the head and returns the one installed before it, which the new hook must call;
// the first one is the library's own step (free event, then release of the event list).
using tFreeHook = bool (*)(tSObject* object);
tFreeHook SetFreeHook(tFreeHook hook);
// The library's own step, for hooks that want to call it directly.
bool ReleaseObjectEvents(tSObject* object);

// The framework's free: runs the hook chain, then destroys the object unless vetoed.
// Answers whether the object was destroyed; a null object is nothing to do.
bool FreeObject(tSObject* object);
template <class T> void FreeAndNull(T*& object) {
    FreeObject(object);
    object = nullptr;
}

struct tFreeObject {
    void operator()(tSObject* object) const { FreeObject(object); }
};
// The one owner of a framework object: its end always goes through FreeObject (the free hooks
// and the "9XPB7LCKW" event). std::unique_ptr is for plain C++ objects only.
template <class T> using tObjectPtr = std::unique_ptr<T, tFreeObject>;

// Makes a framework object owned by a tObjectPtr.
template <class T, class... Args> tObjectPtr<T> MakeObject(Args&&... args) {
    static_assert(std::is_base_of_v<tSObject, T>, "MakeObject is for framework objects");
    return tObjectPtr<T>(new T(std::forward<Args>(args)...));
}

} // namespace zarvo
