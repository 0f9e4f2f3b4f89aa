// Four pixels of a row in SSE2 registers: the operations SimdRasterizer.h
// draws with. Lanes8.h offers the same operations eight pixels wide.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "Platform/DirectX/Raster/RasterInline.h"

namespace raster {

struct Lanes4 {
    static constexpr int kCount = 4;
    static constexpr const char* kName = "sse2";
    using Floats = __m128;
    using Ints = __m128i;
    // Set lanes are all ones.
    using Mask = __m128i;

    RASTER_INLINE static Floats SplatF(float v) { return _mm_set1_ps(v); }
    RASTER_INLINE static Ints SplatI(int v) { return _mm_set1_epi32(v); }
    RASTER_INLINE static Ints Ramp() { return _mm_setr_epi32(0, 1, 2, 3); }

    RASTER_INLINE static Floats Add(Floats a, Floats b) { return _mm_add_ps(a, b); }
    RASTER_INLINE static Floats Sub(Floats a, Floats b) { return _mm_sub_ps(a, b); }
    RASTER_INLINE static Floats Mul(Floats a, Floats b) { return _mm_mul_ps(a, b); }
    RASTER_INLINE static Floats Div(Floats a, Floats b) { return _mm_div_ps(a, b); }
    // a > b ? a : b and a < b ? a : b, lane by lane (NaN in `a` gives `b`).
    RASTER_INLINE static Floats Max(Floats a, Floats b) { return _mm_max_ps(a, b); }
    RASTER_INLINE static Floats Min(Floats a, Floats b) { return _mm_min_ps(a, b); }
    RASTER_INLINE static Ints ToInt(Floats a) { return _mm_cvttps_epi32(a); }  // truncating
    RASTER_INLINE static Floats ToFloat(Ints a) { return _mm_cvtepi32_ps(a); }
    RASTER_INLINE static Mask Less(Floats a, Floats b) { return _mm_castps_si128(_mm_cmplt_ps(a, b)); }
    RASTER_INLINE static Mask GreaterEqual(Floats a, Floats b) {
        return _mm_castps_si128(_mm_cmpge_ps(a, b));
    }
    RASTER_INLINE static Floats Select(Mask mask, Floats a, Floats b) {
        const __m128 m = _mm_castsi128_ps(mask);
        return _mm_or_ps(_mm_and_ps(m, a), _mm_andnot_ps(m, b));
    }

