// Named events of framework objects: the handler pair, the frame a handler receives, the
// per-event record with its subscriber chain and the process-wide dictionary of event names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <vector>

namespace zarvo {

class tSObject;
class tEventList;
class tEventInfo;
struct EventFrame;

// Event names are exact, case-sensitive 9-character strings.
inline constexpr std::string_view evnObjectFree = "9XPB7LCKW";      // argument: the object
inline constexpr std::string_view evnPlatformMessage = "G55CF0WK0"; // argument: tMessage*
inline constexpr std::string_view evnLinkChanged = "H7ST026R5";     // argument: tEventLinkInfo*
inline constexpr std::string_view evnStoreContext = "6GRXXM8K2";    // argument: result slot
inline constexpr std::string_view evnLoadContext = "6TJC3SQTU";     // argument: result slot
inline constexpr std::string_view evnGetFinished = "6IY1F882A";     // argument: the stream
inline constexpr std::string_view evnPutAttached = "55AWML976";     // argument: the stream

using tEventProc = void (*)(void* data, EventFrame& frame);

// A subscriber: code and data object. Two handlers are the same when both are equal.
// `Object` is the data as a framework object, when it is one: its free ends the subscription.
struct EventHandler {
    tEventProc Code = nullptr;
    void* Data = nullptr;
    tSObject* Object = nullptr;

    constexpr EventHandler() = default;
    constexpr explicit EventHandler(tEventProc code) : Code(code) {}
    constexpr EventHandler(tEventProc code, std::nullptr_t) : Code(code) {}
    constexpr EventHandler(tEventProc code, void* data) : Code(code), Data(data) {}
    EventHandler(tEventProc code, tSObject* object)
        : Code(code), Data(static_cast<void*>(object)), Object(object) {}

    bool operator==(const EventHandler& other) const {
        return Code == other.Code && Data == other.Data;
    }
    bool IsEmpty() const { return Code == nullptr; }
};

// A handler calling `Method(EventFrame&)` of `target`; framework objects are lifetime-tracked.
template <auto Method, class T> EventHandler BindHandler(T* target) {
    tEventProc code = [](void* data, EventFrame& frame) {
        (static_cast<T*>(data)->*Method)(frame);
    };
    EventHandler handler(code, static_cast<void*>(target));
    if constexpr (std::is_base_of_v<tSObject, T>)
        handler.Object = target;
    return handler;
}

struct tHandlerNode {
    EventHandler Handler;
    tHandlerNode* Next = nullptr;
    bool Watching = false; // the event follows the data object's free event for this node
};

// What a handler receives.
struct EventFrame {
    void* Argument = nullptr;
    bool Handled = false;
    bool Starting = true;
    tEventInfo* Event = nullptr;
    tHandlerNode* Current = nullptr;
    EventHandler Default;
};

// Argument of "H7ST026R5": an event gained its first (Info set) or lost its last subscriber.
struct tEventLinkInfo {
    std::string_view Name;
    tEventInfo* Info = nullptr;
};

// One named event of one object.
class tEventInfo {
  public:
    enum : std::uint8_t {
        efPurge = 1,         // some nodes were emptied and wait for the outermost firing to end
        efSelfSubscribed = 2 // the owner is one of its own subscribers
    };

    std::string_view Name() const;
    tSObject* Owner() const;
    bool IsEmpty() const;

    std::uint16_t EventId = 0;
    tHandlerNode* Chain = nullptr;
    tEventList* OwnerList = nullptr;
    std::int16_t Nesting = 0;
    std::uint8_t Flags = 0;

  private:
    friend class tEventList;
    friend class tEventNesting;
    friend class tSObject;
    friend bool FireEventInfo(tEventInfo* event, void* argument,
                              const EventHandler& defaultHandler);
    friend void CallNextHandlers(EventFrame& frame);

    explicit tEventInfo(std::uint16_t id) : EventId(id) {}
    ~tEventInfo();
    bool AddHandler(const EventHandler& handler);
    bool RemoveHandler(const EventHandler& handler);
    void RemoveObjectNodes(const tSObject* object);
    bool HasObject(const tSObject* object) const;
    void WatchObject(tSObject* object);
    void UnwatchObject(tSObject* object);
    void Purge();
    void EndNesting();
    static void OnSubscriberFreed(void* data, EventFrame& frame);
};

// The events of one object, sorted by name as byte strings. Every operation through it holds
// the busy mark; a list whose owner was freed meanwhile frees itself when the mark drops.
class tEventList {
  public:
    explicit tEventList(tSObject* owner) : Owner(owner) {}
    tEventList(const tEventList&) = delete;
    tEventList& operator=(const tEventList&) = delete;
    ~tEventList();

    // The event of that name, or null; `position` receives its sorted place either way.
    tEventInfo* Find(std::string_view name, std::size_t* position = nullptr) const;

    tSObject* Owner = nullptr; // null once detached from a freed owner
    std::int16_t Busy = 0;
    std::vector<tEventInfo*> Events;

  private:
    friend class tEventInfo;
    friend class tSObject;
    friend class tEventListBusy;
    friend bool ReleaseObjectEvents(tSObject* object);
    tEventInfo* AddEvent(std::string_view name, std::size_t position);
    void RemoveEvent(tEventInfo* event);
    void Detach();
    void EndSelfSubscriptions();
    void FreeIfUnused();
};

// Runs an event record directly. Objects that fire often cache the record they get through
// EventLinkChanged, so an event without subscribers costs only the null test here.
bool FireEventInfo(tEventInfo* event, void* argument, const EventHandler& defaultHandler);
inline bool FireCachedEvent(tEventInfo* event, void* argument) {
    return event != nullptr && FireEventInfo(event, argument, EventHandler());
}

// From inside a handler: runs the rest of the chain and the default handler at once.
void CallNextHandlers(EventFrame& frame);

// The process-wide interning of event names: id = position + 1, in order of first use.
std::uint16_t InternEventName(std::string_view name);
// The name of an id; 0 or an unknown id reads back as the empty name.
std::string_view EventNameOf(std::uint16_t id);
// The id of a name already interned, else 0.
std::uint16_t FindEventName(std::string_view name);

} // namespace zarvo
