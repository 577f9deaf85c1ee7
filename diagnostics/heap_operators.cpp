// The program's global operator new and delete: every form goes through the accounted heap,
// so the leak report sees each block the program allocates.
#include <cstddef>
#include <new>

#include "diagnostics/heap_accounting.h"

#if ZARVO_HEAP_ACCOUNTING

using zarvo::AllocateHeapBlock;
using zarvo::ReleaseAlignedHeapBlock;
using zarvo::ReleaseHeapBlock;
using zarvo::TryAllocateAlignedHeapBlock;
using zarvo::TryAllocateHeapBlock;

namespace {

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
    for (;;) {
        if (void* block = TryAllocateAlignedHeapBlock(size, std::size_t(alignment)))
            return block;
        std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw std::bad_alloc();
        handler();
    }
}

void* TryAllocateAligned(std::size_t size, std::align_val_t alignment) noexcept {
    try {
        return AllocateAligned(size, alignment);
    } catch (...) {
        return nullptr;
    }
}

void* TryAllocate(std::size_t size) noexcept {
    try {
        return AllocateHeapBlock(size);
    } catch (...) {
        return nullptr;
    }
}

} // namespace

void* operator new(std::size_t size) {
    return AllocateHeapBlock(size);
}
void* operator new[](std::size_t size) {
    return AllocateHeapBlock(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return TryAllocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return TryAllocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return AllocateAligned(size, alignment);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return TryAllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return TryAllocateAligned(size, alignment);
}

void operator delete(void* block) noexcept {
    ReleaseHeapBlock(block);
}
void operator delete[](void* block) noexcept {
    ReleaseHeapBlock(block);
}
void operator delete(void* block, std::size_t) noexcept {
    ReleaseHeapBlock(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    ReleaseHeapBlock(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    ReleaseHeapBlock(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    ReleaseHeapBlock(block);
}
void operator delete(void* block, std::align_val_t alignment) noexcept {
    ReleaseAlignedHeapBlock(block, std::size_t(alignment));
}
void operator delete[](void* block, std::align_val_t alignment) noexcept {
    ReleaseAlignedHeapBlock(block, std::size_t(alignment));
}
void operator delete(void* block, std::size_t, std::align_val_t alignment) noexcept {
    ReleaseAlignedHeapBlock(block, std::size_t(alignment));
}
void operator delete[](void* block, std::size_t, std::align_val_t alignment) noexcept {
    ReleaseAlignedHeapBlock(block, std::size_t(alignment));
}
void operator delete(void* block, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    ReleaseAlignedHeapBlock(block, std::size_t(alignment));
}
void operator delete[](void* block, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    ReleaseAlignedHeapBlock(block, std::size_t(alignment));
}

#endif
