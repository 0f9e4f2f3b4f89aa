// The portable reference rasterizer, one pixel at a time.
//
// Its twin, SimdRasterizer.h, takes the same steps in the same order with the
// same arithmetic, several pixels at a time; keep the two in step. Every
// per-pixel value is computed from the row's start by one multiply-add (not
// by accumulating steps), so both reach bit-identical pixels. The remaining
// differences are deliberate:
// - pixels one at a time, so no group reaches past a span's ends or the
//   target's right side, and each pixel is finished before the next is begun;
// - a texel is one load; colours blend and modulate channel by channel.
#include <cstdint>

#include "Platform/DirectX/Raster/Dispatch.h"
#include "Platform/DirectX/Raster/PixelFormats.h"
#include "Platform/DirectX/Raster/RasterInline.h"
#include "Platform/DirectX/Raster/Rasterizer.h"
#include "Platform/DirectX/Raster/RowSpan.h"
#include "Platform/DirectX/Raster/TriangleSetup.h"

namespace raster {
namespace {

// Clamps to [lo, hi] the way the SIMD max/min instructions do, NaN
// becoming `lo`.
RASTER_INLINE float Clamp(float value, float lo, float hi) {
    value = value > lo ? value : lo;
    return value < hi ? value : hi;
}

// A texel coordinate in 24.8 fixed point, half a texel lower for bilinear.
template <TexMode kMode>
RASTER_INLINE int FixedTexel(float texels) {
    float fixed = texels * 256.0f;
    if constexpr (kTexelBias<kMode> != 0.0f) fixed -= kTexelBias<kMode>;
    return static_cast<int>(Clamp(fixed, 0.0f, kMaxTexelCoordinate * 256.0f));
}

// A whole texel number (0 .. 2^22) wrapped into [0, size): a mask for a
// power of two, else through a float quotient, which may be one off and is
// mended by the two corrections.
template <bool kPowerOfTwo>
RASTER_INLINE int Wrap(int texel, const TextureAxis& axis) {
    if constexpr (kPowerOfTwo) {
        return texel & axis.mask;
    } else {
        const float t = static_cast<float>(texel);
        float wrapped = t - static_cast<float>(static_cast<int>(t * axis.inverse)) * axis.sizeF;
        wrapped = wrapped < 0.0f ? wrapped + axis.sizeF : wrapped;
        return static_cast<int>(wrapped >= axis.sizeF ? wrapped - axis.sizeF : wrapped);
    }
}

// The next texel to the right or below, wrapped.
template <bool kPowerOfTwo>
RASTER_INLINE int WrapNext(int wrapped, const TextureAxis& axis) {
    const int next = wrapped + 1;
    if constexpr (kPowerOfTwo) {
        return next & axis.mask;
    } else {
        return axis.size > next ? next : 0;
    }
}

// Where texel (column, line) lies in the texture.
template <bool kPowerOfTwo>
RASTER_INLINE int TexelIndex(int column, int line, const Sampler& sampler) {
    if constexpr (kPowerOfTwo) {
        return line << sampler.u.shift | column;
    } else {
        return line * sampler.u.size + column;
    }
}

// Blends two texels channel by channel, `weight` 0..255 towards `b`.
RASTER_INLINE std::uint32_t Lerp(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t ca = a >> shift & 255, cb = b >> shift & 255;
        out |= ((ca * (256 - weight) + cb * weight) >> 8) << shift;
    }
    return out;
}

// A lit colour, 0..255 a channel.
struct Light {
    std::uint32_t red, green, blue;
};

// The lit colour at pixel `k` of a row.
RASTER_INLINE Light LightAt(const RowStart& row, const TriangleSetup& t, float k) {
    return Light{static_cast<std::uint32_t>(Clamp(row.red + t.red.dx * k, 0.0f, 255.0f)),
                 static_cast<std::uint32_t>(Clamp(row.green + t.green.dx * k, 0.0f, 255.0f)),
                 static_cast<std::uint32_t>(Clamp(row.blue + t.blue.dx * k, 0.0f, 255.0f))};
}

// The texel at pixel `k` of a row: perspective divide, wrap, fetch (the four
// neighbours blended for bilinear).
template <TexMode kMode, bool kPowerOfTwo>
RASTER_INLINE std::uint32_t TexelAt(const Sampler& sampler, const RowStart& row, const TriangleSetup& t,
                                    float k) {
    const float inverseW = 1.0f / (row.rhw + t.rhw.dx * k);
    const int s = FixedTexel<kMode>((row.u + t.u.dx * k) * inverseW);
    const int tt = FixedTexel<kMode>((row.v + t.v.dx * k) * inverseW);
    const int column = Wrap<kPowerOfTwo>(s >> 8, sampler.u);
    const int line = Wrap<kPowerOfTwo>(tt >> 8, sampler.v);
    if constexpr (kMode == TexMode::Nearest) {
        return sampler.texels[TexelIndex<kPowerOfTwo>(column, line, sampler)];
    } else {
        const int column1 = WrapNext<kPowerOfTwo>(column, sampler.u);
        const int line1 = WrapNext<kPowerOfTwo>(line, sampler.v);
        const std::uint32_t c00 = sampler.texels[TexelIndex<kPowerOfTwo>(column, line, sampler)];
        const std::uint32_t c10 = sampler.texels[TexelIndex<kPowerOfTwo>(column1, line, sampler)];
        const std::uint32_t c01 = sampler.texels[TexelIndex<kPowerOfTwo>(column, line1, sampler)];
        const std::uint32_t c11 = sampler.texels[TexelIndex<kPowerOfTwo>(column1, line1, sampler)];
        const std::uint32_t fx = static_cast<std::uint32_t>(s) & 255;
        const std::uint32_t fy = static_cast<std::uint32_t>(tt) & 255;
        return Lerp(Lerp(c00, c10, fx), Lerp(c01, c11, fx), fy);
    }
}

// Pixel `k` of a row: depth test, lit colour (worked out once per triangle
// when it is steady), the texel modulated by it, colour and depth written.
template <TexMode kMode, bool kPowerOfTwo, PixelFormat kFormat>
RASTER_INLINE void ShadePixel(const Target& target, const Sampler& sampler, const TriangleSetup& t,
                              const RowStart& row, const Light& steadyLight, int k, std::uint16_t* depth,
                              PixelOf<kFormat>* color) {
    const float kF = static_cast<float>(k);

    // Depth test: strictly nearer than what is stored.
    const int z = static_cast<int>(Clamp(row.depth + t.depth.dx * kF, 0.0f, 65535.0f));
    if (z >= *depth) return;

    const Light light = t.steadyLight ? steadyLight : LightAt(row, t, kF);
    std::uint32_t xrgb = light.red << 16 | light.green << 8 | light.blue;
    if constexpr (kMode != TexMode::None) {
        const std::uint32_t texel = TexelAt<kMode, kPowerOfTwo>(sampler, row, t, kF);
        xrgb = ((texel >> 16 & 255) * (light.red + 1) >> 8) << 16 |
               ((texel >> 8 & 255) * (light.green + 1) >> 8) << 8 | ((texel & 255) * (light.blue + 1) >> 8);
    }

    // Write colour and depth.
    *depth = static_cast<std::uint16_t>(z);
    if constexpr (kFormat == PixelFormat::XRGB8888) {
        *color = xrgb;
    } else if constexpr (kFormat == PixelFormat::RGB565) {
        *color = static_cast<std::uint16_t>(ToRgb565(xrgb));
    } else {
        *color = target.colorToIndex[ToColor15(xrgb)];
    }
}

struct ScalarKernel {
    static constexpr const char* kName = "scalar";

    // Row by row, only the pixels the triangle covers.
    template <TexMode kMode, bool kPowerOfTwo, PixelFormat kFormat>
    static void DrawTriangle(const Target& target, const Sampler& sampler, const TriangleSetup& t) {
        const Light steadyLight = LightAt(RowStartAt(t, t.minY), t, 0.0f);
        EdgeRows edges(t);
        for (int y = t.minY; y <= t.maxY; ++y, edges.Down()) {
            Span span;
            if (!CoveredSpan(t, edges.Values(), &span)) continue;
            const RowStart row = RowStartAt(t, y);
            auto* color = RowAt<PixelOf<kFormat>>(target.color, target.colorPitch, y) + t.minX;
            auto* depth = RowAt<std::uint16_t>(target.depth, target.depthPitch, y) + t.minX;
            for (int k = span.first; k <= span.last; ++k) {
                ShadePixel<kMode, kPowerOfTwo, kFormat>(target, sampler, t, row, steadyLight, k, depth + k,
                                                        color + k);
            }
        }
    }
};

}  // namespace

const Rasterizer& ScalarRasterizer() {
    static const TriangleRasterizer<ScalarKernel> scalar;
    return scalar;
}

}  // namespace raster
