// Memory for a target's pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace raster {

struct FreeTargetMemory {
    void operator()(std::uint8_t* memory) const;
};
using TargetMemory = std::unique_ptr<std::uint8_t[], FreeTargetMemory>;

// `bytes` of zeroed memory, its start on a cache line. Blocks of a few
// megabytes and more lie on huge pages where the system offers them: each
// row a triangle touches lies on a page of its own, and with small pages a
// large target's rows miss the address translation caches. Throws
// std::bad_alloc.
TargetMemory AllocateTargetMemory(std::size_t bytes);

}  // namespace raster
