#include "Platform/DirectX/Raster/TexturePrefetch.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace raster {
namespace {

// Larger textures would push each other's lines out of a core's own cache.
constexpr std::size_t kMaxPrefetchedBytes = std::size_t{256} << 10;
constexpr int kLineBytes = 64;
constexpr double kExactWrap = 1 << 24;

// Texels first..last of an axis of `size` (wrapping), one past each end
// for a bilinear neighbour; the whole axis when they reach round it.
struct Reach {
    int first, count;
};

Reach AxisReach(float lowest, float highest, int size) {
    const double first = std::floor(static_cast<double>(lowest) * size) - 1.0;
    const double last = std::floor(static_cast<double>(highest) * size) + 1.0;
    // Far from the origin a double no longer wraps exactly.
    if (last - first + 1.0 >= size || std::fabs(first) > kExactWrap) return Reach{0, size};
    const int wrapped = static_cast<int>(first - std::floor(first / size) * size);
    return Reach{wrapped, static_cast<int>(last - first) + 1};
}

}  // namespace

void PrefetchTexels(const Sampler& sampler, const Vertex* vertices, int count) {
    if (sampler.mode == TexMode::None || count <= 0) return;
    const int width = sampler.u.size, height = sampler.v.size;
    if (static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * sizeof(std::uint32_t) >
        kMaxPrefetchedBytes)
        return;
    float lowU = vertices[0].u, highU = lowU, lowV = vertices[0].v, highV = lowV;
    for (int i = 0; i < 3 * count; ++i) {
        const float u = vertices[i].u, v = vertices[i].v;
        if (!std::isfinite(u) || !std::isfinite(v)) return;
        lowU = std::min(lowU, u);
        highU = std::max(highU, u);
        lowV = std::min(lowV, v);
        highV = std::max(highV, v);
    }
    const Reach columns = AxisReach(lowU, highU, width);
    const Reach rows = AxisReach(lowV, highV, height);
    // A run of columns wrapping past the right side is asked for in two parts.
    const int firstRun = std::min(columns.count, width - columns.first);
    // Four lines a step; a step's last lines may lie past the run, which a
    // prefetch tolerates anywhere.
    const auto ask = [](const std::uint32_t* from, int texels) {
        const auto line = [](std::uintptr_t address) {
            __builtin_prefetch(reinterpret_cast<const void*>(address), 0);
        };
        const auto end = reinterpret_cast<std::uintptr_t>(from + texels);
        for (auto address = reinterpret_cast<std::uintptr_t>(from); address < end;
             address += 4 * kLineBytes) {
            line(address);
            line(address + kLineBytes);
            line(address + 2 * kLineBytes);
            line(address + 3 * kLineBytes);
        }
        line(end - 1);
    };
    if (columns.count == width) {
        // Whole rows lie one after another: one run, or two round the bottom.
        const int firstRows = std::min(rows.count, height - rows.first);
        ask(sampler.texels + static_cast<std::size_t>(rows.first) * width, firstRows * width);
        if (firstRows < rows.count) ask(sampler.texels, (rows.count - firstRows) * width);
        return;
    }
    for (int r = 0; r < rows.count; ++r) {
        const std::uint32_t* row =
            sampler.texels + static_cast<std::size_t>((rows.first + r) % height) * width;
        ask(row + columns.first, firstRun);
        if (firstRun < columns.count) ask(row, columns.count - firstRun);
    }
}

}  // namespace raster
