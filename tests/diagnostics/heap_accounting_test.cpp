// The accounted heap under operator new: counters, alignment, the walk and the class names of
// framework objects.
#include "diagnostics/heap_accounting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "library/sobject.h"

using namespace zarvo;

namespace {

class tNamedProbe : public tSObject {};

struct alignas(64) tWideBlock {
    char Bytes[100];
};

struct tFound {
    explicit tFound(const void* wanted) : Wanted(wanted) {}
    const void* Wanted;
    bool Seen = false;
    std::size_t Size = 0;
    char Name[128] = ""; // the walk must not allocate
};

// Makes the pointer escape, so the compiler cannot drop a new and delete pair.
void Keep(const void* block) {
    asm volatile("" : : "r"(block) : "memory");
}

void FindBlock(const tHeapBlock& block, void* context) {
    auto* found = static_cast<tFound*>(context);
    if (block.Address != found->Wanted)
        return;
    found->Seen = true;
    found->Size = block.Size;
    if (block.Namer)
        block.Namer(block.Address, found->Name, sizeof found->Name);
}

class HeapAccounting : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HeapAccountingActive())
            GTEST_SKIP() << "the sanitizers' allocator keeps no block list";
        StartHeapAccounting();
    }
};

} // namespace

// Catches counters that drift: a block or its bytes not counted, or not given back.
TEST_F(HeapAccounting, CountersFollowEveryFormOfNewAndDelete) {
    const tHeapTotals before = HeapTotals();
    char* plain = new char[37];
    auto* wide = new tWideBlock;
    auto* quiet = new (std::nothrow) std::uint64_t(7);
    Keep(plain);
    Keep(wide);
    Keep(quiet);
    const tHeapTotals during = HeapTotals();
    delete quiet;
    delete wide;
    delete[] plain;
    const tHeapTotals after = HeapTotals();
    EXPECT_EQ(during.Blocks - before.Blocks, 3u);
    EXPECT_EQ(during.Bytes - before.Bytes, 37u + sizeof(tWideBlock) + sizeof(std::uint64_t));
    EXPECT_EQ(after.Blocks, before.Blocks) << "expected every block given back";
    EXPECT_EQ(after.Bytes, before.Bytes);
}

// Catches an over-aligned type placed off its alignment behind the block header.
TEST_F(HeapAccounting, OverAlignedBlocksKeepTheirAlignment) {
    for (int i = 0; i < 8; ++i) {
        auto wide = std::make_unique<tWideBlock>();
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(wide.get()) % 64, 0u)
            << "expected a 64-byte aligned address";
    }
}

// Catches a framework object's block without its class name, a plain block with one, and a
// freed block still walked.
TEST_F(HeapAccounting, WalkNamesFrameworkObjectsAndForgetsFreedBlocks) {
    tObjectPtr<tNamedProbe> object = MakeObject<tNamedProbe>();
    auto plain = std::make_unique<char[]>(24);

    tFound found{object.get()};
    WalkReportedBlocks(FindBlock, &found);
    EXPECT_TRUE(found.Seen) << "expected the object's block in the walk";
    EXPECT_EQ(found.Size, sizeof(tNamedProbe));
    EXPECT_STREQ(found.Name, "(anonymous namespace)::tNamedProbe");

    tFound plainFound{plain.get()};
    WalkReportedBlocks(FindBlock, &plainFound);
    EXPECT_TRUE(plainFound.Seen);
    EXPECT_EQ(plainFound.Size, 24u);
    EXPECT_STREQ(plainFound.Name, "") << "expected no class name for a plain block";

    const void* gone = object.get();
    object.reset();
    tFound freed{gone};
    WalkReportedBlocks(FindBlock, &freed);
    EXPECT_FALSE(freed.Seen) << "expected a freed block out of the list";
}
