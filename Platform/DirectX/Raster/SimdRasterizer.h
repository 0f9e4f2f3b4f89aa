// The SIMD rasterizer, a row's pixels in groups of L::kCount, written once
// for any lane type L (Lanes4.h, Lanes8.h, Lanes16.h) and compiled once per
// path (SimdSse2.cpp, SimdAvx2.cpp, SimdAvx512.cpp).
//
// Its twin, ScalarRasterizer.cpp, takes the same steps in the same order with
// the same arithmetic, one pixel at a time; keep the two in step. Every
// per-pixel value is computed from the row's start by one multiply-add (not
// by accumulating steps), so both reach bit-identical pixels. The remaining
// differences are deliberate:
// - groups of pixels: a span's last group may reach past its end, and on
//   targets narrower than a group past the target's right side;
// - each group is shaded in two halves, a few groups' first halves ahead of
//   their second, and those groups' texels all fetched before any is
//   blended, so that the CPU overlaps their long divide-to-fetch chains;
// - on large targets, the pixels of a row a few rows below are asked into
//   the cache ahead;
// - texels are gathered, by the hardware or by loads (which take a bilinear
//   texel's right neighbour with the same load, and the two below with one
//   more from the same index, where no lane sits on the texture's last
//   column or line);
// - channels blend and modulate two at a time in the 16-bit halves of a
//   lane, a blend as a + (b - a) * w / 256 rounded down, which is the scalar
//   twin's (a * (256 - w) + b * w) / 256 rounded down.
//
// Everything here has internal linkage: each path's translation unit is
// compiled for its own instruction set, and no function may be shared
// between them.
#pragma once

#include <algorithm>
#include <cstddef>
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
template <class L>
RASTER_INLINE typename L::Floats Clamp(typename L::Floats value, typename L::Floats lo,
                                       typename L::Floats hi) {
    return L::Min(L::Max(value, lo), hi);
}

