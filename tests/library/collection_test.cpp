// The collection family: growth and limits, run-time errors 213 to 215, disposal order,
// sorted search with and without duplicates, and the order of the typed collections.
#include "library/collection.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "library/collection_files.h"
#include "library/collection_records.h"
#include "library/collection_strings.h"
#include "library/run_error.h"
#include "platform/cp866.h"

namespace zarvo {
namespace {

std::vector<int> gFreed;

class tItem : public tSObject {
  public:
    explicit tItem(int id) : Id(id) {}
    ~tItem() override { gFreed.push_back(Id); }
    int Id;
};

// A sorted collection of tItem ordered by Id (as the key).
class tIdCollection : public tSortedCollection {
  public:
    using tSortedCollection::tSortedCollection;
    int Compare(const void* key1, const void* key2) override {
        return static_cast<const tItem*>(key1)->Id - static_cast<const tItem*>(key2)->Id;
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

class CollectionTest : public ::testing::Test {
  protected:
    void SetUp() override { gFreed.clear(); }
};

struct CapacityCase {
    const char* What;
    int Initial;
    int Items;
    int Requested;
    int Expected;
};

class SetCapacityTest : public ::testing::TestWithParam<CapacityCase> {};

// Catches capacity below Count, above 16380, or changed when it should not be.
TEST_P(SetCapacityTest, ClampsToCountAndLimit) {
    const CapacityCase& test = GetParam();
    tTempCollection c(std::int16_t(test.Initial), 0);
    for (int i = 0; i < test.Items; ++i)
        c.Insert(nullptr);
    c.SetCapacity(test.Requested);
    EXPECT_EQ(c.Capacity, test.Expected) << test.What;
    EXPECT_EQ(c.Count, test.Items) << test.What;
    EXPECT_EQ(c.Items == nullptr, test.Expected == 0) << test.What;
}

INSTANTIATE_TEST_SUITE_P(Cases, SetCapacityTest,
                         ::testing::Values(CapacityCase{"past the limit", 0, 0, 20000, 16380},
                                           CapacityCase{"below count", 3, 3, 0, 3},
                                           CapacityCase{"to zero", 5, 0, 0, 0},
                                           CapacityCase{"negative", 5, 0, -4, 0},
                                           CapacityCase{"grow", 2, 2, 10, 10}));

// Catches growth by the wrong step or items lost when the array moves.
TEST_F(CollectionTest, GrowsByGrowByAndKeepsItems) {
    tTempCollection c(2, 3);
    int values[6];
    for (int& v : values)
        c.Insert(&v);
    EXPECT_EQ(c.Capacity, 8) << "expected 2, then 5, then 8 slots";
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(c.ItemAt(std::int16_t(i)), &values[i]);
}

// Catches a full collection overrunning 16380 slots instead of stopping with error 214.
TEST_F(CollectionTest, StopsAtTheLimit) {
    tTempCollection c(kMaxCollectionSize - 1, 10);
    for (int i = 0; i < kMaxCollectionSize; ++i)
        c.Insert(nullptr);
    EXPECT_EQ(c.Capacity, kMaxCollectionSize);
    EXPECT_EQ(RunErrorOf([&] { c.Insert(nullptr); }), 214);
    EXPECT_EQ(c.Count, kMaxCollectionSize);
}

struct ErrorCase {
    const char* What;
    std::function<void(tTempCollection&)> Action;
    int Expected;
};

// Catches bad indexes and a collection that cannot grow passing silently.
TEST_F(CollectionTest, RunTimeErrors) {
    int x = 0;
    const ErrorCase cases[] = {
        {"ItemAt(-1)", [](tTempCollection& c) { c.ItemAt(-1); }, 213},
        {"ItemAt(Count)", [](tTempCollection& c) { c.ItemAt(c.Count); }, 213},
        {"DeleteAt(Count)", [](tTempCollection& c) { c.DeleteAt(c.Count); }, 213},
        {"ReplaceAt(-1)", [&](tTempCollection& c) { c.ReplaceAt(-1, &x); }, 213},
        {"InsertAt(Count + 1)", [&](tTempCollection& c) { c.InsertAt(c.Count + 1, &x); }, 213},
        {"Delete of an absent item", [&](tTempCollection& c) { c.Delete(&x); }, 213},
        {"InsertAt(Count) when full with GrowBy 0",
         [&](tTempCollection& c) { c.InsertAt(c.Count, &x); }, 214},
    };
    for (const ErrorCase& test : cases) {
        int a = 1, b = 2;
        tTempCollection c(2, 0);
        c.Insert(&a);
        c.Insert(&b);
        EXPECT_EQ(RunErrorOf([&] { test.Action(c); }), test.Expected) << test.What;
        ASSERT_EQ(c.Count, 2) << test.What << ": expected the collection unchanged";
        EXPECT_EQ(c.ItemAt(0), &a) << test.What;
        EXPECT_EQ(c.ItemAt(1), &b) << test.What;
        EXPECT_EQ(c.Capacity, 2) << test.What;
    }
}

// Catches error codes mapped to the wrong run-time error numbers.
TEST_F(CollectionTest, ErrorCodesMapToRunTimeErrors) {
    const struct {
        std::int16_t Code;
        int Expected;
    } cases[] = {{coIndexError, 213}, {coOverflow, 214}, {coAllocationError, 215}};
    for (auto& test : cases) {
        tTempCollection c(0, 0);
        EXPECT_EQ(RunErrorOf([&] { c.Error(test.Code, 0); }), test.Expected) << test.Code;
    }
}

// Catches items freed out of order, twice, or not at all.
TEST_F(CollectionTest, DisposalOrderAndOwnership) {
    {
        tCollection c(4, 4);
        for (int i = 1; i <= 4; ++i)
            c.Insert(new tItem(i));
        auto* kept = static_cast<tItem*>(c.ItemAt(1));
        c.Delete(kept);
        EXPECT_TRUE(gFreed.empty()) << "expected Delete not to dispose of the item";
        c.DeleteAndFree(c.ItemAt(0));
        EXPECT_EQ(gFreed, (std::vector<int>{1}));
        c.FreeAll();
        EXPECT_EQ(gFreed, (std::vector<int>{1, 3, 4})) << "expected first to last";
        c.Insert(kept);
    }
    EXPECT_EQ(gFreed, (std::vector<int>{1, 3, 4, 2})) << "expected the rest freed with it";
    gFreed.clear();
    {
        tItem outside(9);
        tTempCollection temp(1, 1);
        temp.Insert(&outside);
    }
    EXPECT_EQ(gFreed, (std::vector<int>{9})) << "expected the temp collection to free nothing";
}

// Catches FindFirst/FindLast searching from the wrong end.
TEST_F(CollectionTest, FindFirstAndLast) {
    tTempCollection c(4, 0);
    int v[4] = {1, 2, 3, 4};
    for (int& x : v)
        c.Insert(&x);
    auto even = [](void* p) { return *static_cast<int*>(p) % 2 == 0; };
    EXPECT_EQ(c.FindFirst(even), &v[1]);
    EXPECT_EQ(c.FindLast(even), &v[3]);
    EXPECT_EQ(c.FindFirst([](void*) { return false; }), nullptr);
}

// Catches Valid(1000) that ignores the items, or Valid(0) that asks them.
TEST_F(CollectionTest, Valid1000AsksTheItems) {
    struct tBad : tSObject {
        bool Valid(std::uint16_t command) override { return command != 0; }
    };
    tCollection c(1, 1);
    c.Insert(new tBad);
    EXPECT_TRUE(c.Valid(0));
    EXPECT_FALSE(c.Valid(1000)) << "expected the invalid item to count";
}

// Insert keys in order; each case gives the resulting Ids and refused count.
struct SortedCase {
    const char* What;
    bool Duplicates;
    std::vector<int> Keys;
    std::vector<int> ExpectedOrder;
    int Refused;
};

class SortedInsertTest : public ::testing::TestWithParam<SortedCase> {};

// Catches unsorted insertion, duplicates kept or refused wrongly, and refused items freed.
TEST_P(SortedInsertTest, InsertsInKeyOrder) {
    const SortedCase& test = GetParam();
    tIdCollection c(4, 4);
    c.Duplicates = test.Duplicates;
    int refused = 0;
    for (int key : test.Keys) {
        auto* item = new tItem(key);
        if (!c.Insert(item)) {
            ++refused;
            delete item; // still the caller's
        }
    }
    std::vector<int> order;
    for (std::int16_t i = 0; i < c.Count; ++i)
        order.push_back(static_cast<tItem*>(c.ItemAt(i))->Id);
    EXPECT_EQ(order, test.ExpectedOrder) << test.What;
    EXPECT_EQ(refused, test.Refused) << test.What;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SortedInsertTest,
    ::testing::Values(SortedCase{"unique", false, {5, 1, 9, 3}, {1, 3, 5, 9}, 0},
                      SortedCase{"equal key refused", false, {5, 1, 5, 1}, {1, 5}, 2},
                      SortedCase{"duplicates kept", true, {5, 1, 5, 1}, {1, 1, 5, 5}, 0}));

// Catches Search giving a non-leftmost duplicate or a wrong insertion point.
TEST_F(CollectionTest, SearchFindsPlaceWithAndWithoutDuplicates) {
    for (bool duplicates : {false, true}) {
        tIdCollection c(8, 8);
        c.Duplicates = duplicates;
        for (int key : {2, 4, 4, 4, 6}) {
            auto* item = new tItem(key);
            if (!c.Insert(item))
                delete item;
        }
        struct {
            int Key;
            bool Found;
            int IndexUnique;
            int IndexDuplicates;
        } const cases[] = {{1, false, 0, 0}, {2, true, 0, 0}, {3, false, 1, 1}, {4, true, 1, 1},
                           {5, false, 2, 4}, {6, true, 2, 4}, {7, false, 3, 5}};
        for (auto& test : cases) {
            tItem key(test.Key);
            std::int16_t index = -9;
            EXPECT_EQ(c.Search(&key, index), test.Found) << "key " << test.Key;
            EXPECT_EQ(index, duplicates ? test.IndexDuplicates : test.IndexUnique)
                << "key " << test.Key << (duplicates ? " with" : " without") << " duplicates";
        }
        gFreed.clear();
    }
}

// Catches a new duplicate placed after equal keys, or IndexOf missing the exact pointer.
TEST_F(CollectionTest, DuplicatesGoFirstAndIndexOfFindsEachPointer) {
    tIdCollection c(4, 4);
    c.Duplicates = true;
    tItem* fives[3];
    for (tItem*& item : fives) {
        item = new tItem(5);
        c.Insert(item);
        EXPECT_EQ(c.ItemAt(0), item) << "expected each new 5 at the index of the first 5";
    }
    for (tItem* item : fives)
        EXPECT_EQ(c.ItemAt(c.IndexOf(item)), item);
    tItem stranger(5);
    EXPECT_EQ(c.IndexOf(&stranger), -1) << "expected an equal key that is not present to miss";
}

// Catches case-insensitive or signed-byte ordering of the string collections, and texts
// longer than a short string kept whole.
TEST_F(CollectionTest, StringCollectionsOrderBytes) {
    tStringCollection strings(4, 4);
    tStrCollection strs(4, 4);
    for (std::string_view s : {"b"_oem, "B"_oem, "Яблоко"_oem, "abc"_oem, "ab"_oem}) {
        EXPECT_TRUE(strings.InsertText(s));
        EXPECT_TRUE(strs.InsertText(s));
    }
    EXPECT_FALSE(strings.InsertText("ab")) << "expected an equal text refused";
    const std::vector<std::string> expected = {"B", "ab", "abc", "b", std::string("Яблоко"_oem)};
    for (std::int16_t i = 0; i < strings.Count; ++i) {
        EXPECT_EQ(strings.TextAt(i), expected[std::size_t(i)]);
        EXPECT_STREQ(strs.TextAt(i), expected[std::size_t(i)].c_str());
    }
    std::int16_t index = 0;
    EXPECT_TRUE(strings.SearchText("abc", index));
    EXPECT_EQ(index, 2);
    EXPECT_TRUE(strings.InsertText(std::string(300, 'z')));
    ASSERT_TRUE(strings.SearchText(std::string(255, 'z'), index))
        << "expected the text cut to 255 characters";
}

// Catches a key read from the wrong offset or compared with letter case.
TEST_F(CollectionTest, NRCollectionSortsByKeyIgnoringCase) {
    tNRCollection c(8, 8, 6);
    for (std::string_view key : {"tView"_oem, "TApplication"_oem, "tgroup"_oem}) {
        std::uint8_t* record = c.NewRecord(key);
        record[0] = 42;
        ASSERT_TRUE(c.Insert(record));
    }
    std::uint8_t* same = c.NewRecord("TVIEW");
    EXPECT_FALSE(c.Insert(same)) << "expected TVIEW to equal tView";
    c.FreeItem(same);
    std::vector<std::string_view> keys;
    for (std::int16_t i = 0; i < c.Count; ++i)
        keys.push_back(tNRCollection::KeyText(c.KeyOf(c.ItemAt(i))));
    EXPECT_EQ(keys, (std::vector<std::string_view>{"TApplication", "tgroup", "tView"}));
    EXPECT_EQ(c.RecordSize(c.ItemAt(0)), 6u + 1 + 12);
}

// Catches ".." or directories out of place, and entries lost because their names differ
// only in letter case.
TEST_F(CollectionTest, FileCollectionOrderAndCaseTies) {
    TFileCollection c(8, 8);
    auto add = [&](const char* name, bool directory) {
        auto* rec = new tSearchRec{name, directory ? S_IFDIR | 0755u : S_IFREG | 0644u, 0, 0};
        EXPECT_TRUE(c.Insert(rec)) << "expected " << name << " kept";
        return rec;
    };
    add("readme", false);
    tSearchRec* upper = add("README", false);
    add("..", true);
    add("docs", true);
    add("Makefile", false);
    tSearchRec* lower = add("makefile", false);
    std::vector<std::string> names;
    for (std::int16_t i = 0; i < c.Count; ++i)
        names.push_back(static_cast<tSearchRec*>(c.ItemAt(i))->Name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"Makefile", "makefile", "README", "readme", "docs", ".."}));
    EXPECT_EQ(c.ItemAt(c.IndexOf(upper)), upper);
    EXPECT_EQ(c.ItemAt(c.IndexOf(lower)), lower);
    void* up = c.ItemAt(c.Count - 1);
    EXPECT_EQ(c.IndexOf(up), c.Count - 1) << "expected .. to be found again";
    c.DeleteAndFree(up);
    tSearchRec second{"..", S_IFDIR | 0755u, 0, 0};
    EXPECT_TRUE(c.Insert(new tSearchRec(second)));
    EXPECT_FALSE(c.Insert(&second)) << "expected a second .. refused";
}

// Catches fixed-size records allocated with the wrong size or left unfreed (ASan).
TEST_F(CollectionTest, RCollectionRecords) {
    tRCollection c(2, 2, 12);
    std::uint8_t* record = c.NewRecord();
    record[11] = 7;
    c.Insert(record);
    EXPECT_EQ(static_cast<std::uint8_t*>(c.ItemAt(0))[11], 7);
    EXPECT_EQ(c.StoreID(), 55);
}

} // namespace
} // namespace zarvo
