// The block list behind operator new: a header before every block, one lock, two counters.
// All state is constant-initialised, so it works before any constructor runs and after every
// destructor has run.
#include "diagnostics/heap_accounting.h"

#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace zarvo {

#if ZARVO_HEAP_ACCOUNTING

namespace {

struct tBlockHeader {
    tBlockHeader* Prev;
    tBlockHeader* Next;
    std::size_t Size; // with kUnreported in the top bit
    tBlockNamer Namer;
};

// The header keeps the block at the allocator's default alignment.
static_assert(sizeof(tBlockHeader) % __STDCPP_DEFAULT_NEW_ALIGNMENT__ == 0);
constexpr std::size_t kHeaderSize = sizeof(tBlockHeader);
constexpr std::size_t kUnreported = std::size_t(1) << (sizeof(std::size_t) * 8 - 1);

// The ring's anchor: Next is the oldest block, Prev the newest.
tBlockHeader gAnchor = {&gAnchor, &gAnchor, 0, nullptr};
pthread_mutex_t gLock = PTHREAD_MUTEX_INITIALIZER;
std::size_t gBlocks = 0;
std::size_t gBytes = 0;
std::atomic<bool> gStarted{false};

class tHeapLock {
  public:
    tHeapLock() { pthread_mutex_lock(&gLock); }
    ~tHeapLock() { pthread_mutex_unlock(&gLock); }
    tHeapLock(const tHeapLock&) = delete;
    tHeapLock& operator=(const tHeapLock&) = delete;
};

// A fork while another thread holds the lock must not leave the child's heap locked.
void LockForFork() {
    pthread_mutex_lock(&gLock);
}
void UnlockAfterFork() {
    pthread_mutex_unlock(&gLock);
}
[[gnu::constructor]] void InstallForkHandlers() {
    pthread_atfork(LockForFork, UnlockAfterFork, UnlockAfterFork);
}

void* Link(void* raw, std::size_t front, std::size_t size, tBlockNamer namer) {
    auto* header = reinterpret_cast<tBlockHeader*>(static_cast<char*>(raw) + front - kHeaderSize);
    header->Size = size | (gStarted.load(std::memory_order_relaxed) ? 0 : kUnreported);
    header->Namer = namer;
    {
        tHeapLock lock;
        header->Next = &gAnchor;
        header->Prev = gAnchor.Prev;
        gAnchor.Prev->Next = header;
        gAnchor.Prev = header;
        ++gBlocks;
        gBytes += size;
    }
    return static_cast<char*>(raw) + front;
}

// Unlinks the block and answers where its memory starts.
void* Unlink(void* block, std::size_t front) {
    auto* header = reinterpret_cast<tBlockHeader*>(static_cast<char*>(block) - kHeaderSize);
    {
        tHeapLock lock;
        header->Prev->Next = header->Next;
        header->Next->Prev = header->Prev;
        --gBlocks;
        gBytes -= header->Size & ~kUnreported;
    }
    return static_cast<char*>(block) - front;
}

std::size_t FrontFor(std::size_t alignment) {
    return (kHeaderSize + alignment - 1) / alignment * alignment;
}

} // namespace

bool HeapAccountingActive() {
    return true;
}

void* TryAllocateHeapBlock(std::size_t size, tBlockNamer namer) noexcept {
    if (size > kUnreported - kHeaderSize)
        return nullptr;
    void* raw = std::malloc(kHeaderSize + size);
    return raw ? Link(raw, kHeaderSize, size, namer) : nullptr;
}

void* AllocateHeapBlock(std::size_t size, tBlockNamer namer) {
    for (;;) {
        if (void* block = TryAllocateHeapBlock(size, namer))
            return block;
        std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw std::bad_alloc();
        handler();
    }
}

void* TryAllocateAlignedHeapBlock(std::size_t size, std::size_t alignment) noexcept {
    if (alignment < alignof(tBlockHeader))
        alignment = alignof(tBlockHeader);
    const std::size_t front = FrontFor(alignment);
    if (size > kUnreported - front)
        return nullptr;
    void* raw = nullptr;
    if (posix_memalign(&raw, alignment, front + size) != 0)
        return nullptr;
    return Link(raw, front, size, nullptr);
}

void ReleaseHeapBlock(void* block) noexcept {
    if (block)
        std::free(Unlink(block, kHeaderSize));
}

void ReleaseAlignedHeapBlock(void* block, std::size_t alignment) noexcept {
    if (alignment < alignof(tBlockHeader))
        alignment = alignof(tBlockHeader);
    if (block)
        std::free(Unlink(block, FrontFor(alignment)));
}

void StartHeapAccounting() {
    gStarted.store(true, std::memory_order_relaxed);
}

tHeapTotals HeapTotals() {
    tHeapLock lock;
    return {gBlocks, gBytes};
}

void WalkReportedBlocks(tHeapVisitor visit, void* context) {
    tHeapLock lock;
    for (tBlockHeader* header = gAnchor.Next; header != &gAnchor; header = header->Next) {
        if (header->Size & kUnreported)
            continue;
        visit({reinterpret_cast<char*>(header) + kHeaderSize, header->Size, header->Namer},
              context);
    }
}

#else // the sanitizers' allocator stands in; nothing is counted

bool HeapAccountingActive() {
    return false;
}
void* AllocateHeapBlock(std::size_t size, tBlockNamer) {
    return ::operator new(size);
}
void* TryAllocateHeapBlock(std::size_t size, tBlockNamer) noexcept {
    return ::operator new(size, std::nothrow);
}
void* TryAllocateAlignedHeapBlock(std::size_t size, std::size_t alignment) noexcept {
    return ::operator new(size, std::align_val_t(alignment), std::nothrow);
}
void ReleaseHeapBlock(void* block) noexcept {
    ::operator delete(block);
}
void ReleaseAlignedHeapBlock(void* block, std::size_t alignment) noexcept {
    ::operator delete(block, std::align_val_t(alignment));
}
void StartHeapAccounting() {}
tHeapTotals HeapTotals() {
    return {};
}
void WalkReportedBlocks(tHeapVisitor, void*) {}

#endif

} // namespace zarvo
