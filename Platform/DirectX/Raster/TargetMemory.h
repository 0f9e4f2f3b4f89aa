// Memory for a target's pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace raster {

struct FreeTargetMemory {
    std::size_t mappedBytes = 0;  // 0: a block of the heap
    void operator()(std::uint8_t* memory) const;
};
using TargetMemory = std::unique_ptr<std::uint8_t[], FreeTargetMemory>;

// `bytes` of zeroed memory, its start on a cache line. Blocks of a few
// megabytes and more are fresh pages of the system, on huge pages where it
// offers them: each row a triangle touches lies on a page of its own, and
// with small pages a large target's rows miss the address translation
// caches. Such pages cost no memory until first written, so a huge screen's
// target holds only what has been drawn. Throws std::bad_alloc.
TargetMemory AllocateTargetMemory(std::size_t bytes);

}  // namespace raster
