// Named events of tSObject: order, Handled, default handlers, link notices, the free event,
// and the lifetime paths where a subscriber or the owner dies while an event fires.
#include "library/events.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diagnostics/pending_error.h"
#include "library/sobject.h"
#include "library/validity.h"

namespace zarvo {
namespace {

constexpr std::string_view kPing = "PING00001";

std::vector<std::string> gLog;

// A subscriber that logs its calls and can be told to act from inside a handler.
class tProbe : public tSObject {
  public:
    explicit tProbe(std::string name) : Name(std::move(name)) {}
    ~tProbe() override { gLog.push_back("~" + Name); }

    void OnEvent(EventFrame& frame) {
        gLog.push_back(Name);
        if (SetHandled)
            frame.Handled = true;
        if (CallNext)
            CallNextHandlers(frame);
        if (UnsubscribeFrom != nullptr)
            UnsubscribeFrom->Unsubscribe(kPing, Handler());
        if (FreeVictim != nullptr) {
            tSObject* victim = FreeVictim;
            FreeVictim = nullptr;
            FreeObject(victim); // last: the victim may be this probe
        }
    }
    void OnDefault(EventFrame&) { gLog.push_back(Name + ":default"); }
    EventHandler Handler() { return BindHandler<&tProbe::OnEvent>(this); }
    EventHandler Default() { return BindHandler<&tProbe::OnDefault>(this); }

    void EventLinkChanged(std::string_view name, tEventInfo* info) override {
        Links.push_back(std::string(name) + (info != nullptr ? "+" : "-"));
        if (name == kPing)
            Cached = info;
    }

