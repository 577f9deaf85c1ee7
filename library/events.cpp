// Named events: the name dictionary, the per-object event lists and the walk of a firing.
// Removal during a firing only empties nodes, and records outlive their owner until the
// outermost operation on them ends, so handlers may free subscribers or the owner itself.
#include "library/events.h"

#include <algorithm>
#include <cassert>
#include <deque>
#include <new>
#include <string>

#include "library/sobject.h"

namespace zarvo {

namespace {

bool gDictionaryGone = false;

// Names live as long as the process; `Index` keeps the ids ordered by name.
struct tEventDictionary {
    std::deque<std::string> Names;
    std::vector<std::uint16_t> Index;

    ~tEventDictionary() { gDictionaryGone = true; }

    std::string_view Name(std::uint16_t id) const {
        return id == 0 || id > Names.size() ? std::string_view() : std::string_view(Names[id - 1]);
    }
    std::vector<std::uint16_t>::const_iterator LowerBound(std::string_view name) const {
        return std::lower_bound(
            Index.begin(), Index.end(), name,
            [this](std::uint16_t id, std::string_view key) { return Name(id).compare(key) < 0; });
    }
};

tEventDictionary* Dictionary() {
    static tEventDictionary dictionary;
    return gDictionaryGone ? nullptr : &dictionary;
}

} // namespace

std::uint16_t InternEventName(std::string_view name) {
    tEventDictionary* dictionary = Dictionary();
    if (dictionary == nullptr || name.empty())
        return 0;
    auto place = dictionary->LowerBound(name);
    if (place != dictionary->Index.end() && dictionary->Name(*place) == name)
        return *place;
    if (dictionary->Names.size() >= 0xFFFF)
        return 0;
    dictionary->Names.emplace_back(name);
    auto id = std::uint16_t(dictionary->Names.size());
    dictionary->Index.insert(place, id);
    return id;
}

std::string_view EventNameOf(std::uint16_t id) {
    tEventDictionary* dictionary = Dictionary();
    return dictionary == nullptr ? std::string_view() : dictionary->Name(id);
}

std::uint16_t FindEventName(std::string_view name) {
    tEventDictionary* dictionary = Dictionary();
    if (dictionary == nullptr)
        return 0;
    auto place = dictionary->LowerBound(name);
    return place != dictionary->Index.end() && dictionary->Name(*place) == name ? *place : 0;
}

// Holds an event's nesting count; the end of the outermost hold purges and may free it.
class tEventNesting {
  public:
    explicit tEventNesting(tEventInfo* event) : m_Event(event) { ++event->Nesting; }
    ~tEventNesting() {
        tEventInfo* event = m_Event;
        assert(event->Nesting > 0 && "event nesting count out of balance");
        if (event->Nesting > 1 || (!(event->Flags & tEventInfo::efPurge) &&
                                   event->OwnerList != nullptr && event->Chain != nullptr))
            --event->Nesting;
        else
            event->EndNesting();
    }
    tEventNesting(const tEventNesting&) = delete;
    tEventNesting& operator=(const tEventNesting&) = delete;

  private:
    tEventInfo* m_Event;
};

// Holds a list's busy mark; the end of the outermost mark frees a detached or empty list.
class tEventListBusy {
  public:
    explicit tEventListBusy(tEventList* list) : m_List(list) { ++list->Busy; }
    ~tEventListBusy() {
        assert(m_List->Busy > 0 && "event list busy mark out of balance");
        --m_List->Busy;
        m_List->FreeIfUnused();
    }
    tEventListBusy(const tEventListBusy&) = delete;
    tEventListBusy& operator=(const tEventListBusy&) = delete;

