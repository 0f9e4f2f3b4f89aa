// The SIMD rasterizer, a row's pixels in groups of L::kCount, written once
// for any lane type L (Lanes4.h, Lanes8.h) and compiled once per width.
//
// Its twin, ScalarRasterizer.cpp, takes the same steps in the same order with
// the same arithmetic, one pixel at a time; keep the two in step. Every
// per-pixel value is computed from the row's base by one multiply-add (not
// by accumulating steps), so both reach bit-identical texel coordinates.
//
// Everything here has internal linkage: each width's translation unit is
// compiled for its own instruction set, and no function may be shared
// between them.
#pragma once

#include <algorithm>
#include <cmath>
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
template <class L>
RASTER_INLINE typename L::Floats Clamp(typename L::Floats value, typename L::Floats lo,
                                       typename L::Floats hi) {
    return L::Min(L::Max(value, lo), hi);
}

// A texel coordinate in 24.8 fixed point, half a texel lower for bilinear.
template <class L>
RASTER_INLINE typename L::Ints FixedTexel(typename L::Floats texels, const Sampler& sampler) {
    return L::ToInt(Clamp<L>(L::Sub(L::Mul(texels, L::SplatF(256.0f)), L::SplatF(sampler.bias)),
                             L::SplatF(0.0f), L::SplatF(kMaxTexelCoordinate * 256.0f)));
}

// A whole texel number (0 .. 2^22) wrapped into [0, size): a mask for a
// power of two, else through a float quotient, which may be one off and is
// mended by the two corrections.
template <class L, bool kPowerOfTwo>
RASTER_INLINE typename L::Ints Wrap(typename L::Ints texel, const TextureAxis& axis) {
    if constexpr (kPowerOfTwo) {
        return L::And(texel, L::SplatI(axis.mask));
    } else {
        using F = typename L::Floats;
        const F size = L::SplatF(axis.sizeF);
        const F t = L::ToFloat(texel);
        F wrapped = L::Sub(t, L::Mul(L::ToFloat(L::ToInt(L::Mul(t, L::SplatF(axis.inverse)))), size));
        wrapped = L::Select(L::Less(wrapped, L::SplatF(0.0f)), L::Add(wrapped, size), wrapped);
        return L::ToInt(L::Select(L::GreaterEqual(wrapped, size), L::Sub(wrapped, size), wrapped));
    }
}

// The next texel to the right or below, wrapped.
template <class L>
RASTER_INLINE typename L::Ints WrapNext(typename L::Ints wrapped, const TextureAxis& axis) {
    const typename L::Ints next = L::Add(wrapped, L::SplatI(1));
    return L::And(next, L::Greater(L::SplatI(axis.size), next));
}

// Where texel (column, line) lies in the texture.
template <class L, bool kPowerOfTwo>
RASTER_INLINE typename L::Ints TexelIndex(typename L::Ints column, typename L::Ints line,
                                          const Sampler& sampler) {
    if constexpr (kPowerOfTwo) {
        return L::Or(L::ShiftLeftBy(line, sampler.u.shift), column);
    } else {
        return L::Add(L::MulSmall(line, L::SplatI(sampler.u.size)), column);
    }
}

// Blends two texels channel by channel, `weight` 0..255 towards `b`. Red
// and blue share a multiply in the two 16-bit halves of a lane; no product
// exceeds 255 * 256, so the halves never spill into each other.
template <class L>
RASTER_INLINE typename L::Ints Lerp(typename L::Ints a, typename L::Ints b, typename L::Ints weight) {
    using I = typename L::Ints;
    const I redBlue = L::SplatI(0x00FF00FF), low = L::SplatI(0xFF);
    const I inverse = L::Sub(L::SplatI(256), weight);
    const I weight2 = L::Or(weight, L::template ShiftLeft<16>(weight));
    const I inverse2 = L::Or(inverse, L::template ShiftLeft<16>(inverse));
    const I rb = L::template ShiftRight16<8>(
        L::Add(L::Mul16(L::And(a, redBlue), inverse2), L::Mul16(L::And(b, redBlue), weight2)));
    const I g =
        L::template ShiftRight<8>(L::Add(L::Mul16(L::And(L::template ShiftRight<8>(a), low), inverse),
                                         L::Mul16(L::And(L::template ShiftRight<8>(b), low), weight)));
    return L::Or(rb, L::template ShiftLeft<8>(g));
}

