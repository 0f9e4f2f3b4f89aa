// Eight pixels of a row in AVX2 registers: the same operations as Lanes4.h.
// Only for code compiled for AVX2 and run where the CPU has it.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "Platform/DirectX/Raster/RasterInline.h"

namespace raster {

struct Lanes8 {
    static constexpr int kCount = 8;
    static constexpr const char* kName = "avx2-gather";
    using Floats = __m256;
    using Ints = __m256i;
    // Set lanes are all ones.
    using Mask = __m256i;

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
    RASTER_INLINE static Mask Less(Floats a, Floats b) {
        return _mm256_castps_si256(_mm256_cmp_ps(a, b, _CMP_LT_OQ));
    }
    RASTER_INLINE static Mask GreaterEqual(Floats a, Floats b) {
        return _mm256_castps_si256(_mm256_cmp_ps(a, b, _CMP_GE_OQ));
    }
    RASTER_INLINE static Floats Select(Mask mask, Floats a, Floats b) {
        return _mm256_blendv_ps(b, a, _mm256_castsi256_ps(mask));
    }

    RASTER_INLINE static Ints Add(Ints a, Ints b) { return _mm256_add_epi32(a, b); }
    RASTER_INLINE static Ints Sub(Ints a, Ints b) { return _mm256_sub_epi32(a, b); }
    RASTER_INLINE static Ints And(Ints a, Ints b) { return _mm256_and_si256(a, b); }
    RASTER_INLINE static Ints Or(Ints a, Ints b) { return _mm256_or_si256(a, b); }
    // Bytes 1 and 3 of each lane, moved down to the low bytes of its 16-bit
    // halves (which are zeroed above them).
    RASTER_INLINE static Ints OddBytes(Ints a) {
        const __m128i odd = _mm_setr_epi8(1, -1, 3, -1, 5, -1, 7, -1, 9, -1, 11, -1, 13, -1, 15, -1);
        return _mm256_shuffle_epi8(a, _mm256_broadcastsi128_si256(odd));
    }
    // The 16-bit halves of each lane on their own: sums and differences
    // (wrapping), and the high 16 bits of signed products.
    RASTER_INLINE static Ints Add16(Ints a, Ints b) { return _mm256_add_epi16(a, b); }
    RASTER_INLINE static Ints Sub16(Ints a, Ints b) { return _mm256_sub_epi16(a, b); }
    RASTER_INLINE static Ints MulHigh16(Ints a, Ints b) { return _mm256_mulhi_epi16(a, b); }
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
    RASTER_INLINE static Mask Greater(Ints a, Ints b) { return _mm256_cmpgt_epi32(a, b); }
    RASTER_INLINE static Ints Select(Mask mask, Ints a, Ints b) { return _mm256_blendv_epi8(b, a, mask); }

    RASTER_INLINE static Mask AllLanes() { return _mm256_set1_epi32(-1); }
    // Lanes from..to - 1.
    RASTER_INLINE static Mask LanesIn(int from, int to) {
        return _mm256_andnot_si256(_mm256_cmpgt_epi32(_mm256_set1_epi32(from), Ramp()),
                                   _mm256_cmpgt_epi32(_mm256_set1_epi32(to), Ramp()));
    }
    RASTER_INLINE static Mask MaskAnd(Mask a, Mask b) { return _mm256_and_si256(a, b); }
    RASTER_INLINE static Mask MaskOr(Mask a, Mask b) { return _mm256_or_si256(a, b); }
    RASTER_INLINE static bool Any(Mask mask) { return _mm256_movemask_ps(_mm256_castsi256_ps(mask)) != 0; }
    RASTER_INLINE static bool All(Mask mask) { return _mm256_movemask_ps(_mm256_castsi256_ps(mask)) == 0xFF; }

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
    // Stores the set lanes, leaving the others' memory as it was; reads
    // nothing when all are set.
    template <typename Pixel>
    RASTER_INLINE static void StoreWhere(Pixel* p, Mask mask, Ints v) {
        Store(p, All(mask) ? v : Select(mask, v, Load(p)));
    }