  private:
    tEventList* m_List;
};

namespace {

void LinkChangedDefault(void* data, EventFrame& frame) {
    auto* link = static_cast<tEventLinkInfo*>(frame.Argument);
    static_cast<tSObject*>(data)->EventLinkChanged(link->Name, link->Info);
}

// "H7ST026R5" on the owner; its default handler tells the owner's EventLinkChanged.
void AnnounceLink(tSObject* owner, std::string_view name, tEventInfo* info) {
    tEventLinkInfo link{name, info};
    owner->FireEvent(evnLinkChanged, &link,
                     EventHandler(&LinkChangedDefault, static_cast<void*>(owner)));
}

// An event whose owner was freed: a walk over it stops, since later handlers and the default
// handler may reach the owner.
bool IsOrphaned(const tEventInfo* event) {
    return event->OwnerList == nullptr || event->OwnerList->Owner == nullptr;
}

void RunDefault(EventFrame& frame) {
    EventHandler handler = frame.Default;
    frame.Default = EventHandler();
    handler.Code(handler.Data, frame);
}

inline void Walk(EventFrame& frame) {
    tEventInfo* event = frame.Event;
    while (!frame.Handled && frame.Current != nullptr) {
        const EventHandler& handler = frame.Current->Handler;
        if (handler.Code != nullptr && !(handler == frame.Default)) {
            handler.Code(handler.Data, frame);
            if (IsOrphaned(event))
                return;
        }
        if (!frame.Handled && frame.Current != nullptr)
            frame.Current = frame.Current->Next;
    }
    if (!frame.Handled && !frame.Default.IsEmpty())
        RunDefault(frame);
}

} // namespace

// ---- tEventInfo

std::string_view tEventInfo::Name() const {
    return EventNameOf(EventId);
}

tSObject* tEventInfo::Owner() const {
    return OwnerList != nullptr ? OwnerList->Owner : nullptr;
}

bool tEventInfo::IsEmpty() const {
    for (const tHandlerNode* node = Chain; node != nullptr; node = node->Next)
        if (node->Handler.Code != nullptr)
            return false;
    return true;
}

tEventInfo::~tEventInfo() {
    while (Chain != nullptr) {
        tHandlerNode* node = Chain;
        Chain = node->Next;
        if (node->Handler.Code != nullptr && node->Watching) {
            tSObject* object = node->Handler.Object;
            node->Handler = EventHandler();
            if (!HasObject(object))
                UnwatchObject(object);
        }
        delete node;
    }
}

bool tEventInfo::HasObject(const tSObject* object) const {
    for (const tHandlerNode* node = Chain; node != nullptr; node = node->Next)
        if (node->Handler.Code != nullptr && node->Handler.Object == object)
            return true;
    return false;
}

bool tEventInfo::AddHandler(const EventHandler& handler) {
    for (const tHandlerNode* node = Chain; node != nullptr; node = node->Next)
        if (node->Handler.Code != nullptr && node->Handler == handler)
            return true;
    auto* node = new (std::nothrow) tHandlerNode{handler, Chain, false};
    if (node == nullptr)
        return false;
    tSObject* object = handler.Object;
    bool watchNeeded = object != nullptr && object != Owner() && !HasObject(object);
    Chain = node;
    if (object != nullptr && object == Owner()) {
        Flags |= efSelfSubscribed;
    } else if (object != nullptr) {
        node->Watching = true;
        if (watchNeeded)
            WatchObject(object);
    }
    return true;
}

bool tEventInfo::RemoveHandler(const EventHandler& handler) {
    tHandlerNode* node = Chain;
    while (node != nullptr && !(node->Handler.Code != nullptr && node->Handler == handler))
        node = node->Next;
    if (node == nullptr)
        return false;
    tSObject* object = node->Handler.Object;
    bool watching = node->Watching;
    node->Handler = EventHandler();
    Flags |= efPurge;
    if (object == nullptr || HasObject(object))
        return true;
    if (object == Owner())
        Flags &= std::uint8_t(~efSelfSubscribed);
    else if (watching)
        UnwatchObject(object);
    return true;
}

void tEventInfo::RemoveObjectNodes(const tSObject* object) {
    for (tHandlerNode* node = Chain; node != nullptr; node = node->Next) {
        if (node->Handler.Code != nullptr &&
            (node->Handler.Object == object || node->Handler.Data == object)) {
            node->Handler = EventHandler();
            Flags |= efPurge;
        }
    }
    if (object == Owner())
        Flags &= std::uint8_t(~efSelfSubscribed);
}

void tEventInfo::WatchObject(tSObject* object) {
    object->Subscribe(evnObjectFree, EventHandler(&OnSubscriberFreed, static_cast<void*>(this)));
}

void tEventInfo::UnwatchObject(tSObject* object) {
    object->Unsubscribe(evnObjectFree, EventHandler(&OnSubscriberFreed, static_cast<void*>(this)));
}

void tEventInfo::OnSubscriberFreed(void* data, EventFrame& frame) {
    auto* event = static_cast<tEventInfo*>(data);
    auto* dying = static_cast<tSObject*>(frame.Argument);
    tEventNesting hold(event);
    event->RemoveObjectNodes(dying);
    // The free may yet be vetoed; the dying object must not keep a link to this record.
    event->UnwatchObject(dying);
}

void tEventInfo::Purge() {
    Flags &= std::uint8_t(~efPurge);
    tHandlerNode** link = &Chain;
    while (*link != nullptr) {
        tHandlerNode* node = *link;
        if (node->Handler.Code == nullptr) {
            *link = node->Next;
            delete node;
        } else {
            link = &node->Next;
        }
    }
}

void tEventInfo::EndNesting() {
    assert(Nesting > 0 && "event nesting count out of balance");
    if (--Nesting > 0)
        return;
    // The common case, a firing of a live event with nothing to purge, ends here.
    if (!(Flags & efPurge) && OwnerList != nullptr && Chain != nullptr)
        return;
    if (Flags & efPurge)
        Purge();
    if (OwnerList != nullptr && Chain != nullptr)
        return;
    if (OwnerList != nullptr)
        OwnerList->RemoveEvent(this);
    delete this;
}

// ---- tEventList

tEventList::~tEventList() {
    tSObject* owner = Owner;
    if (owner != nullptr && owner->m_EventList == this)
        owner->m_EventList = nullptr;
    Owner = nullptr;
    std::vector<tEventInfo*> events = std::move(Events);
    Events.clear();
    for (tEventInfo* event : events) {
        event->OwnerList = nullptr;
        if (owner != nullptr)
            AnnounceLink(owner, event->Name(), nullptr);
        if (event->Nesting == 0)
            delete event;
    }
}

tEventInfo* tEventList::Find(std::string_view name, std::size_t* position) const {
    std::size_t low = 0;
    std::size_t high = Events.size();
    while (low < high) {
        std::size_t mid = (low + high) / 2;
        int c = Events[mid]->Name().compare(name);
        if (c == 0) {
            if (position != nullptr)
                *position = mid;
            return Events[mid];
        }
        if (c < 0)
            low = mid + 1;
        else
            high = mid;
    }
    if (position != nullptr)
        *position = low;
    return nullptr;
}

tEventInfo* tEventList::AddEvent(std::string_view name, std::size_t position) {
    std::uint16_t id = InternEventName(name);
    if (id == 0)
        return nullptr;
    auto* event = new (std::nothrow) tEventInfo(id);
    if (event == nullptr)
        return nullptr;
    event->OwnerList = this;
    Events.insert(Events.begin() + std::ptrdiff_t(position), event);
    return event;
}

void tEventList::RemoveEvent(tEventInfo* event) {
    tEventListBusy busy(this);
    auto place = std::find(Events.begin(), Events.end(), event);
    if (place != Events.end())
        Events.erase(place);
    event->OwnerList = nullptr;
    if (Owner != nullptr)
        AnnounceLink(Owner, event->Name(), nullptr);
}

void tEventList::Detach() {
    tSObject* owner = Owner;
    if (owner == nullptr)
        return;
    if (owner->m_EventList == this)
        owner->m_EventList = nullptr;
    Owner = nullptr;
    // The records stay until the operations on them end, but the owner's caches go now.
    std::vector<tEventInfo*> events = Events;
    for (tEventInfo* event : events)
        AnnounceLink(owner, event->Name(), nullptr);
}

void tEventList::EndSelfSubscriptions() {
    std::vector<tEventInfo*> events;
    for (tEventInfo* event : Events)
        if (event->Flags & tEventInfo::efSelfSubscribed)
            events.push_back(event);
    // Every event is held until all have lost their nodes: removing one may fire another.
    std::deque<tEventNesting> holds;
    for (tEventInfo* event : events)
        holds.emplace_back(event);
    for (tEventInfo* event : events)
        event->RemoveObjectNodes(Owner);
}

void tEventList::FreeIfUnused() {
    if (Busy == 0 && (Owner == nullptr || Events.empty()))
        delete this;
}

// ---- firing

bool FireEventInfo(tEventInfo* event, void* argument, const EventHandler& defaultHandler) {
    tEventNesting hold(event);
    EventFrame frame;
    frame.Argument = argument;
    frame.Default = defaultHandler;
    frame.Event = event;
    frame.Starting = false;
    frame.Current = event->Chain;
    Walk(frame);
    return frame.Handled;
}

void CallNextHandlers(EventFrame& frame) {
    if (frame.Event == nullptr) {
        if (!frame.Handled && !frame.Default.IsEmpty())
            RunDefault(frame);
        return;
    }
    if (frame.Starting) {
        frame.Starting = false;
        frame.Current = frame.Event->Chain;
    } else if (frame.Current != nullptr) {
        frame.Current = frame.Current->Next;
    }
    Walk(frame);
}

// ---- tSObject's event operations

bool tSObject::Subscribe(std::string_view name, const EventHandler& handler) {
    if (handler.IsEmpty())
        return false;
    if (m_EventList == nullptr) {
        m_EventList = new (std::nothrow) tEventList(this);
        if (m_EventList == nullptr)
            return false;
    }
    tEventList* list = m_EventList;
    tEventListBusy busy(list);
    std::size_t position = 0;
    tEventInfo* event = list->Find(name, &position);
    if (event != nullptr) {
        tEventNesting hold(event);
        return event->AddHandler(handler);
    }
    event = list->AddEvent(name, position);
    if (event == nullptr)
        return false;
    tEventNesting hold(event);
    AnnounceLink(this, name, event);
    return event->AddHandler(handler);
}

bool tSObject::Unsubscribe(std::string_view name, const EventHandler& handler) {
    tEventList* list = m_EventList;
    if (list == nullptr)
        return false;
    tEventListBusy busy(list);
    tEventInfo* event = list->Find(name);
    if (event == nullptr)
        return false;
    tEventNesting hold(event);
    return event->RemoveHandler(handler);
}

tEventInfo* tSObject::FindEvent(std::string_view name) const {
    return m_EventList != nullptr ? m_EventList->Find(name) : nullptr;
}

bool tSObject::FireEvent(std::string_view name, void* argument,
                         const EventHandler& defaultHandler) {
    tEventList* list = m_EventList;
    tEventInfo* event = nullptr;
    if (list == nullptr || (event = list->Find(name)) == nullptr) {
        if (defaultHandler.IsEmpty())
            return false;
        EventFrame frame;
        frame.Argument = argument;
        frame.Starting = false;
        frame.Default = defaultHandler;
        RunDefault(frame);
        return frame.Handled;
    }
    tEventListBusy busy(list);
    bool handled = FireEventInfo(event, argument, defaultHandler);
    if (argument == static_cast<void*>(this) && list->Owner == this && name == evnObjectFree)
        list->EndSelfSubscriptions();
    return handled;
}

} // namespace zarvo