// Per-triangle values in registers, and each row's attribute bases.
template <class L>
struct Planes {
    typename L::Floats depth, rhw, u, v, red, green, blue;
};

// The lit colour of a triangle whose colour does not vary (flat shading,
// or equal colours at its corners: the planes' steps are exactly zero), so
// that it is worked out once rather than at every pixel.
template <class L>
struct SteadyLight {
    bool steady;
    typename L::Ints red, green, blue;
};

// Pixels past the depth test, with what their colour is made from: the
// first half of shading hands it to the second. Shading a few groups'
// first halves before their second halves lets the CPU overlap the long
// chain from the perspective divide to the texel fetch of one group with
// the work of the next.
template <class L>
struct Fragment {
    typename L::Ints write, z, red, green, blue, s, tt;
    int x;
};

// The first half of shading up to L::kCount pixels at `depth`, lanes where
// `covered` is set: depth test, lit colour and texel coordinates. False
// when no pixel passes the depth test.
template <class L, TexMode kMode>
RASTER_INLINE bool ShadeFront(const Sampler& sampler, const Planes<L>& row, const Planes<L>& dx,
                              const SteadyLight<L>& steadyLight, typename L::Ints covered,
                              typename L::Floats k, const std::uint16_t* depth, Fragment<L>* out) {
    using F = typename L::Floats;
    using I = typename L::Ints;
    const F zero = L::SplatF(0.0f), channelMax = L::SplatF(255.0f);

    // Depth test: strictly nearer than what is stored.
    const I z = L::ToInt(Clamp<L>(L::Add(row.depth, L::Mul(dx.depth, k)), zero, L::SplatF(65535.0f)));
    const I write = L::And(covered, L::Greater(L::Load(depth), z));
    if (!L::Any(write)) return false;
    out->write = write;
    out->z = z;

    // Lit colour, 0..255 a channel.
    out->red = steadyLight.red;
    out->green = steadyLight.green;
    out->blue = steadyLight.blue;
    if (!steadyLight.steady) {
        out->red = L::ToInt(Clamp<L>(L::Add(row.red, L::Mul(dx.red, k)), zero, channelMax));
        out->green = L::ToInt(Clamp<L>(L::Add(row.green, L::Mul(dx.green, k)), zero, channelMax));
        out->blue = L::ToInt(Clamp<L>(L::Add(row.blue, L::Mul(dx.blue, k)), zero, channelMax));
    }

    // Texel coordinates: perspective divide.
    if constexpr (kMode != TexMode::None) {
        const F inverseW = L::Div(L::SplatF(1.0f), L::Add(row.rhw, L::Mul(dx.rhw, k)));
        out->s = FixedTexel<L>(L::Mul(L::Add(row.u, L::Mul(dx.u, k)), inverseW), sampler);
        out->tt = FixedTexel<L>(L::Mul(L::Add(row.v, L::Mul(dx.v, k)), inverseW), sampler);
    }
    return true;
}