    // Texels base[index] of each lane, with the hardware gather.
    static constexpr bool kPairedFetch = false;
    RASTER_INLINE static Ints Gather(const std::uint32_t* base, Ints index) {
        return _mm256_i32gather_epi32(reinterpret_cast<const int*>(base), index, 4);
    }
    RASTER_INLINE static Ints Gather(const std::uint8_t* base, Ints index) {
        alignas(32) std::uint32_t i[kCount];
        _mm256_store_si256(reinterpret_cast<__m256i*>(i), index);
        return _mm256_setr_epi32(base[i[0]], base[i[1]], base[i[2]], base[i[3]], base[i[4]], base[i[5]],
                                 base[i[6]], base[i[7]]);
    }
};

// The same eight lanes fetching texels with plain loads instead of the
// hardware gather, which is slow on some CPUs; a bilinear fetch takes the
// two horizontal neighbours of a texel with one 64-bit load.
struct Lanes8Loads : Lanes8 {
    static constexpr const char* kName = "avx2-loads";
    static constexpr bool kPairedFetch = true;

    using Lanes8::Gather;
    RASTER_INLINE static Ints Gather(const std::uint32_t* base, Ints index) {
        const Indices i(index);
        const auto four = [&](int k) {
            const __m128i one = _mm_cvtsi32_si128(static_cast<int>(base[i[k]]));
            return _mm_insert_epi32(
                _mm_insert_epi32(_mm_insert_epi32(one, static_cast<int>(base[i[k + 1]]), 1),
                                 static_cast<int>(base[i[k + 2]]), 2),
                static_cast<int>(base[i[k + 3]]), 3);
        };
        return _mm256_inserti128_si256(_mm256_castsi128_si256(four(0)), four(4), 1);
    }
    // Texels base[index], base[index + 1] (the right neighbour),
    // base[index + stride] (below) and base[index + stride + 1] of each lane.
    RASTER_INLINE static void GatherSquares(const std::uint32_t* base, Ints index, int stride, Ints* c00,
                                            Ints* c10, Ints* c01, Ints* c11) {
        const Indices i(index);
        const auto pairs = [&](const std::uint32_t* row, Ints* left, Ints* right) {
            const auto two = [&](int k) {
                const auto pair = [&](int n) {
                    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + i[n]));
                };
                return _mm_castsi128_ps(_mm_unpacklo_epi64(pair(k), pair(k + 1)));
            };
            // The in-lane shuffles below take pixels 0 1 2 3 from the low
            // halves and 4 5 6 7 from the high ones, in order: no permute.
            const __m256 a = _mm256_set_m128(two(4), two(0)), b = _mm256_set_m128(two(6), two(2));
            *left = _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
            *right = _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
        };
        pairs(base, c00, c10);
        pairs(base + stride, c01, c11);
    }

private:
    // The lanes' indices (unsigned, so that addressing needs no sign
    // extension), moved out two at a time: half as many moves from vector
    // to general registers, which the CPU makes one at a time, as lane by lane.
    class Indices {
    public:
        RASTER_INLINE explicit Indices(Ints index) {
            const __m128i low = _mm256_castsi256_si128(index), high = _mm256_extracti128_si256(index, 1);
            const std::uint64_t pairs[4] = {static_cast<std::uint64_t>(_mm_cvtsi128_si64(low)),
                                            static_cast<std::uint64_t>(_mm_extract_epi64(low, 1)),
                                            static_cast<std::uint64_t>(_mm_cvtsi128_si64(high)),
                                            static_cast<std::uint64_t>(_mm_extract_epi64(high, 1))};
            for (int k = 0; k < 4; ++k) {
                lane_[2 * k] = static_cast<std::uint32_t>(pairs[k]);
                lane_[2 * k + 1] = static_cast<std::uint32_t>(pairs[k] >> 32);
            }
        }
        RASTER_INLINE std::uint32_t operator[](int k) const { return lane_[k]; }

    private:
        std::uint32_t lane_[kCount];
    };
};

}  // namespace raster
