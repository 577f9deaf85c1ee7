// Tests of tArray, tSortedArray and tStringArray: limits, run-time errors, disposal order and
// the binary search with and without duplicates.
#include "library/array.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "library/run_error.h"
#include "platform/cp866.h"

namespace zarvo {
namespace {

// Records the items it disposes of instead of freeing them.
class tRecordingArray : public tArray {
  public:
    using tArray::tArray;
    ~tRecordingArray() override { FreeAll(); }
    void FreeItem(void* item) override { Freed.push_back(item); }
    std::vector<void*> Freed;
};

// Items are ints owned by the test; keys are the ints.
class tIntArray : public tSortedArray {
  public:
    using tSortedArray::tSortedArray;
    ~tIntArray() override { DeleteAllWithoutFree(); }
    void FreeItem(void*) override {}
    int Compare(const void* a, const void* b) const override {
        return *static_cast<const int*>(a) - *static_cast<const int*>(b);
    }
    void DeleteAllWithoutFree() {
        while (Count() > 0)
            DeleteAt(0);
    }
};

int RunErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ESRunError& error) {
        return error.Number;
    }
    return 0;
}

int slots[8];

// Catches limits that are not enforced or errors that are not raised with the right number.
TEST(ArrayLimits, CapacityIsClampedAndMisuseRaisesRunErrors) {
    tRecordingArray array(0, 0);
    array.SetCapacity(20000);
    EXPECT_EQ(array.Capacity(), kMaxArraySize) << "expected the capacity clamped to 16380";

    tRecordingArray small(3, 0);
    for (int i = 0; i < 3; ++i)
        small.Insert(&slots[i]);
    small.SetCapacity(0);
    EXPECT_EQ(small.Capacity(), 3) << "expected SetCapacity never to drop items";

    struct tCase {
        const char* What;
        std::function<void()> Action;
        int Expected;
    } cases[] = {
        {"insert into a full array with GrowBy 0", [&] { small.InsertAt(3, &slots[4]); }, 214},
        {"ItemAt(-1)", [&] { small.ItemAt(-1); }, 213},
        {"ItemAt(Count)", [&] { small.ItemAt(3); }, 213},
        {"InsertAt past Count", [&] { small.InsertAt(5, &slots[4]); }, 213},
        {"Delete of an absent item", [&] { small.Delete(&slots[7]); }, 213},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunErrorOf(c.Action), c.Expected) << c.What;
        EXPECT_EQ(small.Count(), 3) << c.What << ": expected the array unchanged";
    }
    EXPECT_EQ(small.ItemAt(2), &slots[2]) << "expected items unchanged after the errors";
}

// Catches FreeAll disposing in the wrong order, dropping the capacity, or keeping the count.
TEST(ArrayFreeAll, DisposesFirstToLastAndKeepsCapacity) {
    tRecordingArray array(4, 4);
    for (int i = 0; i < 5; ++i)
        array.Insert(&slots[i]);
    std::int16_t capacity = array.Capacity();
    array.FreeAll();
    EXPECT_EQ(array.Freed,
              (std::vector<void*>{&slots[0], &slots[1], &slots[2], &slots[3], &slots[4]}))
        << "expected items disposed of in index order";
    EXPECT_EQ(array.Count(), 0);
    EXPECT_EQ(array.Capacity(), capacity) << "expected the capacity kept";
}

// Catches a wrong insert point or IndexOf losing an exact pointer among equal keys.
TEST(SortedArraySearch, DuplicatesGoBeforeTheirEqualsAndAreFoundByPointer) {
    int fives[3] = {5, 5, 5};
    int others[2] = {3, 9};
    tIntArray array(0, 4);
    array.Duplicates = true;
    array.Insert(&others[0]);
    array.Insert(&others[1]);
    for (auto& five : fives) {
        ASSERT_TRUE(array.Insert(&five));
        EXPECT_EQ(array.ItemAt(1), &five) << "expected a duplicate placed before its equals";
    }
    for (auto& five : fives) {
        std::int16_t index = array.IndexOf(&five);
        ASSERT_GE(index, 0);
        EXPECT_EQ(array.ItemAt(index), &five) << "expected IndexOf to find the exact pointer";
    }
    int stranger = 5;
    EXPECT_EQ(array.IndexOf(&stranger), -1) << "expected an equal key but other pointer absent";
}

// Catches a sorted array without duplicates accepting an equal key.
TEST(SortedArraySearch, WithoutDuplicatesAnEqualKeyIsRefused) {
    int keys[] = {7, 2, 5};
    int again = 5;
    tIntArray array(0, 4);
    for (auto& key : keys)
        array.Insert(&key);
    EXPECT_FALSE(array.Insert(&again)) << "expected the equal key refused";
    EXPECT_EQ(array.Count(), 3) << "expected Count unchanged";
    std::int16_t index = -1;
    EXPECT_TRUE(array.Search(&again, index));
    EXPECT_EQ(index, 1) << "expected 5 between 2 and 7";
    EXPECT_EQ(array.IndexOf(&keys[2]), 1);
    int missing = 6;
    EXPECT_FALSE(array.Search(&missing, index));
    EXPECT_EQ(index, 2) << "expected the insert point of 6";
}

// Catches signed-char comparison (Cyrillic before Latin) and a wrong prefix rule.
TEST(StringArray, ComparesBytesUnsignedWithShorterFirst) {
    tStringArray array(0, 4);
    for (std::string_view text : {"яблоко"_oem, "ab"_oem, "a"_oem, "Б"_oem, "ab"_oem})
        array.InsertStr(text);
    ASSERT_EQ(array.Count(), 4) << "expected the second \"ab\" refused";
    EXPECT_EQ(array.StrAt(0), "a");
    EXPECT_EQ(array.StrAt(1), "ab");
    EXPECT_EQ(array.StrAt(2), "Б"_oem) << "expected CP866 letters after Latin ones";
    EXPECT_EQ(array.StrAt(3), "яблоко"_oem);
}

} // namespace
} // namespace zarvo
