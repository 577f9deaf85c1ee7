// Heap accounting for the leak report: every block taken through operator new carries a small
// header linking it into one list, so that the blocks still allocated at the end can be
// counted, walked and named.
#pragma once

#include <cstddef>

// Sanitizer builds keep their own allocator (the thread sanitizer's takes operator new too):
// the accounting stands aside there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || defined(ZARVO_SANITIZE)
#define ZARVO_HEAP_ACCOUNTING 0
#else
#define ZARVO_HEAP_ACCOUNTING 1
#endif

namespace zarvo {

// Writes the class name of the object a block holds into Name (at most Capacity bytes, the
// terminating zero included). Blocks of framework objects carry one.
using tBlockNamer = void (*)(const void* block, char* name, std::size_t capacity);

// Whether this build counts and lists its blocks.
bool HeapAccountingActive();

// The allocator behind operator new. A null result only from TryAllocateHeapBlock.
void* AllocateHeapBlock(std::size_t size, tBlockNamer namer = nullptr);
void* TryAllocateHeapBlock(std::size_t size, tBlockNamer namer = nullptr) noexcept;
void* TryAllocateAlignedHeapBlock(std::size_t size, std::size_t alignment) noexcept;
void ReleaseHeapBlock(void* block) noexcept;
void ReleaseAlignedHeapBlock(void* block, std::size_t alignment) noexcept;

// From here on, new blocks are the program's own. Blocks made before (static initialisation,
// the runtime's own start-up) are counted but never reported.
void StartHeapAccounting();

struct tHeapTotals {
    std::size_t Blocks = 0;
    std::size_t Bytes = 0;
};

// Every block still allocated, reported or not.
tHeapTotals HeapTotals();

struct tHeapBlock {
    const void* Address = nullptr;
    std::size_t Size = 0;
    tBlockNamer Namer = nullptr;
};

// Calls Visit for every reported block still allocated, oldest first. The heap is locked
// meanwhile: Visit must not use operator new or delete (malloc is fine).
using tHeapVisitor = void (*)(const tHeapBlock& block, void* context);
void WalkReportedBlocks(tHeapVisitor visit, void* context);

} // namespace zarvo
