// Target memory starts on a cache line, reads as zero and is all usable, at every size.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Platform/DirectX/Raster/TargetMemory.h"
#include "RasterTestSupport.h"

namespace raster::test {
namespace {

TEST(TargetMemoryTest, StartsOnACacheLineZeroedAtEverySize) {
    // Below, at and above the size from which huge pages are asked for.
    for (const std::size_t bytes : {std::size_t{1}, std::size_t{100}, std::size_t{2} << 20,
                                    (std::size_t{2} << 20) + 1, std::size_t{3840} * 2160 * 4}) {
        SCOPED_TRACE(bytes);
        const TargetMemory memory = AllocateTargetMemory(bytes);
        ASSERT_NE(memory, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(memory.get()) % 64, 0u);
        EXPECT_EQ(std::count(memory.get(), memory.get() + bytes, 0), static_cast<std::ptrdiff_t>(bytes));
        std::memset(memory.get(), 0xA5, bytes);  // every byte writable (ASan checks the end)
    }
}

}  // namespace
}  // namespace raster::test