// The second half: the texel, wrapped and fetched (the four neighbours
// blended for bilinear) and modulated by the lit colour, then colour and
// depth written.
template <class L, TexMode kMode, bool kPowerOfTwo, PixelFormat kFormat, typename Pixel>
RASTER_INLINE void ShadeBack(const Target& target, const Sampler& sampler, const Fragment<L>& f,
                             std::uint16_t* depth, Pixel* color) {
    using I = typename L::Ints;
    const I red = f.red, green = f.green, blue = f.blue;
    I xrgb = L::Or(L::Or(L::template ShiftLeft<16>(red), L::template ShiftLeft<8>(green)), blue);
    if constexpr (kMode != TexMode::None) {
        const I s = f.s, tt = f.tt;
        const I column = Wrap<L, kPowerOfTwo>(L::template ShiftRightSigned<8>(s), sampler.u);
        const I line = Wrap<L, kPowerOfTwo>(L::template ShiftRightSigned<8>(tt), sampler.v);
        I texel;
        if constexpr (kMode == TexMode::Nearest) {
            texel = L::Gather(sampler.texels, TexelIndex<L, kPowerOfTwo>(column, line, sampler));
        } else {
            const I column1 = WrapNext<L>(column, sampler.u);
            const I line1 = WrapNext<L>(line, sampler.v);
            const I c00 = L::Gather(sampler.texels, TexelIndex<L, kPowerOfTwo>(column, line, sampler));
            const I c10 = L::Gather(sampler.texels, TexelIndex<L, kPowerOfTwo>(column1, line, sampler));
            const I c01 = L::Gather(sampler.texels, TexelIndex<L, kPowerOfTwo>(column, line1, sampler));
            const I c11 = L::Gather(sampler.texels, TexelIndex<L, kPowerOfTwo>(column1, line1, sampler));
            const I fraction = L::SplatI(255);
            const I fx = L::And(s, fraction);
            const I fy = L::And(tt, fraction);
            texel = Lerp<L>(Lerp<L>(c00, c10, fx), Lerp<L>(c01, c11, fx), fy);
        }
        const I one = L::SplatI(1), low = L::SplatI(0xFF), redBlue = L::SplatI(0x00FF00FF);
        const I light = L::Or(L::template ShiftLeft<16>(L::Add(red, one)), L::Add(blue, one));
        const I rb = L::And(L::template ShiftRight16<8>(L::Mul16(L::And(texel, redBlue), light)), redBlue);
        const I g = L::template ShiftRight<8>(
            L::Mul16(L::And(L::template ShiftRight<8>(texel), low), L::Add(green, one)));
        xrgb = L::Or(rb, L::template ShiftLeft<8>(g));
    }

    // Write colour and depth.
    L::Store(depth, L::Select(f.write, f.z, L::Load(depth)));
    if constexpr (kFormat == PixelFormat::XRGB8888) {
        L::Store(color, L::Select(f.write, xrgb, L::Load(color)));
    } else if constexpr (kFormat == PixelFormat::RGB565) {
        const I rgb565 = L::Or(L::Or(L::And(L::template ShiftRight<8>(xrgb), L::SplatI(0xF800)),
                                     L::And(L::template ShiftRight<5>(xrgb), L::SplatI(0x07E0))),
                               L::And(L::template ShiftRight<3>(xrgb), L::SplatI(0x001F)));
        L::Store(color, L::Select(f.write, rgb565, L::Load(color)));
    } else {
        const I color15 = L::Or(L::Or(L::And(L::template ShiftRight<9>(xrgb), L::SplatI(0x7C00)),
                                      L::And(L::template ShiftRight<6>(xrgb), L::SplatI(0x03E0))),
                                L::And(L::template ShiftRight<3>(xrgb), L::SplatI(0x001F)));
        L::Store(color, L::Select(f.write, L::Gather(target.colorToIndex, color15), L::Load(color)));
    }
}

// Both halves at once.
template <class L, TexMode kMode, bool kPowerOfTwo, PixelFormat kFormat, typename Pixel>
RASTER_INLINE void ShadeBlock(const Target& target, const Sampler& sampler, const Planes<L>& row,
                              const Planes<L>& dx, const SteadyLight<L>& steadyLight,
                              typename L::Ints covered, typename L::Floats k, std::uint16_t* depth,
                              Pixel* color) {
    Fragment<L> fragment;
    if (ShadeFront<L, kMode>(sampler, row, dx, steadyLight, covered, k, depth, &fragment)) {
        ShadeBack<L, kMode, kPowerOfTwo, kFormat>(target, sampler, fragment, depth, color);
    }
}

// The pixels of a row, counted from the box's left side, that may be
// covered: each edge function changes linearly along the row, so it is
// non-negative on one side of the point where it crosses zero. The
// crossings are found in double precision and widened by a pixel, so
// rounding never drops a covered pixel; the lanes still test coverage
// exactly. False when no pixel of the row can be covered.
RASTER_INLINE bool RowSpan(const TriangleSetup& t, const std::int64_t rowValue[3], int* first, int* last) {
    double lo = 0.0, hi = static_cast<double>(t.maxX - t.minX);
    for (int i = 0; i < 3; ++i) {
        const double value = static_cast<double>(rowValue[i]);
        const double step = static_cast<double>(t.edges[i].stepX);
        if (step > 0.0) {
            lo = std::max(lo, std::floor(-value / step) - 1.0);
        } else if (step < 0.0) {
            hi = std::min(hi, std::floor(value / -step) + 1.0);
        } else if (value < 0.0) {
            return false;
        }
    }
    if (lo > hi) return false;
    *first = static_cast<int>(lo);
    *last = static_cast<int>(hi);
    return true;
}

