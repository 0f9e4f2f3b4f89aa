// Sixteen pixels of a row in AVX-512 registers: the same operations as
// Lanes4.h, with lane masks in mask registers and stores of the set lanes
// alone. Only for code compiled for AVX-512 F, BW, DQ and VL and run where
// the CPU has them.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "Platform/DirectX/Raster/RasterInline.h"

namespace raster {

struct Lanes16 {
    static constexpr int kCount = 16;
    static constexpr const char* kName = "avx512";
    using Floats = __m512;
    using Ints = __m512i;
    // One bit a lane.
    using Mask = __mmask16;

    RASTER_INLINE static Floats SplatF(float v) { return _mm512_set1_ps(v); }
    RASTER_INLINE static Ints SplatI(int v) { return _mm512_set1_epi32(v); }
    RASTER_INLINE static Ints Ramp() {
        return _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    }

    RASTER_INLINE static Floats Add(Floats a, Floats b) { return _mm512_add_ps(a, b); }
    RASTER_INLINE static Floats Sub(Floats a, Floats b) { return _mm512_sub_ps(a, b); }
    RASTER_INLINE static Floats Mul(Floats a, Floats b) { return _mm512_mul_ps(a, b); }
    RASTER_INLINE static Floats Div(Floats a, Floats b) { return _mm512_div_ps(a, b); }
    // a > b ? a : b and a < b ? a : b, lane by lane (NaN in `a` gives `b`).
    RASTER_INLINE static Floats Max(Floats a, Floats b) { return _mm512_max_ps(a, b); }
    RASTER_INLINE static Floats Min(Floats a, Floats b) { return _mm512_min_ps(a, b); }
    RASTER_INLINE static Ints ToInt(Floats a) { return _mm512_cvttps_epi32(a); }  // truncating
    RASTER_INLINE static Floats ToFloat(Ints a) { return _mm512_cvtepi32_ps(a); }
    RASTER_INLINE static Mask Less(Floats a, Floats b) { return _mm512_cmp_ps_mask(a, b, _CMP_LT_OQ); }
    RASTER_INLINE static Mask GreaterEqual(Floats a, Floats b) {
        return _mm512_cmp_ps_mask(a, b, _CMP_GE_OQ);
    }
    RASTER_INLINE static Floats Select(Mask mask, Floats a, Floats b) {
        return _mm512_mask_blend_ps(mask, b, a);
    }

    RASTER_INLINE static Ints Add(Ints a, Ints b) { return _mm512_add_epi32(a, b); }
    RASTER_INLINE static Ints Sub(Ints a, Ints b) { return _mm512_sub_epi32(a, b); }
    RASTER_INLINE static Ints And(Ints a, Ints b) { return _mm512_and_si512(a, b); }
    RASTER_INLINE static Ints Or(Ints a, Ints b) { return _mm512_or_si512(a, b); }
    // Bytes 1 and 3 of each lane, moved down to the low bytes of its 16-bit
    // halves (which are zeroed above them).
    RASTER_INLINE static Ints OddBytes(Ints a) {
        const __m128i odd = _mm_setr_epi8(1, -1, 3, -1, 5, -1, 7, -1, 9, -1, 11, -1, 13, -1, 15, -1);
        return _mm512_shuffle_epi8(a, _mm512_broadcast_i32x4(odd));
    }
    // The 16-bit halves of each lane on their own: sums and differences
    // (wrapping), and the high 16 bits of signed products.
    RASTER_INLINE static Ints Add16(Ints a, Ints b) { return _mm512_add_epi16(a, b); }
    RASTER_INLINE static Ints Sub16(Ints a, Ints b) { return _mm512_sub_epi16(a, b); }
    RASTER_INLINE static Ints MulHigh16(Ints a, Ints b) { return _mm512_mulhi_epi16(a, b); }
    // Multiplies the 16-bit halves of each lane separately, keeping the low 16 bits.
    RASTER_INLINE static Ints Mul16(Ints a, Ints b) { return _mm512_mullo_epi16(a, b); }
    template <int n>
    RASTER_INLINE static Ints ShiftLeft(Ints a) {
        return _mm512_slli_epi32(a, n);
    }
    template <int n>
    RASTER_INLINE static Ints ShiftRight(Ints a) {
        return _mm512_srli_epi32(a, n);
    }
    template <int n>
    RASTER_INLINE static Ints ShiftRightSigned(Ints a) {
        return _mm512_srai_epi32(a, n);
    }
    // Shifts the 16-bit halves of each lane separately.
    template <int n>
    RASTER_INLINE static Ints ShiftRight16(Ints a) {
        return _mm512_srli_epi16(a, n);
    }
    // Shifts every lane left by a count known only at run time.
    RASTER_INLINE static Ints ShiftLeftBy(Ints a, int n) { return _mm512_sll_epi32(a, _mm_cvtsi32_si128(n)); }
    // Products below 2^24, as in Lanes4.
    RASTER_INLINE static Ints MulSmall(Ints a, Ints b) { return _mm512_mullo_epi32(a, b); }
    RASTER_INLINE static Mask Greater(Ints a, Ints b) { return _mm512_cmpgt_epi32_mask(a, b); }
    RASTER_INLINE static Ints Select(Mask mask, Ints a, Ints b) {
        return _mm512_mask_blend_epi32(mask, b, a);
    }

