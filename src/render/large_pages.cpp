#include "render/large_pages.h"

#include <cstdint>
#include <sys/mman.h>

namespace chronvale {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t roundUp(std::size_t bytes) {
    return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

} // namespace

void* allocateLarge(std::size_t bytes) {
    if (bytes < kLargeBlockBytes) {
        return ::operator new(bytes);
    }
    const std::size_t size = roundUp(bytes);
    if (size < bytes) {
        throw std::bad_alloc();
    }
    // Map a huge page more than needed, then cut it down to an aligned block.
    const std::size_t mapped = size + kHugePage;
    void* raw = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
    if (aligned > start) {
        ::munmap(raw, aligned - start);
    }
    const std::uintptr_t end = start + mapped;
    if (end > aligned + size) {
        ::munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    }
    auto* block = reinterpret_cast<void*>(aligned);
    ::madvise(block, size, MADV_HUGEPAGE); // a hint: without huge pages it still works
    return block;
}

void freeLarge(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) {
        return;
    }
    if (bytes < kLargeBlockBytes) {
        ::operator delete(block);
        return;
    }
    ::munmap(block, roundUp(bytes));
}

} // namespace chronvale
