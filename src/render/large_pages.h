#pragma once
// Memory for large pixel blocks (a 4096 x 2048 image, a 4K render, a PNG's rows)
// in transparent huge pages where the system offers them. Touching fresh memory
// 4 KiB at a time costs a page fault each; for a 25 MB image on a virtual machine
// that was half of a whole 4K render's time. Blocks from 4 MiB up are mapped on
// their own, 2 MiB aligned and marked for huge pages; smaller ones come from the
// heap as usual. Freed blocks go back to the system at once.

#include <cstddef>
#include <new>

namespace chronvale {

inline constexpr std::size_t kLargeBlockBytes = std::size_t{4} << 20;

// A block of at least `bytes`; throws std::bad_alloc when there is no memory.
void* allocateLarge(std::size_t bytes);
// Frees a block from allocateLarge with the same `bytes`.
void freeLarge(void* block, std::size_t bytes) noexcept;

// For std::vector: large vectors live in huge pages.
template <typename T> struct LargePageAllocator {
    using value_type = T;
    LargePageAllocator() = default;
    template <typename U> LargePageAllocator(const LargePageAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return static_cast<T*>(allocateLarge(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { freeLarge(p, n * sizeof(T)); }
    template <typename U> bool operator==(const LargePageAllocator<U>&) const noexcept {
        return true;
    }
};

} // namespace chronvale