template <class L, TexMode kMode, bool kPowerOfTwo, PixelFormat kFormat>
void DrawTriangle(const Target& target, const Sampler& sampler, const TriangleSetup& t) {
    using Pixel =
        std::conditional_t<kFormat == PixelFormat::XRGB8888, std::uint32_t,
                           std::conditional_t<kFormat == PixelFormat::RGB565, std::uint16_t, std::uint8_t>>;
    using F = typename L::Floats;
    using E = typename L::Edges;
    constexpr int kCount = L::kCount;
    constexpr int kBatch = 4;
    const Planes<L> dx{L::SplatF(t.depth.dx), L::SplatF(t.rhw.dx),   L::SplatF(t.u.dx),   L::SplatF(t.v.dx),
                       L::SplatF(t.red.dx),   L::SplatF(t.green.dx), L::SplatF(t.blue.dx)};
    const F zero = L::SplatF(0.0f), channelMax = L::SplatF(255.0f);
    const SteadyLight<L> steadyLight{t.red.dx == 0.0f && t.red.dy == 0.0f && t.green.dx == 0.0f &&
                                         t.green.dy == 0.0f && t.blue.dx == 0.0f && t.blue.dy == 0.0f,
                                     L::ToInt(Clamp<L>(L::SplatF(t.red.origin), zero, channelMax)),
                                     L::ToInt(Clamp<L>(L::SplatF(t.green.origin), zero, channelMax)),
                                     L::ToInt(Clamp<L>(L::SplatF(t.blue.origin), zero, channelMax))};
    const E step0 = L::EdgeSplat(t.edges[0].stepX * kCount);
    const E step1 = L::EdgeSplat(t.edges[1].stepX * kCount);
    const E step2 = L::EdgeSplat(t.edges[2].stepX * kCount);
    std::int64_t rowValue[3] = {t.edges[0].value, t.edges[1].value, t.edges[2].value};
    for (int y = t.minY; y <= t.maxY; ++y, rowValue[0] += t.edges[0].stepY, rowValue[1] += t.edges[1].stepY,
             rowValue[2] += t.edges[2].stepY) {
        int first = 0, last = 0;
        if (!RowSpan(t, rowValue, &first, &last)) continue;
        // The row: where it lies in memory and the attributes at its first pixel.
        auto* color = reinterpret_cast<Pixel*>(static_cast<unsigned char*>(target.color) +
                                               static_cast<std::ptrdiff_t>(y) * target.colorPitch);
        auto* depth = reinterpret_cast<std::uint16_t*>(reinterpret_cast<unsigned char*>(target.depth) +
                                                       static_cast<std::ptrdiff_t>(y) * target.depthPitch);
        const float rowF = static_cast<float>(y - t.minY);
        const Planes<L> row{
            L::SplatF(t.depth.origin + t.depth.dy * rowF), L::SplatF(t.rhw.origin + t.rhw.dy * rowF),
            L::SplatF(t.u.origin + t.u.dy * rowF),         L::SplatF(t.v.origin + t.v.dy * rowF),
            L::SplatF(t.red.origin + t.red.dy * rowF),     L::SplatF(t.green.origin + t.green.dy * rowF),
            L::SplatF(t.blue.origin + t.blue.dy * rowF)};

        // Groups past the depth test wait here for their second half.
        Fragment<L> pending[kBatch];
        int waiting = 0;
        const auto finish = [&] {
            for (int i = 0; i < waiting; ++i) {
                ShadeBack<L, kMode, kPowerOfTwo, kFormat>(target, sampler, pending[i], depth + pending[i].x,
                                                          color + pending[i].x);
            }
            waiting = 0;
        };
        E e0 = L::EdgeStart(rowValue[0] + t.edges[0].stepX * first, t.edges[0].stepX);
        E e1 = L::EdgeStart(rowValue[1] + t.edges[1].stepX * first, t.edges[1].stepX);
        E e2 = L::EdgeStart(rowValue[2] + t.edges[2].stepX * first, t.edges[2].stepX);
        for (int x = t.minX + first; x <= t.minX + last;
             x += kCount, e0 = L::Add(e0, step0), e1 = L::Add(e1, step1), e2 = L::Add(e2, step2)) {
            // Coverage: inside when no edge function is negative.
            typename L::Ints covered = L::Inside(e0, e1, e2);
            if (!L::Any(covered)) continue;
            const F k = L::ToFloat(L::Add(L::SplatI(x - t.minX), L::Ramp()));

            // Pixels past the box are outside the triangle, so only the
            // target's right side needs care: a group reaching past it is
            // shaded in a copy, and only the pixels inside go back.
            if (x + kCount <= target.width) {
                Fragment<L>& fragment = pending[waiting];
                if (ShadeFront<L, kMode>(sampler, row, dx, steadyLight, covered, k, depth + x, &fragment)) {
                    fragment.x = x;
                    if (++waiting == kBatch) finish();
                }
                continue;
            }
            const int n = target.width - x;
            std::uint16_t depthCopy[kCount] = {};
            Pixel colorCopy[kCount] = {};
            for (int i = 0; i < n; ++i) {
                depthCopy[i] = depth[x + i];
                colorCopy[i] = color[x + i];
            }
            covered = L::And(covered, L::Greater(L::SplatI(n), L::Ramp()));
            ShadeBlock<L, kMode, kPowerOfTwo, kFormat>(target, sampler, row, dx, steadyLight, covered, k,
                                                       depthCopy, colorCopy);
            for (int i = 0; i < n; ++i) {
                depth[x + i] = depthCopy[i];
                color[x + i] = colorCopy[i];
            }
        }
        finish();
    }
}

