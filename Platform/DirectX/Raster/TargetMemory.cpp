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

}  // namespace

void FreeTargetMemory::operator()(std::uint8_t* memory) const {
    std::free(memory);
}

TargetMemory AllocateTargetMemory(std::size_t bytes) {
    const std::size_t alignment = bytes >= kHugePage ? kHugePage : kCacheLine;
    const std::size_t size = RoundUp(bytes > 0 ? bytes : 1, alignment);
    void* memory = std::aligned_alloc(alignment, size);
    if (memory == nullptr) throw std::bad_alloc();
    // Only advice: without huge pages the memory is as good, if slower.
    if (alignment == kHugePage) madvise(memory, size, MADV_HUGEPAGE);
    std::memset(memory, 0, size);
    return TargetMemory(static_cast<std::uint8_t*>(memory));
}

}  // namespace raster
