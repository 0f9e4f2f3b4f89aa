#include "Platform/DirectX/Raster/TargetMemory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace raster {
namespace {

constexpr std::size_t kCacheLine = 64;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

// A huge page's worth more than asked for is mapped, and what lies before
// and after the first huge page boundary is given back.
std::uint8_t* MapOnHugePageBoundary(std::size_t size) {
    void* mapped =
        mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    auto* first = static_cast<std::uint8_t*>(mapped);
    auto* start =
        reinterpret_cast<std::uint8_t*>(RoundUp(reinterpret_cast<std::uintptr_t>(first), kHugePage));
    if (start > first) munmap(first, static_cast<std::size_t>(start - first));
    const std::size_t after = static_cast<std::size_t>(first + size + kHugePage - (start + size));
    if (after > 0) munmap(start + size, after);
    // Only advice: without huge pages the memory is as good, if slower.
    madvise(start, size, MADV_HUGEPAGE);
    return start;
}

}  // namespace

void FreeTargetMemory::operator()(std::uint8_t* memory) const {
    if (mappedBytes > 0)
        munmap(memory, mappedBytes);
    else
        std::free(memory);
}

TargetMemory AllocateTargetMemory(std::size_t bytes) {
    if (bytes >= kHugePage) {
        const std::size_t size = RoundUp(bytes, kHugePage);
        return TargetMemory(MapOnHugePageBoundary(size), FreeTargetMemory{size});
    }
    const std::size_t size = RoundUp(bytes > 0 ? bytes : 1, kCacheLine);
    void* memory = std::aligned_alloc(kCacheLine, size);
    if (memory == nullptr) throw std::bad_alloc();
    std::memset(memory, 0, size);
    return TargetMemory(static_cast<std::uint8_t*>(memory));
}

}  // namespace raster