    RASTER_INLINE static Mask AllLanes() { return 0xFFFF; }
    // Lanes from..to - 1.
    RASTER_INLINE static Mask LanesIn(int from, int to) {
        return static_cast<Mask>(((1u << to) - 1) & ~((1u << from) - 1));
    }
    RASTER_INLINE static Mask MaskAnd(Mask a, Mask b) { return static_cast<Mask>(a & b); }
    RASTER_INLINE static Mask MaskOr(Mask a, Mask b) { return static_cast<Mask>(a | b); }
    RASTER_INLINE static bool Any(Mask mask) { return mask != 0; }

    // Depths, widened to a lane each.
    RASTER_INLINE static Ints Load(const std::uint16_t* p) {
        return _mm512_cvtepu16_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
    }
    // Stores the set lanes (lanes hold values that fit the pixel), leaving
    // the others' memory untouched.
    RASTER_INLINE static void StoreWhere(std::uint32_t* p, Mask mask, Ints v) {
        _mm512_mask_storeu_epi32(p, mask, v);
    }
    RASTER_INLINE static void StoreWhere(std::uint16_t* p, Mask mask, Ints v) {
        _mm512_mask_cvtepi32_storeu_epi16(p, mask, v);
    }
    RASTER_INLINE static void StoreWhere(std::uint8_t* p, Mask mask, Ints v) {
        _mm512_mask_cvtepi32_storeu_epi8(p, mask, v);
    }

    // Texels base[index] of each lane, with the hardware gather; a bilinear
    // fetch gathers each texel with its right neighbour as one 64-bit
    // element, half the elements of gathering them apart.
    static constexpr bool kPairedFetch = true;
    RASTER_INLINE static Ints Gather(const std::uint32_t* base, Ints index) {
        return _mm512_i32gather_epi32(index, base, 4);
    }
    // Texels base[index], base[index + 1] (the right neighbour),
    // base[index + stride] (below) and base[index + stride + 1] of each lane.
    RASTER_INLINE static void GatherSquares(const std::uint32_t* base, Ints index, int stride, Ints* c00,
                                            Ints* c10, Ints* c01, Ints* c11) {
        const __m256i low = _mm512_castsi512_si256(index);
        const __m256i high = _mm512_extracti64x4_epi64(index, 1);
        const Ints even = _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
        const Ints odd = _mm512_add_epi32(even, _mm512_set1_epi32(1));
        const auto pairs = [&](const std::uint32_t* row, Ints* left, Ints* right) {
            const Ints first = _mm512_i32gather_epi64(low, row, 4);
            const Ints second = _mm512_i32gather_epi64(high, row, 4);
            *left = _mm512_permutex2var_epi32(first, even, second);
            *right = _mm512_permutex2var_epi32(first, odd, second);
        };
        pairs(base, c00, c10);
        pairs(base + stride, c01, c11);
    }
    RASTER_INLINE static Ints Gather(const std::uint8_t* base, Ints index) {
        alignas(64) std::uint32_t i[kCount];
        _mm512_store_si512(i, index);
        return _mm512_setr_epi32(base[i[0]], base[i[1]], base[i[2]], base[i[3]], base[i[4]], base[i[5]],
                                 base[i[6]], base[i[7]], base[i[8]], base[i[9]], base[i[10]], base[i[11]],
                                 base[i[12]], base[i[13]], base[i[14]], base[i[15]]);
    }
};

}  // namespace raster
