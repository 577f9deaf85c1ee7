// The root object's own behaviour: validity, message dispatch through "G55CF0WK0", the free
// hook chain and the process-wide event bus.
#include "library/sobject.h"

#include <cxxabi.h>

#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <typeinfo>

#include "diagnostics/heap_accounting.h"
#include "diagnostics/pending_error.h"

namespace zarvo {

namespace {

tFreeHook gFreeHookHead = &ReleaseObjectEvents;

void DispatchDefault(void* data, EventFrame& frame) {
    static_cast<tSObject*>(data)->DispatchMessage(*static_cast<tMessage*>(frame.Argument));
}

bool gGlobalEventsGone = false;

struct tGlobalEventsHolder {
    tObjectPtr<tSObject> Object;
    ~tGlobalEventsHolder() {
        gGlobalEventsGone = true;
        Object.reset();
    }
};

// The leak report's name for a block holding a framework object: its class, demangled,
// without the program's namespace. Uses malloc only: the heap is locked meanwhile.
void NameFrameworkObject(const void* block, char* name, std::size_t capacity) {
    const char* mangled = typeid(*static_cast<const tSObject*>(block)).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string_view shown = status == 0 && demangled ? demangled : mangled;
    if (shown.starts_with("zarvo::"))
        shown.remove_prefix(7);
    std::snprintf(name, capacity, "%.*s", int(shown.size()), shown.data());
    std::free(demangled);
}

} // namespace

void* tSObject::operator new(std::size_t size) {
    return AllocateHeapBlock(size, NameFrameworkObject);
}

void* tSObject::operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return TryAllocateHeapBlock(size, NameFrameworkObject);
}

void tSObject::operator delete(void* block) noexcept {
    ReleaseHeapBlock(block);
}

void tSObject::operator delete(void* block, const std::nothrow_t&) noexcept {
    ReleaseHeapBlock(block);
}

tSObject::~tSObject() {
    ReleaseObjectEvents(this);
}

std::uint16_t tSObject::StoreID() const {
    return 0;
}

bool tSObject::Valid(std::uint16_t command) {
    return command != 0 || !IsErrorPending();
}

void tSObject::Store(tStream&) {}

void tSObject::Load(tStream&) {}

void tSObject::EventLinkChanged(std::string_view, tEventInfo*) {}

void tSObject::Dispatch(tMessage& message) {
    FireEvent(evnPlatformMessage, &message,
              EventHandler(&DispatchDefault, static_cast<void*>(this)));
}

void tSObject::DispatchMessage(tMessage&) {}

bool Subscribe(tSObject* object, std::string_view name, const EventHandler& handler) {
    return object != nullptr && object->Subscribe(name, handler);
}

bool Unsubscribe(tSObject* object, std::string_view name, const EventHandler& handler) {
    return object != nullptr && object->Unsubscribe(name, handler);
}

tEventInfo* FindEvent(const tSObject* object, std::string_view name) {
    return object != nullptr ? object->FindEvent(name) : nullptr;
}

bool FireEvent(tSObject* object, std::string_view name, void* argument,
               const EventHandler& defaultHandler) {
    return object != nullptr && object->FireEvent(name, argument, defaultHandler);
}

tSObject* GlobalEvents() {
    if (gGlobalEventsGone)
        return nullptr;
    // The name dictionary must outlive the bus, so it is made first.
    InternEventName(evnObjectFree);
    static tGlobalEventsHolder holder;
    if (holder.Object == nullptr)
        holder.Object = MakeObject<tSObject>();
    return holder.Object.get();
}

bool Subscribe(std::string_view name, const EventHandler& handler) {
    return Subscribe(GlobalEvents(), name, handler);
}

bool Unsubscribe(std::string_view name, const EventHandler& handler) {
    return gGlobalEventsGone ? false : Unsubscribe(GlobalEvents(), name, handler);
}

tFreeHook SetFreeHook(tFreeHook hook) {
    tFreeHook previous = gFreeHookHead;
    gFreeHookHead = hook != nullptr ? hook : &ReleaseObjectEvents;
    return previous;
}

bool ReleaseObjectEvents(tSObject* object) {
    if (!object->m_FreeEventFired) {
        object->m_FreeEventFired = true;
        object->FireEvent(evnObjectFree, static_cast<void*>(object));
    }
    if (tEventList* list = object->m_EventList) {
        if (list->Busy > 0)
            list->Detach();
        else
            delete list;
    }
    return true;
}

bool FreeObject(tSObject* object) {
    if (object == nullptr)
        return false;
    assert(!object->m_BeingFreed && "object freed twice (again from inside its own free)");
    object->m_BeingFreed = true;
    if (!gFreeHookHead(object)) {
        // Vetoed: the object lives on, and a later free tells its subscribers again.
        object->m_FreeEventFired = false;
        object->m_BeingFreed = false;
        return false;
    }
    delete object;
    return true;
}

} // namespace zarvo