    std::string Name;
    bool SetHandled = false;
    bool CallNext = false;
    tSObject* FreeVictim = nullptr;
    tSObject* UnsubscribeFrom = nullptr;
    std::vector<std::string> Links;
    tEventInfo* Cached = nullptr;
};

int ChainLength(tSObject& object, std::string_view name) {
    tEventInfo* event = object.FindEvent(name);
    int n = 0;
    for (tHandlerNode* node = event != nullptr ? event->Chain : nullptr; node; node = node->Next)
        ++n;
    return n;
}

class EventsTest : public ::testing::Test {
  protected:
    void SetUp() override { gLog.clear(); }
    void TearDown() override { ClearError(); }
};

// Catches handlers run oldest-first or the default run before (or without) the chain.
TEST_F(EventsTest, HandlersRunNewestFirstThenDefault) {
    tProbe owner("owner"), a("a"), b("b"), c("c");
    for (tProbe* p : {&a, &b, &c})
        ASSERT_TRUE(owner.Subscribe(kPing, p->Handler()));
    EXPECT_FALSE(owner.FireEvent(kPing, nullptr, owner.Default()));
    EXPECT_EQ(gLog, (std::vector<std::string>{"c", "b", "a", "owner:default"}))
        << "expected newest subscriber first and the default handler last";
}

struct HandledCase {
    const char* What;
    int HandledBy; // index of the probe that sets Handled: 0 a (oldest), 2 c (newest), -1 none
    std::vector<std::string> Expected;
    bool Result;
};

class EventsHandledTest : public EventsTest, public ::testing::WithParamInterface<HandledCase> {};

// Catches a chain that goes on after Handled, skips the default unasked, or misreports Handled.
TEST_P(EventsHandledTest, HandledStopsTheChainAndTheDefault) {
    const HandledCase& test = GetParam();
    tProbe owner("owner"), a("a"), b("b"), c("c");
    tProbe* probes[] = {&a, &b, &c};
    for (tProbe* p : probes)
        owner.Subscribe(kPing, p->Handler());
    if (test.HandledBy >= 0)
        probes[test.HandledBy]->SetHandled = true;
    EXPECT_EQ(owner.FireEvent(kPing, nullptr, owner.Default()), test.Result) << test.What;
    EXPECT_EQ(gLog, test.Expected) << test.What;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EventsHandledTest,
    ::testing::Values(HandledCase{"nobody handles", -1, {"c", "b", "a", "owner:default"}, false},
                      HandledCase{"newest handles", 2, {"c"}, true},
                      HandledCase{"middle handles", 1, {"c", "b"}, true},
                      HandledCase{"oldest handles", 0, {"c", "b", "a"}, true}));

// Catches CallNextHandlers that misses the rest, or a walk that runs handlers twice after it.
TEST_F(EventsTest, CallNextHandlersRunsTheRestOnce) {
    tProbe owner("owner"), a("a"), b("b"), c("c");
    for (tProbe* p : {&a, &b, &c})
        owner.Subscribe(kPing, p->Handler());
    c.CallNext = true;
    owner.FireEvent(kPing, nullptr, owner.Default());
    EXPECT_EQ(gLog, (std::vector<std::string>{"c", "b", "a", "owner:default"}))
        << "expected b, a and the default once each, from inside c";
}

// Catches a default handler skipped when the object has no list or no such event.
TEST_F(EventsTest, DefaultRunsWithoutSubscribers) {
    tProbe owner("owner"), other("other");
    owner.FireEvent(kPing, nullptr, owner.Default());
    owner.Subscribe("OTHER0001", other.Handler());
    owner.FireEvent(kPing, nullptr, owner.Default());
    EXPECT_EQ(gLog, (std::vector<std::string>{"owner:default", "owner:default"}));
}

// Catches duplicate nodes, or names matched without regard to letter case.
TEST_F(EventsTest, SameHandlerOnceAndNamesExact) {
    tProbe owner("owner"), a("a");
    owner.Subscribe(evnObjectFree, a.Handler());
    owner.Subscribe(evnObjectFree, a.Handler());
    EXPECT_EQ(ChainLength(owner, evnObjectFree), 1) << "expected one node for the same handler";
    EXPECT_EQ(owner.FindEvent("9xpb7lckw"), nullptr) << "expected lower case to be another event";
    owner.FireEvent("9xpb7lckw", nullptr);
    EXPECT_TRUE(gLog.empty()) << "expected no handler for the lower-case name";
    owner.Unsubscribe(evnObjectFree, a.Handler());
}

// Catches a walk broken by a handler removing itself, or an emptied node never purged.
TEST_F(EventsTest, UnsubscribeDuringFiringIsSafe) {
    tProbe owner("owner"), a("a"), b("b");
    owner.Subscribe(kPing, a.Handler());
    owner.Subscribe(kPing, b.Handler());
    b.UnsubscribeFrom = &owner;
    owner.FireEvent(kPing, nullptr);
    EXPECT_EQ(gLog, (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(ChainLength(owner, kPing), 1) << "expected b's node purged after the firing";
    gLog.clear();
    owner.FireEvent(kPing, nullptr);
    EXPECT_EQ(gLog, (std::vector<std::string>{"a"}));
}

// Catches a cached record left dangling or a link notice missed on first and last subscriber.
TEST_F(EventsTest, LinkChangedTracksFirstAndLastSubscriber) {
    tProbe owner("owner"), a("a");
    EXPECT_FALSE(FireCachedEvent(owner.Cached, nullptr));
    owner.Subscribe(kPing, a.Handler());
    ASSERT_NE(owner.Cached, nullptr) << "expected the record on the first subscription";
    EXPECT_EQ(owner.Cached, owner.FindEvent(kPing));
    FireCachedEvent(owner.Cached, nullptr);
    EXPECT_EQ(gLog, (std::vector<std::string>{"a"}));
    owner.Unsubscribe(kPing, a.Handler());
    EXPECT_EQ(owner.Cached, nullptr) << "expected the record cleared with the last subscriber";
    EXPECT_EQ(owner.Links, (std::vector<std::string>{"PING00001+", "PING00001-"}));
}

// Catches a free event not fired, fired with the wrong argument, or fired twice.
TEST_F(EventsTest, FreeFiresTheFreeEventOnce) {
    auto* dying = new tProbe("dying");
    tProbe watcher("watcher");
    void* seen = nullptr;
    int calls = 0;
    struct tSeen {
        void** Slot;
        int* Calls;
    } context{&seen, &calls};
    EventHandler handler(
        [](void* data, EventFrame& frame) {
            auto* c = static_cast<tSeen*>(data);
            *c->Slot = frame.Argument;
            ++*c->Calls;
        },
        static_cast<void*>(&context));
    dying->Subscribe(evnObjectFree, handler);
    EXPECT_TRUE(FreeObject(dying));
    EXPECT_EQ(seen, static_cast<void*>(dying)) << "expected the object itself as argument";
    EXPECT_EQ(calls, 1) << "expected one free event";
}

// Catches a freed subscriber left in a chain, which the next firing would call.
TEST_F(EventsTest, FreedSubscriberLeavesTheChain) {
    tProbe owner("owner");
    auto* a = new tProbe("a");
    owner.Subscribe(kPing, a->Handler());
    FreeObject(a);
    EXPECT_EQ(owner.FindEvent(kPing), nullptr) << "expected the emptied event removed";
    EXPECT_EQ(owner.Cached, nullptr);
    gLog.clear();
    owner.FireEvent(kPing, nullptr);
    EXPECT_TRUE(gLog.empty());
}

// Catches a subscriber freed while the event fires being called after its death (ASan).
TEST_F(EventsTest, SubscriberFreedWhileItsEventFires) {
    tProbe owner("owner"), killer("killer"), last("last");
    auto* victim = new tProbe("victim");
    owner.Subscribe(kPing, last.Handler());
    owner.Subscribe(kPing, victim->Handler());
    owner.Subscribe(kPing, killer.Handler());
    killer.FreeVictim = victim;
    owner.FireEvent(kPing, nullptr, owner.Default());
    EXPECT_EQ(gLog, (std::vector<std::string>{"killer", "~victim", "last", "owner:default"}))
        << "expected the freed subscriber skipped and the walk to go on";
    EXPECT_EQ(ChainLength(owner, kPing), 2);
}

// Catches a handler that frees its own subscriber breaking the walk (ASan).
TEST_F(EventsTest, SubscriberFreesItselfWhileFiring) {
    tProbe owner("owner"), last("last");
    auto* self = new tProbe("self");
    owner.Subscribe(kPing, last.Handler());
    owner.Subscribe(kPing, self->Handler());
    self->FreeVictim = self;
    owner.FireEvent(kPing, nullptr);
    EXPECT_EQ(gLog, (std::vector<std::string>{"self", "~self", "last"}));
    EXPECT_EQ(ChainLength(owner, kPing), 1);
}

// Catches use of the owner, its list or its records after it is freed by a handler of its own
// event (ASan); the rest of the chain and the default, which may reach the owner, are skipped.
TEST_F(EventsTest, OwnerFreedWhileFiringItsOwnEvent) {
    tProbe killer("killer"), later("later");
    auto* owner = new tProbe("owner");
    owner->Subscribe(kPing, later.Handler());
    owner->Subscribe(kPing, killer.Handler());
    killer.FreeVictim = owner;
    EXPECT_FALSE(owner->FireEvent(kPing, nullptr, owner->Default()));
    EXPECT_EQ(gLog, (std::vector<std::string>{"killer", "~owner"}));
    // Through the cached record as well.
    gLog.clear();
    owner = new tProbe("owner");
    owner->Subscribe(kPing, killer.Handler());
    killer.FreeVictim = owner;
    FireCachedEvent(owner->Cached, nullptr);
    EXPECT_EQ(gLog, (std::vector<std::string>{"killer", "~owner"}));
}

// Catches a record that keeps following a subscriber after the owner died (ASan on its free).
TEST_F(EventsTest, OwnerFreedBeforeSubscriber) {
    auto* owner = new tProbe("owner");
    auto* a = new tProbe("a");
    owner->Subscribe(kPing, a->Handler());
    FreeObject(owner);
    EXPECT_EQ(a->EventList(), nullptr) << "expected the subscriber's free-event link gone";
    FreeObject(a);
}

// Catches a veto that still destroys the object, or a later free that stays silent.
TEST_F(EventsTest, FreeHookMayVeto) {
    static bool veto = true;
    static tFreeHook previous = nullptr;
    previous = SetFreeHook([](tSObject* object) { return previous(object) && !veto; });
    auto* object = new tProbe("kept");
    tProbe watcher("watcher");
    object->Subscribe(evnObjectFree, watcher.Handler());
    EXPECT_FALSE(FreeObject(object)) << "expected the veto to keep the object";
    EXPECT_EQ(gLog, (std::vector<std::string>{"watcher"}));
    veto = false;
    SetFreeHook(previous);
    object->Subscribe(evnObjectFree, watcher.Handler());
    EXPECT_TRUE(FreeObject(object));
    EXPECT_EQ(gLog, (std::vector<std::string>{"watcher", "watcher", "~kept"}));
}

// Catches a plain delete that leaves subscribers pointing at the dead object.
TEST_F(EventsTest, PlainDeleteStillTellsSubscribers) {
    tProbe owner("owner");
    auto* a = new tProbe("a");
    owner.Subscribe(kPing, a->Handler());
    delete a;
    EXPECT_EQ(owner.FindEvent(kPing), nullptr);
}

// Catches a bus that is not shared or does not deliver.
TEST_F(EventsTest, GlobalEventsIsOneBus) {
    tProbe a("a");
    ASSERT_TRUE(Subscribe(kPing, a.Handler()));
    EXPECT_EQ(GlobalEvents(), GlobalEvents());
    GlobalEvents()->FireEvent(kPing, nullptr);
    EXPECT_TRUE(Unsubscribe(kPing, a.Handler()));
    GlobalEvents()->FireEvent(kPing, nullptr);
    EXPECT_EQ(gLog, (std::vector<std::string>{"a"}));
}

// Catches interning that renumbers names or reads unknown ids as garbage.
TEST_F(EventsTest, DictionaryInternsInFirstUseOrder) {
    std::uint16_t first = InternEventName("DICT00002");
    std::uint16_t second = InternEventName("DICT00001");
    EXPECT_EQ(second, first + 1) << "expected ids in order of first use";
    EXPECT_EQ(InternEventName("DICT00002"), first);
    EXPECT_EQ(FindEventName("DICT00001"), second);
    EXPECT_EQ(EventNameOf(first), "DICT00002");
    EXPECT_EQ(EventNameOf(0), "");
    EXPECT_EQ(EventNameOf(60000), "");
}

// Catches messages that bypass "G55CF0WK0" subscribers, or are not stopped by them.
TEST_F(EventsTest, DispatchGoesThroughTheMessageEvent) {
    struct tCounting : tSObject {
        int Seen = 0;
        void DispatchMessage(tMessage&) override { ++Seen; }
    } object;
    tProbe filter("filter");
    tMessage message;
    object.Dispatch(message);
    object.Subscribe(evnPlatformMessage, filter.Handler());
    filter.SetHandled = true;
    object.Dispatch(message);
    EXPECT_EQ(object.Seen, 1) << "expected the handled message kept from the ordinary dispatch";
    EXPECT_EQ(gLog, (std::vector<std::string>{"filter"}));
}

class tFailing : public tSObject {
  public:
    explicit tFailing(bool ok) : Ok(ok) {}
    ~tFailing() override { ++Freed; }
    bool Valid(std::uint16_t command) override { return tSObject::Valid(command) && Ok; }
    bool Ok;
    static inline int Freed = 0;
};

struct ValidateCase {
    const char* What;
    bool Make;
    bool Ok;
    bool PendingError;
    bool Expected;
};

class ValidateRefTest : public EventsTest, public ::testing::WithParamInterface<ValidateCase> {};

// Catches an invalid object kept (or leaked), or a valid one freed.
TEST_P(ValidateRefTest, KeepsValidFreesInvalid) {
    const ValidateCase& test = GetParam();
    tFailing::Freed = 0;
    if (test.PendingError)
        PostAppError(1, "x");
    tFailing* raw = test.Make ? new tFailing(test.Ok) : nullptr;
    EXPECT_EQ(ValidateRef(raw), test.Expected) << test.What;
    EXPECT_EQ(raw != nullptr, test.Expected) << test.What << ": reference";
    EXPECT_EQ(tFailing::Freed, test.Make && !test.Expected ? 1 : 0) << test.What << ": freed";
    delete raw;
    tFailing::Freed = 0;
    tObjectPtr<tFailing> owned(test.Make ? new tFailing(test.Ok) : nullptr);
    EXPECT_EQ(ValidateRef(owned), test.Expected) << test.What << " (tObjectPtr)";
    EXPECT_EQ(owned != nullptr, test.Expected) << test.What << " (tObjectPtr)";
    EXPECT_EQ(tFailing::Freed, test.Make && !test.Expected ? 1 : 0) << test.What;
}

INSTANTIATE_TEST_SUITE_P(Cases, ValidateRefTest,
                         ::testing::Values(ValidateCase{"null", false, true, false, false},
                                           ValidateCase{"valid", true, true, false, true},
                                           ValidateCase{"invalid", true, false, false, false},
                                           ValidateCase{"error pending", true, true, true, false}));

// Catches an object freed again from inside its own free event, which would destroy it twice
// (a checking build stops at the second free).
TEST(FreeObjectTest, FreeFromInsideItsOwnFreeIsStopped) {
#ifdef NDEBUG
    GTEST_SKIP() << "only a checking build can stop it; a release build would destroy it twice";
#else
    EXPECT_DEATH(
        {
            auto* object = new tSObject;
            object->Subscribe(evnObjectFree, EventHandler(
                                                 +[](void* data, EventFrame&) {
                                                     FreeObject(static_cast<tSObject*>(data));
                                                 },
                                                 static_cast<void*>(object)));
            FreeObject(object);
        },
        "object freed twice");
#endif
}

} // namespace
} // namespace zarvo
