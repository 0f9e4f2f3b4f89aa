// What both rasterizers share around their triangle kernels: the choice of
// a kernel instance for a draw's sampler and target format, and the
// Rasterizer that validates a draw, sets up each triangle and hands it on.
//
// A Kernel offers kName and a function template
// DrawTriangle<TexMode, bool kPowerOfTwo, PixelFormat>(target, sampler, setup).
// Like the SIMD kernels, everything here has internal linkage, so that each
// translation unit keeps the code its own instruction set compiled.
#pragma once

#include <cstdint>

#include "Platform/DirectX/Raster/Clear.h"
#include "Platform/DirectX/Raster/Rasterizer.h"
#include "Platform/DirectX/Raster/TexturePrefetch.h"
#include "Platform/DirectX/Raster/TriangleSetup.h"

namespace raster {
namespace {

using DrawFunction = void (*)(const Target&, const Sampler&, const TriangleSetup&);

template <class Kernel, TexMode kMode, bool kPowerOfTwo>
DrawFunction ForFormat(PixelFormat format) {
    switch (format) {
        case PixelFormat::XRGB8888:
            return Kernel::template DrawTriangle<kMode, kPowerOfTwo, PixelFormat::XRGB8888>;
        case PixelFormat::RGB565:
            return Kernel::template DrawTriangle<kMode, kPowerOfTwo, PixelFormat::RGB565>;
        case PixelFormat::Indexed8:
            break;
    }
    return Kernel::template DrawTriangle<kMode, kPowerOfTwo, PixelFormat::Indexed8>;
}

template <class Kernel>
DrawFunction Choose(const Sampler& sampler, PixelFormat format) {
    switch (sampler.mode) {
        case TexMode::None:
            return ForFormat<Kernel, TexMode::None, false>(format);
        case TexMode::Nearest:
            return sampler.powerOfTwo ? ForFormat<Kernel, TexMode::Nearest, true>(format)
                                      : ForFormat<Kernel, TexMode::Nearest, false>(format);
        case TexMode::Bilinear:
            break;
    }
    return sampler.powerOfTwo ? ForFormat<Kernel, TexMode::Bilinear, true>(format)
                              : ForFormat<Kernel, TexMode::Bilinear, false>(format);
}

template <class Kernel>
class TriangleRasterizer final : public Rasterizer {
public:
    const char* Name() const override { return Kernel::kName; }

    void Clear(const Target& target, std::uint32_t xrgb, std::uint16_t depth) const override {
        ClearTarget(target, xrgb, depth);
    }

    void DrawTriangles(const Target& target, const State& state, const Vertex* vertices,
                       int count) const override {
        if (!UsableTarget(target) || vertices == nullptr) return;
        const Sampler sampler = MakeSampler(state);
        const DrawFunction draw = Choose<Kernel>(sampler, target.format);
        PrefetchTexels(sampler, vertices, count);
        TriangleSetup setups[kMaxFanTriangles];
        for (int i = 0; i < count; ++i) {
            const int n = SetUpTriangle(vertices + 3 * i, sampler, state.shading, target, setups);
            for (int j = 0; j < n; ++j) draw(target, sampler, setups[j]);
        }
    }
};

}  // namespace
}  // namespace raster
