// The portable reference rasterizer, one pixel at a time.
//
// Its twin, SimdRasterizer.h, takes the same steps in the same order with the
// same arithmetic, several pixels at a time; keep the two in step. Every
// per-pixel value is computed from the row's base by one multiply-add (not
// by accumulating steps), so both reach bit-identical texel coordinates.
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "Platform/DirectX/Raster/Clear.h"
#include "Platform/DirectX/Raster/PixelFormats.h"
#include "Platform/DirectX/Raster/Rasterizer.h"
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
RASTER_INLINE int FixedTexel(float texels, const Sampler& sampler) {
    return static_cast<int>(Clamp(texels * 256.0f - sampler.bias, 0.0f, kMaxTexelCoordinate * 256.0f));
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
RASTER_INLINE int WrapNext(int wrapped, const TextureAxis& axis) {
    const int next = wrapped + 1;
    return axis.size > next ? next : 0;
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

template <TexMode kMode, bool kPowerOfTwo, PixelFormat kFormat>
void DrawTriangle(const Target& target, const Sampler& sampler, const TriangleSetup& t) {
    using Pixel =
        std::conditional_t<kFormat == PixelFormat::XRGB8888, std::uint32_t,
                           std::conditional_t<kFormat == PixelFormat::RGB565, std::uint16_t, std::uint8_t>>;
    std::int64_t e0Row = t.edges[0].value, e1Row = t.edges[1].value, e2Row = t.edges[2].value;
    for (int y = t.minY; y <= t.maxY; ++y) {
        // The row: where it lies in memory and the attributes at its first pixel.
        auto* color = reinterpret_cast<Pixel*>(static_cast<unsigned char*>(target.color) +
                                               static_cast<std::ptrdiff_t>(y) * target.colorPitch);
        auto* depth = reinterpret_cast<std::uint16_t*>(reinterpret_cast<unsigned char*>(target.depth) +
                                                       static_cast<std::ptrdiff_t>(y) * target.depthPitch);
        const float row = static_cast<float>(y - t.minY);
        const float depthRow = t.depth.origin + t.depth.dy * row;
        const float rhwRow = t.rhw.origin + t.rhw.dy * row;
        const float uRow = t.u.origin + t.u.dy * row;
        const float vRow = t.v.origin + t.v.dy * row;
        const float redRow = t.red.origin + t.red.dy * row;
        const float greenRow = t.green.origin + t.green.dy * row;
        const float blueRow = t.blue.origin + t.blue.dy * row;

        std::int64_t e0 = e0Row, e1 = e1Row, e2 = e2Row;
        for (int x = t.minX; x <= t.maxX;
             ++x, e0 += t.edges[0].stepX, e1 += t.edges[1].stepX, e2 += t.edges[2].stepX) {
            // Coverage: inside when no edge function is negative.
            if ((e0 | e1 | e2) < 0) continue;
            const float k = static_cast<float>(x - t.minX);

            // Depth test: strictly nearer than what is stored.
            const int z = static_cast<int>(Clamp(depthRow + t.depth.dx * k, 0.0f, 65535.0f));
            if (z >= depth[x]) continue;

            // Lit colour, 0..255 a channel.
            const std::uint32_t red = static_cast<std::uint32_t>(Clamp(redRow + t.red.dx * k, 0.0f, 255.0f));
            const std::uint32_t green =
                static_cast<std::uint32_t>(Clamp(greenRow + t.green.dx * k, 0.0f, 255.0f));
            const std::uint32_t blue =
                static_cast<std::uint32_t>(Clamp(blueRow + t.blue.dx * k, 0.0f, 255.0f));

            // Texel: perspective divide, wrap, fetch (and blend the four
            // neighbours for bilinear), modulated by the lit colour.
            std::uint32_t xrgb = red << 16 | green << 8 | blue;
            if constexpr (kMode != TexMode::None) {
                const float inverseW = 1.0f / (rhwRow + t.rhw.dx * k);
                const int s = FixedTexel((uRow + t.u.dx * k) * inverseW, sampler);
                const int tt = FixedTexel((vRow + t.v.dx * k) * inverseW, sampler);
                const int column = Wrap<kPowerOfTwo>(s >> 8, sampler.u);
                const int line = Wrap<kPowerOfTwo>(tt >> 8, sampler.v);
                std::uint32_t texel;
                if constexpr (kMode == TexMode::Nearest) {
                    texel = sampler.texels[TexelIndex<kPowerOfTwo>(column, line, sampler)];
                } else {
                    const int column1 = WrapNext(column, sampler.u);
                    const int line1 = WrapNext(line, sampler.v);
                    const std::uint32_t c00 = sampler.texels[TexelIndex<kPowerOfTwo>(column, line, sampler)];
                    const std::uint32_t c10 = sampler.texels[TexelIndex<kPowerOfTwo>(column1, line, sampler)];
                    const std::uint32_t c01 = sampler.texels[TexelIndex<kPowerOfTwo>(column, line1, sampler)];
                    const std::uint32_t c11 =
                        sampler.texels[TexelIndex<kPowerOfTwo>(column1, line1, sampler)];
                    const std::uint32_t fx = static_cast<std::uint32_t>(s) & 255;
                    const std::uint32_t fy = static_cast<std::uint32_t>(tt) & 255;
                    texel = Lerp(Lerp(c00, c10, fx), Lerp(c01, c11, fx), fy);
                }
                xrgb = ((texel >> 16 & 255) * (red + 1) >> 8) << 16 |
                       ((texel >> 8 & 255) * (green + 1) >> 8) << 8 | ((texel & 255) * (blue + 1) >> 8);
            }

            // Write colour and depth.
            depth[x] = static_cast<std::uint16_t>(z);
            if constexpr (kFormat == PixelFormat::XRGB8888) {
                color[x] = xrgb;
            } else if constexpr (kFormat == PixelFormat::RGB565) {
                color[x] = static_cast<std::uint16_t>(ToRgb565(xrgb));
            } else {
                color[x] = target.colorToIndex[ToColor15(xrgb)];
            }
        }
        e0Row += t.edges[0].stepY;
        e1Row += t.edges[1].stepY;
        e2Row += t.edges[2].stepY;
    }
}

using DrawFunction = void (*)(const Target&, const Sampler&, const TriangleSetup&);

template <TexMode kMode, bool kPowerOfTwo>
DrawFunction ForFormat(PixelFormat format) {
    switch (format) {
        case PixelFormat::XRGB8888:
            return DrawTriangle<kMode, kPowerOfTwo, PixelFormat::XRGB8888>;
        case PixelFormat::RGB565:
            return DrawTriangle<kMode, kPowerOfTwo, PixelFormat::RGB565>;
        case PixelFormat::Indexed8:
            break;
    }
    return DrawTriangle<kMode, kPowerOfTwo, PixelFormat::Indexed8>;
}

DrawFunction Choose(const Sampler& sampler, PixelFormat format) {
    switch (sampler.mode) {
        case TexMode::None:
            return ForFormat<TexMode::None, false>(format);
        case TexMode::Nearest:
            return sampler.powerOfTwo ? ForFormat<TexMode::Nearest, true>(format)
                                      : ForFormat<TexMode::Nearest, false>(format);
        case TexMode::Bilinear:
            break;
    }
    return sampler.powerOfTwo ? ForFormat<TexMode::Bilinear, true>(format)
                              : ForFormat<TexMode::Bilinear, false>(format);
}

class Scalar final : public Rasterizer {
public:
    const char* Name() const override { return "scalar"; }

    void Clear(const Target& target, std::uint32_t xrgb, std::uint16_t depth) const override {
        ClearTarget(target, xrgb, depth);
    }

    void DrawTriangles(const Target& target, const State& state, const Vertex* vertices,
                       int count) const override {
        if (!UsableTarget(target) || vertices == nullptr) return;
        const Sampler sampler = MakeSampler(state);
        const DrawFunction draw = Choose(sampler, target.format);
        TriangleSetup setups[kMaxFanTriangles];
        for (int i = 0; i < count; ++i) {
            const int n = SetUpTriangle(vertices + 3 * i, sampler, state.shading, target, setups);
            for (int j = 0; j < n; ++j) draw(target, sampler, setups[j]);
        }
    }
};

}  // namespace

const Rasterizer& ScalarRasterizer() {
    static const Scalar scalar;
    return scalar;
}

}  // namespace raster