    RASTER_INLINE static Ints Add(Ints a, Ints b) { return _mm_add_epi32(a, b); }
    RASTER_INLINE static Ints Sub(Ints a, Ints b) { return _mm_sub_epi32(a, b); }
    RASTER_INLINE static Ints And(Ints a, Ints b) { return _mm_and_si128(a, b); }
    RASTER_INLINE static Ints Or(Ints a, Ints b) { return _mm_or_si128(a, b); }
    // Bytes 1 and 3 of each lane, moved down to the low bytes of its 16-bit
    // halves (which are zeroed above them).
    RASTER_INLINE static Ints OddBytes(Ints a) {
        return _mm_and_si128(_mm_srli_epi32(a, 8), _mm_set1_epi32(0x00FF00FF));
    }
    // The 16-bit halves of each lane on their own: sums and differences
    // (wrapping), and the high 16 bits of signed products.
    RASTER_INLINE static Ints Add16(Ints a, Ints b) { return _mm_add_epi16(a, b); }
    RASTER_INLINE static Ints Sub16(Ints a, Ints b) { return _mm_sub_epi16(a, b); }
    RASTER_INLINE static Ints MulHigh16(Ints a, Ints b) { return _mm_mulhi_epi16(a, b); }
    // Multiplies the 16-bit halves of each lane separately, keeping the low 16 bits.
    RASTER_INLINE static Ints Mul16(Ints a, Ints b) { return _mm_mullo_epi16(a, b); }
    template <int n>
    RASTER_INLINE static Ints ShiftLeft(Ints a) {
        return _mm_slli_epi32(a, n);
    }
    template <int n>
    RASTER_INLINE static Ints ShiftRight(Ints a) {
        return _mm_srli_epi32(a, n);
    }
    template <int n>
    RASTER_INLINE static Ints ShiftRightSigned(Ints a) {
        return _mm_srai_epi32(a, n);
    }
    // Shifts the 16-bit halves of each lane separately.
    template <int n>
    RASTER_INLINE static Ints ShiftRight16(Ints a) {
        return _mm_srli_epi16(a, n);
    }
    // Shifts every lane left by a count known only at run time.
    RASTER_INLINE static Ints ShiftLeftBy(Ints a, int n) { return _mm_sll_epi32(a, _mm_cvtsi32_si128(n)); }
    // Products below 2^24, which a float holds exactly (SSE2 has no 32-bit multiply).
    RASTER_INLINE static Ints MulSmall(Ints a, Ints b) {
        return _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(a), _mm_cvtepi32_ps(b)));
    }
    RASTER_INLINE static Mask Greater(Ints a, Ints b) { return _mm_cmpgt_epi32(a, b); }
    RASTER_INLINE static Ints Select(Mask mask, Ints a, Ints b) {
        return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
    }

    RASTER_INLINE static Mask AllLanes() { return _mm_set1_epi32(-1); }
    // Lanes from..to - 1.
    RASTER_INLINE static Mask LanesIn(int from, int to) {
        return _mm_andnot_si128(_mm_cmpgt_epi32(_mm_set1_epi32(from), Ramp()),
                                _mm_cmpgt_epi32(_mm_set1_epi32(to), Ramp()));
    }
    RASTER_INLINE static Mask MaskAnd(Mask a, Mask b) { return _mm_and_si128(a, b); }
    RASTER_INLINE static Mask MaskOr(Mask a, Mask b) { return _mm_or_si128(a, b); }
    RASTER_INLINE static bool Any(Mask mask) { return _mm_movemask_ps(_mm_castsi128_ps(mask)) != 0; }
    RASTER_INLINE static bool All(Mask mask) { return _mm_movemask_ps(_mm_castsi128_ps(mask)) == 0xF; }

    RASTER_INLINE static Ints Load(const std::uint32_t* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    RASTER_INLINE static Ints Load(const std::uint16_t* p) {
        return _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
    }
    RASTER_INLINE static Ints Load(const std::uint8_t* p) {
        const __m128i zero = _mm_setzero_si128();
        return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_loadu_si32(p), zero), zero);
    }
    RASTER_INLINE static void Store(std::uint32_t* p, Ints v) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    }
    // Lanes hold 0..0xFFFF: sign-extending the low halves lets the signed
    // pack keep them unchanged.
    RASTER_INLINE static void Store(std::uint16_t* p, Ints v) {
        const __m128i low = _mm_srai_epi32(_mm_slli_epi32(v, 16), 16);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packs_epi32(low, low));
    }
    // Lanes hold 0..255.
    RASTER_INLINE static void Store(std::uint8_t* p, Ints v) {
        const __m128i words = _mm_packs_epi32(v, v);
        _mm_storeu_si32(p, _mm_packus_epi16(words, words));
    }
    // Stores the set lanes, leaving the others' memory as it was; reads
    // nothing when all are set.
    template <typename Pixel>
    RASTER_INLINE static void StoreWhere(Pixel* p, Mask mask, Ints v) {
        Store(p, All(mask) ? v : Select(mask, v, Load(p)));
    }

    // Texels base[index] of each lane, with plain loads (SSE2 has no gather);
    // a bilinear fetch takes the two horizontal neighbours of a texel with
    // one 64-bit load. Indices are unsigned, so that addressing needs no
    // sign extension.
    static constexpr bool kPairedFetch = true;
    RASTER_INLINE static Ints Gather(const std::uint32_t* base, Ints index) {
        alignas(16) std::uint32_t i[kCount];
        _mm_store_si128(reinterpret_cast<__m128i*>(i), index);
        return _mm_setr_epi32(static_cast<int>(base[i[0]]), static_cast<int>(base[i[1]]),
                              static_cast<int>(base[i[2]]), static_cast<int>(base[i[3]]));
    }
    // Texels base[index], base[index + 1] (the right neighbour),
    // base[index + stride] (below) and base[index + stride + 1] of each lane.
    RASTER_INLINE static void GatherSquares(const std::uint32_t* base, Ints index, int stride, Ints* c00,
                                            Ints* c10, Ints* c01, Ints* c11) {
        alignas(16) std::uint32_t i[kCount];
        _mm_store_si128(reinterpret_cast<__m128i*>(i), index);
        const auto pairs = [&](const std::uint32_t* row, Ints* left, Ints* right) {
            const auto pair = [&](int k) {
                return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + i[k]));
            };
            const __m128 a = _mm_castsi128_ps(_mm_unpacklo_epi64(pair(0), pair(1)));
            const __m128 b = _mm_castsi128_ps(_mm_unpacklo_epi64(pair(2), pair(3)));
            *left = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
            *right = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
        };
        pairs(base, c00, c10);
        pairs(base + stride, c01, c11);
    }
    RASTER_INLINE static Ints Gather(const std::uint8_t* base, Ints index) {
        alignas(16) std::uint32_t i[kCount];
        _mm_store_si128(reinterpret_cast<__m128i*>(i), index);
        return _mm_setr_epi32(base[i[0]], base[i[1]], base[i[2]], base[i[3]]);
    }
};

}  // namespace raster