using DrawFunction = void (*)(const Target&, const Sampler&, const TriangleSetup&);

template <class L, TexMode kMode, bool kPowerOfTwo>
DrawFunction ForFormat(PixelFormat format) {
    switch (format) {
        case PixelFormat::XRGB8888:
            return DrawTriangle<L, kMode, kPowerOfTwo, PixelFormat::XRGB8888>;
        case PixelFormat::RGB565:
            return DrawTriangle<L, kMode, kPowerOfTwo, PixelFormat::RGB565>;
        case PixelFormat::Indexed8:
            break;
    }
    return DrawTriangle<L, kMode, kPowerOfTwo, PixelFormat::Indexed8>;
}

template <class L>
DrawFunction Choose(const Sampler& sampler, PixelFormat format) {
    switch (sampler.mode) {
        case TexMode::None:
            return ForFormat<L, TexMode::None, false>(format);
        case TexMode::Nearest:
            return sampler.powerOfTwo ? ForFormat<L, TexMode::Nearest, true>(format)
                                      : ForFormat<L, TexMode::Nearest, false>(format);
        case TexMode::Bilinear:
            break;
    }
    return sampler.powerOfTwo ? ForFormat<L, TexMode::Bilinear, true>(format)
                              : ForFormat<L, TexMode::Bilinear, false>(format);
}

template <class L>
class Simd final : public Rasterizer {
public:
    const char* Name() const override { return L::kName; }

    void Clear(const Target& target, std::uint32_t xrgb, std::uint16_t depth) const override {
        ClearTarget(target, xrgb, depth);
    }

    void DrawTriangles(const Target& target, const State& state, const Vertex* vertices,
                       int count) const override {
        if (!UsableTarget(target) || vertices == nullptr) return;
        const Sampler sampler = MakeSampler(state);
        const DrawFunction draw = Choose<L>(sampler, target.format);
        TriangleSetup setups[kMaxFanTriangles];
        for (int i = 0; i < count; ++i) {
            const int n = SetUpTriangle(vertices + 3 * i, sampler, state.shading, target, setups);
            for (int j = 0; j < n; ++j) draw(target, sampler, setups[j]);
        }
    }
};

}  // namespace
}  // namespace raster
