// Eight pixels of a row in AVX2 registers: the same operations as Lanes4.h.
// Only for code compiled for AVX2 and run where the CPU has it.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "Platform/DirectX/Raster/PixelFormats.h"

namespace raster {

struct Lanes8 {
    static constexpr int kCount = 8;
    static constexpr const char* kName = "AVX2";
    using Floats = __m256;
    using Ints = __m256i;
    // 64-bit edge-function values: pixels 0-3 in `lo`, 4-7 in `hi`.
    struct Edges {
        __m256i lo, hi;
    };

    RASTER_INLINE static Floats SplatF(float v) { return _mm256_set1_ps(v); }
    RASTER_INLINE static Ints SplatI(int v) { return _mm256_set1_epi32(v); }
    RASTER_INLINE static Ints Ramp() { return _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7); }

    RASTER_INLINE static Floats Add(Floats a, Floats b) { return _mm256_add_ps(a, b); }
    RASTER_INLINE static Floats Sub(Floats a, Floats b) { return _mm256_sub_ps(a, b); }
    RASTER_INLINE static Floats Mul(Floats a, Floats b) { return _mm256_mul_ps(a, b); }
    RASTER_INLINE static Floats Div(Floats a, Floats b) { return _mm256_div_ps(a, b); }
    // a > b ? a : b and a < b ? a : b, lane by lane (NaN in `a` gives `b`).
    RASTER_INLINE static Floats Max(Floats a, Floats b) { return _mm256_max_ps(a, b); }
    RASTER_INLINE static Floats Min(Floats a, Floats b) { return _mm256_min_ps(a, b); }
    RASTER_INLINE static Ints ToInt(Floats a) { return _mm256_cvttps_epi32(a); }  // truncating
    RASTER_INLINE static Floats ToFloat(Ints a) { return _mm256_cvtepi32_ps(a); }
    RASTER_INLINE static Ints Less(Floats a, Floats b) {
        return _mm256_castps_si256(_mm256_cmp_ps(a, b, _CMP_LT_OQ));
    }
    RASTER_INLINE static Ints GreaterEqual(Floats a, Floats b) {
        return _mm256_castps_si256(_mm256_cmp_ps(a, b, _CMP_GE_OQ));
    }
    RASTER_INLINE static Floats Select(Ints mask, Floats a, Floats b) {
        return _mm256_blendv_ps(b, a, _mm256_castsi256_ps(mask));
    }

    RASTER_INLINE static Ints Add(Ints a, Ints b) { return _mm256_add_epi32(a, b); }
    RASTER_INLINE static Ints Sub(Ints a, Ints b) { return _mm256_sub_epi32(a, b); }
    RASTER_INLINE static Ints And(Ints a, Ints b) { return _mm256_and_si256(a, b); }
    RASTER_INLINE static Ints Or(Ints a, Ints b) { return _mm256_or_si256(a, b); }
    // Multiplies the 16-bit halves of each lane separately, keeping the low 16 bits.
    RASTER_INLINE static Ints Mul16(Ints a, Ints b) { return _mm256_mullo_epi16(a, b); }
    template <int n>
    RASTER_INLINE static Ints ShiftLeft(Ints a) {
        return _mm256_slli_epi32(a, n);
    }
    template <int n>
    RASTER_INLINE static Ints ShiftRight(Ints a) {
        return _mm256_srli_epi32(a, n);
    }
    template <int n>
    RASTER_INLINE static Ints ShiftRightSigned(Ints a) {
        return _mm256_srai_epi32(a, n);
    }
    // Shifts the 16-bit halves of each lane separately.
    template <int n>
    RASTER_INLINE static Ints ShiftRight16(Ints a) {
        return _mm256_srli_epi16(a, n);
    }
    // Shifts every lane left by a count known only at run time.
    RASTER_INLINE static Ints ShiftLeftBy(Ints a, int n) { return _mm256_sll_epi32(a, _mm_cvtsi32_si128(n)); }
    // Products below 2^24, as in Lanes4.
    RASTER_INLINE static Ints MulSmall(Ints a, Ints b) { return _mm256_mullo_epi32(a, b); }
    RASTER_INLINE static Ints Greater(Ints a, Ints b) { return _mm256_cmpgt_epi32(a, b); }
    RASTER_INLINE static Ints Select(Ints mask, Ints a, Ints b) { return _mm256_blendv_epi8(b, a, mask); }
    RASTER_INLINE static bool Any(Ints mask) { return _mm256_movemask_ps(_mm256_castsi256_ps(mask)) != 0; }

    // Pixel k gets value + k * step.
    RASTER_INLINE static Edges EdgeStart(std::int64_t value, std::int64_t step) {
        const __m256i lo = _mm256_setr_epi64x(value, value + step, value + 2 * step, value + 3 * step);
        return Edges{lo, _mm256_add_epi64(lo, _mm256_set1_epi64x(4 * step))};
    }
    RASTER_INLINE static Edges EdgeSplat(std::int64_t value) {
        return Edges{_mm256_set1_epi64x(value), _mm256_set1_epi64x(value)};
    }
    RASTER_INLINE static Edges Add(Edges a, Edges b) {
        return Edges{_mm256_add_epi64(a.lo, b.lo), _mm256_add_epi64(a.hi, b.hi)};
    }
    // All-ones where no edge is negative: the sign bits sit in the high
    // halves of the 64-bit values, gathered here into one 32-bit lane each.
    // The shuffle works within 128-bit halves (pixels 0 1 4 5 | 2 3 6 7),
    // the permute puts them back in order.
    RASTER_INLINE static Ints Inside(Edges a, Edges b, Edges c) {
        const __m256i lo = _mm256_or_si256(_mm256_or_si256(a.lo, b.lo), c.lo);
        const __m256i hi = _mm256_or_si256(_mm256_or_si256(a.hi, b.hi), c.hi);
        const __m256i mixed = _mm256_castps_si256(
            _mm256_shuffle_ps(_mm256_castsi256_ps(lo), _mm256_castsi256_ps(hi), _MM_SHUFFLE(3, 1, 3, 1)));
        const __m256i high = _mm256_permute4x64_epi64(mixed, _MM_SHUFFLE(3, 1, 2, 0));
        return _mm256_cmpgt_epi32(high, _mm256_set1_epi32(-1));
    }

    RASTER_INLINE static Ints Load(const std::uint32_t* p) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    RASTER_INLINE static Ints Load(const std::uint16_t* p) {
        return _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    }
    RASTER_INLINE static Ints Load(const std::uint8_t* p) {
        return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
    }
    RASTER_INLINE static void Store(std::uint32_t* p, Ints v) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
    }
    // Lanes hold 0..0xFFFF.
    RASTER_INLINE static void Store(std::uint16_t* p, Ints v) {
        const __m128i words = _mm_packus_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), words);
    }
    // Lanes hold 0..255.
    RASTER_INLINE static void Store(std::uint8_t* p, Ints v) {
        const __m128i words = _mm_packus_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(words, words));
    }

    RASTER_INLINE static Ints Gather(const std::uint32_t* base, Ints index) {
        return _mm256_i32gather_epi32(reinterpret_cast<const int*>(base), index, 4);
    }
    RASTER_INLINE static Ints Gather(const std::uint8_t* base, Ints index) {
        alignas(32) int i[kCount];
        _mm256_store_si256(reinterpret_cast<__m256i*>(i), index);
        return _mm256_setr_epi32(base[i[0]], base[i[1]], base[i[2]], base[i[3]], base[i[4]], base[i[5]],
                                 base[i[6]], base[i[7]]);
    }
};

}  // namespace raster