// A texel coordinate in 24.8 fixed point, half a texel lower for bilinear.
template <class L, TexMode kMode>
RASTER_INLINE typename L::Ints FixedTexel(typename L::Floats texels) {
    typename L::Floats fixed = L::Mul(texels, L::SplatF(256.0f));
    if constexpr (kTexelBias<kMode> != 0.0f) fixed = L::Sub(fixed, L::SplatF(kTexelBias<kMode>));
    return L::ToInt(Clamp<L>(fixed, L::SplatF(0.0f), L::SplatF(kMaxTexelCoordinate * 256.0f)));
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
template <class L, bool kPowerOfTwo>
RASTER_INLINE typename L::Ints WrapNext(typename L::Ints wrapped, const TextureAxis& axis) {
    const typename L::Ints next = L::Add(wrapped, L::SplatI(1));
    if constexpr (kPowerOfTwo) {
        return L::And(next, L::SplatI(axis.mask));
    } else {
        return L::Select(L::Greater(L::SplatI(axis.size), next), next, L::SplatI(0));
    }
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

// Colour channels two to a lane, one in each 16-bit half: blue (low) and
// red (high) in `rb`, green (low) and the texel's unused top byte in `g`.
template <class L>
struct Halves {
    typename L::Ints rb, g;
};

template <class L>
RASTER_INLINE Halves<L> Split(typename L::Ints xrgb) {
    return Halves<L>{L::And(xrgb, L::SplatI(0x00FF00FF)), L::OddBytes(xrgb)};
}

// A blend weight 0..255 as both rounds of Lerp want it: times 128, in both
// 16-bit halves.
template <class L>
RASTER_INLINE typename L::Ints HalvesWeight(typename L::Ints weight) {
    return L::Or(L::template ShiftLeft<7>(weight), L::template ShiftLeft<23>(weight));
}

// Blends channels 0..255 `weight` / 256 of the way towards `b`, rounding
// down: a + (b - a) * w / 256. The doubled difference (-510..510) and w * 128
// (0..32640) fit signed 16 bits, and the high half of their product is
// exactly (b - a) * w / 256 rounded down.
template <class L>
RASTER_INLINE Halves<L> Lerp(const Halves<L>& a, const Halves<L>& b, typename L::Ints weight) {
    const auto blend = [weight](typename L::Ints from, typename L::Ints to) {
        const typename L::Ints difference = L::Sub16(to, from);
        return L::Add16(from, L::MulHigh16(L::Add16(difference, difference), weight));
    };
    return Halves<L>{blend(a.rb, b.rb), blend(a.g, b.g)};
}

// The planes in registers: each row's start, or the steps along a row.
template <class L>
struct Planes {
    typename L::Floats depth, rhw, u, v, red, green, blue;
};

template <class L>
RASTER_INLINE Planes<L> Splat(const RowStart& r) {
    return Planes<L>{L::SplatF(r.depth), L::SplatF(r.rhw),   L::SplatF(r.u),   L::SplatF(r.v),
                     L::SplatF(r.red),   L::SplatF(r.green), L::SplatF(r.blue)};
}

// A lit colour, 0..255 a channel, as the multipliers that modulate a texel
// by it: each channel + 1, in the halves a Split texel has its channels in.
template <class L>
struct Light {
    Halves<L> multiplier;
    typename L::Ints xrgb;  // the colour itself, for untextured triangles
};

// The lit colour at pixels `k` of a row.
template <class L>
RASTER_INLINE Light<L> LightAt(const Planes<L>& row, const Planes<L>& dx, typename L::Floats k) {
    using I = typename L::Ints;
    const typename L::Floats zero = L::SplatF(0.0f), channelMax = L::SplatF(255.0f);
    const I red = L::ToInt(Clamp<L>(L::Add(row.red, L::Mul(dx.red, k)), zero, channelMax));
    const I green = L::ToInt(Clamp<L>(L::Add(row.green, L::Mul(dx.green, k)), zero, channelMax));
    const I blue = L::ToInt(Clamp<L>(L::Add(row.blue, L::Mul(dx.blue, k)), zero, channelMax));
    const I rb = L::Or(L::template ShiftLeft<16>(red), blue);
    const I one = L::SplatI(0x00010001);
    return Light<L>{{L::Add(rb, one), L::Add(green, L::SplatI(1))},
                    L::Or(rb, L::template ShiftLeft<8>(green))};
}

// A texel modulated by a lit colour: each channel times (light + 1) / 256,
// rounded down. No product exceeds 255 * 256, so the halves stay apart.
template <class L>
RASTER_INLINE typename L::Ints Modulate(const Halves<L>& texel, const Light<L>& light) {
    const typename L::Ints rb = L::template ShiftRight16<8>(L::Mul16(texel.rb, light.multiplier.rb));
    // Green's product, rounded down to a whole multiple of 256, is the
    // modulated green already in its place.
    const typename L::Ints g = L::And(L::Mul16(texel.g, light.multiplier.g), L::SplatI(0xFF00));
    return L::Or(rb, g);
}

// What a triangle's groups share, in registers: its steps along a row,
// its lit colour when steady, and how to fetch and store.
template <class L>
struct TriangleLanes {
    Planes<L> dx;
    bool steadyLight;
    Light<L> light;
    Sampler sampler;
    const std::uint8_t* colorToIndex;
};

// Pixels past the depth test, with what their colour is made from: the
// first half of shading hands it to the second.
template <class L>
struct Fragment {
    typename L::Mask write;
    typename L::Ints z, s, tt;
    Light<L> light;  // unless the triangle's light is steady
};

// The first half of shading the group of pixels `k` of a row, where
// `covered` is set: depth test, lit colour and texel coordinates. False
// when no pixel passes the depth test.
template <class L, TexMode kMode>
RASTER_INLINE bool ShadeFront(const TriangleLanes<L>& tri, const Planes<L>& row, typename L::Mask covered,
                              typename L::Floats k, const std::uint16_t* depth, Fragment<L>* out) {
    using F = typename L::Floats;
    const Planes<L>& dx = tri.dx;

    // Depth test: strictly nearer than what is stored.
    out->z = L::ToInt(Clamp<L>(L::Add(row.depth, L::Mul(dx.depth, k)), L::SplatF(0.0f), L::SplatF(65535.0f)));
    out->write = L::MaskAnd(covered, L::Greater(L::Load(depth), out->z));
    if (!L::Any(out->write)) return false;

    if (!tri.steadyLight) out->light = LightAt<L>(row, dx, k);

    // Texel coordinates: perspective divide.
    if constexpr (kMode != TexMode::None) {
        const F inverseW = L::Div(L::SplatF(1.0f), L::Add(row.rhw, L::Mul(dx.rhw, k)));
        out->s = FixedTexel<L, kMode>(L::Mul(L::Add(row.u, L::Mul(dx.u, k)), inverseW));
        out->tt = FixedTexel<L, kMode>(L::Mul(L::Add(row.v, L::Mul(dx.v, k)), inverseW));
    }
    return true;
}

// A fragment's texels as fetched, not yet blended: each lane's texel for
// nearest sampling; for bilinear its four neighbours, left and right above,
// then left and right below.
template <class L, TexMode kMode>
struct Fetched {
    typename L::Ints texels[kMode == TexMode::Bilinear ? 4 : 1];
};

// The texels of a fragment, wrapped and fetched.
template <class L, TexMode kMode, bool kPowerOfTwo>
RASTER_INLINE Fetched<L, kMode> Fetch(const Sampler& sampler, const Fragment<L>& f) {
    using I = typename L::Ints;
    Fetched<L, kMode> out{};
    I* t = out.texels;
    if constexpr (kMode == TexMode::Nearest) {
        const I column = Wrap<L, kPowerOfTwo>(L::template ShiftRightSigned<8>(f.s), sampler.u);
        const I line = Wrap<L, kPowerOfTwo>(L::template ShiftRightSigned<8>(f.tt), sampler.v);
        t[0] = L::Gather(sampler.texels, TexelIndex<L, kPowerOfTwo>(column, line, sampler));
    } else if constexpr (kMode == TexMode::Bilinear) {
        const I column = Wrap<L, kPowerOfTwo>(L::template ShiftRightSigned<8>(f.s), sampler.u);
        const I line = Wrap<L, kPowerOfTwo>(L::template ShiftRightSigned<8>(f.tt), sampler.v);
        bool squares = false;
        if constexpr (L::kPairedFetch) {
            // Where no lane sits on the last column or the last line, each
            // texel's right neighbour follows it in memory and the texels
            // below lie one row further on.
            squares = !L::Any(L::MaskOr(L::Greater(column, L::SplatI(sampler.u.size - 2)),
                                        L::Greater(line, L::SplatI(sampler.v.size - 2))));
            if (squares) {
                L::GatherSquares(sampler.texels, TexelIndex<L, kPowerOfTwo>(column, line, sampler),
                                 sampler.u.size, &t[0], &t[1], &t[2], &t[3]);
            }
        }
        if (!squares) {
            const I column1 = WrapNext<L, kPowerOfTwo>(column, sampler.u);
            const I line1 = WrapNext<L, kPowerOfTwo>(line, sampler.v);
            t[0] = L::Gather(sampler.texels, TexelIndex<L, kPowerOfTwo>(column, line, sampler));
            t[1] = L::Gather(sampler.texels, TexelIndex<L, kPowerOfTwo>(column1, line, sampler));
            t[2] = L::Gather(sampler.texels, TexelIndex<L, kPowerOfTwo>(column, line1, sampler));
            t[3] = L::Gather(sampler.texels, TexelIndex<L, kPowerOfTwo>(column1, line1, sampler));
        }
    }
    return out;
}

// The texel of each lane: as fetched, or the four neighbours blended for
// bilinear.
template <class L, TexMode kMode>
RASTER_INLINE Halves<L> Blend(const Fetched<L, kMode>& fetched, const Fragment<L>& f) {
    const typename L::Ints* t = fetched.texels;
    if constexpr (kMode == TexMode::Bilinear) {
        const typename L::Ints fraction = L::SplatI(255);
        const typename L::Ints fx = HalvesWeight<L>(L::And(f.s, fraction));
        const typename L::Ints fy = HalvesWeight<L>(L::And(f.tt, fraction));
        return Lerp<L>(Lerp<L>(Split<L>(t[0]), Split<L>(t[1]), fx),
                       Lerp<L>(Split<L>(t[2]), Split<L>(t[3]), fx), fy);
    } else {
        return Split<L>(t[0]);
    }
}

// The second half: the texel modulated by the lit colour, then colour and
// depth written.
template <class L, TexMode kMode, PixelFormat kFormat>
RASTER_INLINE void ShadeBack(const TriangleLanes<L>& tri, const Fragment<L>& f,
                             const Fetched<L, kMode>& texels, std::uint16_t* depth, PixelOf<kFormat>* color) {
    using I = typename L::Ints;
    const Light<L>& light = tri.steadyLight ? tri.light : f.light;
    I xrgb = light.xrgb;
    if constexpr (kMode != TexMode::None) xrgb = Modulate<L>(Blend<L, kMode>(texels, f), light);

    // Write colour and depth.
    I stored = xrgb;
    if constexpr (kFormat == PixelFormat::RGB565) {
        stored = L::Or(L::Or(L::And(L::template ShiftRight<8>(xrgb), L::SplatI(0xF800)),
                             L::And(L::template ShiftRight<5>(xrgb), L::SplatI(0x07E0))),
                       L::And(L::template ShiftRight<3>(xrgb), L::SplatI(0x001F)));
    } else if constexpr (kFormat == PixelFormat::Indexed8) {
        const I color15 = L::Or(L::Or(L::And(L::template ShiftRight<9>(xrgb), L::SplatI(0x7C00)),
                                      L::And(L::template ShiftRight<6>(xrgb), L::SplatI(0x03E0))),
                                L::And(L::template ShiftRight<3>(xrgb), L::SplatI(0x001F)));
        stored = L::Gather(tri.colorToIndex, color15);
    }
    L::StoreWhere(depth, f.write, f.z);
    L::StoreWhere(color, f.write, stored);
}

// Groups past the depth test wait here for their second half, so that a few
// groups' first halves run ahead of their second, and then all their texels
// are fetched before any is blended, so that the loads of several groups overlap.
template <class L, TexMode kMode, bool kPowerOfTwo, PixelFormat kFormat>
class Pending {
public:
    Pending(const TriangleLanes<L>& tri, std::uint16_t* depth, PixelOf<kFormat>* color)
        : tri_(tri), depth_(depth), color_(color) {}

    // Room for the fragment of the group at pixel `x` of the row.
    Fragment<L>* Next(int x) {
        x_[waiting_] = x;
        return &fragments_[waiting_];
    }
    // Keeps the fragment Next gave; finishes all once the batch is full.
    void Keep() {
        if (++waiting_ == kBatch) Finish();
    }
    void Finish() {
        Fetched<L, kMode> texels[kBatch];
        for (int i = 0; i < waiting_; ++i)
            texels[i] = Fetch<L, kMode, kPowerOfTwo>(tri_.sampler, fragments_[i]);
        for (int i = 0; i < waiting_; ++i) {
            ShadeBack<L, kMode, kFormat>(tri_, fragments_[i], texels[i], depth_ + x_[i], color_ + x_[i]);
        }
        waiting_ = 0;
    }

private:
    static constexpr int kBatch = 8;
    const TriangleLanes<L>& tri_;
    std::uint16_t* depth_;
    PixelOf<kFormat>* color_;
    Fragment<L> fragments_[kBatch];
    int x_[kBatch];
    int waiting_ = 0;
};

// A target narrower than a group: the row is shaded in a group-sized copy,
// and only its pixels inside the target go back.
template <class L, TexMode kMode, bool kPowerOfTwo, PixelFormat kFormat>
RASTER_INLINE void ShadeNarrowRow(const TriangleLanes<L>& tri, const Planes<L>& row, int width, int minX,
                                  int first, int end, std::uint16_t* depth, PixelOf<kFormat>* color) {
    constexpr int kCount = L::kCount;
    std::uint16_t depthCopy[kCount] = {};
    PixelOf<kFormat> colorCopy[kCount] = {};
    std::copy(depth, depth + width, depthCopy);
    std::copy(color, color + width, colorCopy);
    const typename L::Floats k = L::ToFloat(L::Add(L::SplatI(-minX), L::Ramp()));
    Fragment<L> fragment;
    if (ShadeFront<L, kMode>(tri, row, L::LanesIn(first, end), k, depthCopy, &fragment)) {
        ShadeBack<L, kMode, kFormat>(tri, fragment, Fetch<L, kMode, kPowerOfTwo>(tri.sampler, fragment),
                                     depthCopy, colorCopy);
    }
    std::copy(depthCopy, depthCopy + width, depth);
    std::copy(colorCopy, colorCopy + width, color);
}

// The covered pixels of a row, target pixels first..end - 1, a group at a
// time: whole groups, then one last group ending at the span's end (or
// the target's right side) with only its pixels not yet shaded set.
template <class L, TexMode kMode, bool kPowerOfTwo, PixelFormat kFormat>
RASTER_INLINE void ShadeRow(const TriangleLanes<L>& tri, const Planes<L>& row, int width, int minX, int first,
                            int end, std::uint16_t* depth, PixelOf<kFormat>* color) {
    using F = typename L::Floats;
    constexpr int kCount = L::kCount;
    if (width < kCount) {
        ShadeNarrowRow<L, kMode, kPowerOfTwo, kFormat>(tri, row, width, minX, first, end, depth, color);
        return;
    }
    Pending<L, kMode, kPowerOfTwo, kFormat> pending(tri, depth, color);
    int x = first;
    F k = L::ToFloat(L::Add(L::SplatI(x - minX), L::Ramp()));
    for (; x + kCount <= end; x += kCount, k = L::Add(k, L::SplatF(kCount))) {
        if (ShadeFront<L, kMode>(tri, row, L::AllLanes(), k, depth + x, pending.Next(x))) pending.Keep();
    }
    if (x < end) {
        const int start = std::min(x, width - kCount);
        k = L::ToFloat(L::Add(L::SplatI(start - minX), L::Ramp()));
        const typename L::Mask rest = L::LanesIn(x - start, end - start);
        if (ShadeFront<L, kMode>(tri, row, rest, k, depth + start, pending.Next(start))) pending.Keep();
    }
    pending.Finish();
}

// Asks pixels first..last of a row into the cache, to be written soon.
template <typename Pixel>
RASTER_INLINE void Prefetch(Pixel* row, int first, int last) {
    constexpr int kLine = 64;
    const char* end = reinterpret_cast<const char*>(row + last);
    for (const char* p = reinterpret_cast<const char*>(row + first); p <= end; p += kLine) {
        __builtin_prefetch(p, 1);
    }
}

template <class L>
struct SimdKernel {
    static constexpr const char* kName = L::kName;
    // On targets larger than a big last-level cache, whose rows come from
    // memory, the pixels a row's span would cover kRowsAhead rows below are
    // asked into the cache while the row is shaded: short spans give the
    // CPU's own prefetching no time. Smaller targets are mostly cached, and
    // there the requests cost more than they save.
    static constexpr int kRowsAhead = 2;
    static constexpr std::size_t kCachedTargetBytes = std::size_t{32} << 20;
    static constexpr int kCount = L::kCount;

    // Row by row, only the pixels the triangle covers.
    template <TexMode kMode, bool kPowerOfTwo, PixelFormat kFormat>
    static void DrawTriangle(const Target& target, const Sampler& sampler, const TriangleSetup& t) {
        const Planes<L> dx{L::SplatF(t.depth.dx), L::SplatF(t.rhw.dx), L::SplatF(t.u.dx),
                           L::SplatF(t.v.dx),     L::SplatF(t.red.dx), L::SplatF(t.green.dx),
                           L::SplatF(t.blue.dx)};
        const TriangleLanes<L> tri{dx, t.steadyLight,
                                   LightAt<L>(Splat<L>(RowStartAt(t, t.minY)), dx, L::SplatF(0.0f)), sampler,
                                   target.colorToIndex};
        const bool ahead = static_cast<std::size_t>(target.height) *
                               (sizeof(PixelOf<kFormat>) + sizeof(std::uint16_t)) * target.width >
                           kCachedTargetBytes;
        EdgeRows edges(t);
        for (int y = t.minY; y <= t.maxY; ++y, edges.Down()) {
            Span span;
            if (!CoveredSpan(t, edges.Values(), &span)) continue;
            auto* color = RowAt<PixelOf<kFormat>>(target.color, target.colorPitch, y);
            auto* depth = RowAt<std::uint16_t>(target.depth, target.depthPitch, y);
            if (ahead && y + kRowsAhead <= t.maxY) {
                const int first = std::max(t.minX + span.first - kCount, 0);
                const int last = std::min(t.minX + span.last + kCount, t.maxX);
                Prefetch(RowAt<std::uint16_t>(target.depth, target.depthPitch, y + kRowsAhead), first, last);
                Prefetch(RowAt<PixelOf<kFormat>>(target.color, target.colorPitch, y + kRowsAhead), first,
                         last);
            }
            ShadeRow<L, kMode, kPowerOfTwo, kFormat>(tri, Splat<L>(RowStartAt(t, y)), target.width, t.minX,
                                                     t.minX + span.first, t.minX + span.last + 1, depth,
                                                     color);
        }
    }
};

}  // namespace
}  // namespace raster
