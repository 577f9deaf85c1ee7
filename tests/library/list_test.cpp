// Tests of tList: index errors, names and their policies, sorting by name, ownership and the
// optional lock.
#include "library/list.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/cp866.h"

namespace zarvo {
namespace {

std::string ListErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EListError& error) {
        return error.what();
    }
    return {};
}

int slots[4];

// Catches misuse that goes unreported or reports the wrong text.
TEST(ListErrors, MisuseRaisesTheListTexts) {
    tList plain;
    plain.Add(&slots[0]);
    tList named;
    named.SetOption(loNamed, true);
    named.DuplicateNames = tDuplicateNames::Error;
    named.AddNamed(&slots[0], "one");
    struct tCase {
        const char* What;
        std::function<void()> Action;
        std::string_view Expected;
    } cases[] = {
        {"index -1", [&] { plain.ItemAt(-1); }, "Индекс списка вне границ"_oem},
        {"index Count", [&] { plain.DeleteAt(1); }, "Индекс списка вне границ"_oem},
        {"AddNamed without names", [&] { plain.AddNamed(&slots[1], "x"); },
         "Операция допустима только для списка с именами"_oem},
        {"duplicate name under the error policy", [&] { named.AddNamed(&slots[1], "ONE"); },
         "Невозможно повторение строк в списке"_oem},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ListErrorOf(c.Action), c.Expected) << c.What;
    EXPECT_EQ(named.Count(), 1) << "expected the refused name not added";
}

// Catches the ignore policy adding a second entry, or sorting losing the item-name pairing.
TEST(ListNames, IgnorePolicyAndSortedOrder) {
    tList list;
    list.SetOption(loSorted, true);
    EXPECT_TRUE(list.HasOption(loNamed)) << "expected sorting to turn names on";
    list.DuplicateNames = tDuplicateNames::Ignore;
    list.AddNamed(&slots[0], "delta");
    list.AddNamed(&slots[1], "Alpha");
    list.AddNamed(&slots[2], "charlie");
    EXPECT_EQ(list.AddNamed(&slots[3], "ALPHA"), 0) << "expected the existing index answered";
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.NameAt(0), "Alpha");
    EXPECT_EQ(list.ItemAt(1), &slots[2]) << "expected charlie's item to travel with its name";
    EXPECT_EQ(list.NameAt(2), "delta");
    list.SetOption(loNamed, false);
    EXPECT_FALSE(list.HasOption(loSorted)) << "expected clearing names to end sorting";
    EXPECT_EQ(list.IndexOfName("delta"), -1);
}

// Catches a queue that leaks or double-frees its records when they are deleted or cut off.
TEST(ListOwnership, OwningListDeletesWhatLeavesIt) {
    static int alive = 0;
    struct tRecord {
        tRecord() { ++alive; }
        ~tRecord() { --alive; }
    };
    {
        tOwningList<tRecord> queue(1024);
        queue.Duplicates = true;
        for (int i = 0; i < 5; ++i)
            queue.Add(new tRecord);
        queue.DeleteAt(0);
        EXPECT_EQ(alive, 4);
        delete static_cast<tRecord*>(queue.Extract(0));
        queue.SetCount(1);
        EXPECT_EQ(alive, 1) << "expected SetCount to dispose of the items cut off";
        EXPECT_EQ(queue.Capacity(), 1024);
    }
    EXPECT_EQ(alive, 0) << "expected the list to dispose of the rest when destroyed";
}

// Catches a lock made for a single-threaded list, or a locked list losing items under load.
TEST(ListLock, OnlyMultiThreadListsLockAndTheyKeepEveryItem) {
    tList single;
    single.Lock();
    single.Unlock();
    EXPECT_FALSE(single.HasLockObject()) << "expected no section without MultiThread";

    tList shared;
    shared.MultiThread = true;
    shared.Duplicates = true;
    auto producer = [&shared] {
        for (int i = 0; i < 2000; ++i) {
            tListLock guard(shared);
            shared.Add(&slots[0]);
        }
    };
    std::thread first(producer), second(producer);
    first.join();
    second.join();
    EXPECT_TRUE(shared.HasLockObject());
    EXPECT_EQ(shared.Count(), 4000) << "expected every add from both threads kept";
}

} // namespace
} // namespace zarvo
