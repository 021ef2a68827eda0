// Division by b = 1.414213562373095 on eight lanes with a multiply and one
// fused multiply-add (AVX-512F, GCC), and the note of the lanes too tiny for
// it. Scalar meaning, lane by lane:
//
//   fused_division_by_sqrt2(v) = RN(v zh + RN(v zl)) = RN(v / b)
//     for 2^-966 <= |v| <= DBL_MAX, zeros, infinities and NaN,
//     with zh = RN(1/b) = 0x1.6a09e667f3bcdp-1, zl = RN(1/b - zh) = 0x1.08b2fb1366eabp-56
//   TinyNote: seen() is true once note(v) was given a lane with 0 < |v| < 2^-960
//
// (proof in trig/sqrt2_division.hpp). Every other vector type divides and
// notes nothing; so does Clang, which will not pass an eight-lane vector to
// a function that is not inlined outside an AVX-512 context.
#pragma once

#include "simd/simd.hpp"

#if defined(SIMD_X86) && !defined(__clang__)
#include <immintrin.h>
#define SIMD_FUSED_SQRT2_DIVISION 1
#endif

namespace simd {

template <class V> SIMD_INLINE V fused_division_by_sqrt2(V v) { return v / 1.414213562373095; }

template <class V> struct TinyNote {
    SIMD_INLINE void note(V) {}
    SIMD_INLINE bool seen() const { return false; }
};

#if defined(SIMD_FUSED_SQRT2_DIVISION)
SIMD_TARGET_AVX512 inline f64x8 fused_division_by_sqrt2(f64x8 v)
{
    const __m512d x = __m512d(v);
    return f64x8(_mm512_fmadd_pd(x, _mm512_set1_pd(0x1.6a09e667f3bcdp-1),
                                 _mm512_mul_pd(x, _mm512_set1_pd(0x1.08b2fb1366eabp-56))));
}

template <> struct TinyNote<f64x8> {
    // The least 2|v| - 1 (as an unsigned integer, a zero wrapping round to
    // the top) of the lanes noted.
    __m512i least;
    static constexpr long long kTiny = 2 * 0x03f0000000000000LL - 1; // 2 * bits(2^-960) - 1

    SIMD_TARGET_AVX512 inline TinyNote() : least(_mm512_set1_epi64(-1)) {}

    SIMD_TARGET_AVX512 inline void note(f64x8 v)
    {
        const __m512i bits = _mm512_castpd_si512(__m512d(v));
        const __m512i twice = _mm512_sub_epi64(_mm512_add_epi64(bits, bits), _mm512_set1_epi64(1));
        // All eight lanes masked in: no undefined pass-through operand.
        least = _mm512_mask_min_epu64(least, 0xFF, twice, least);
    }
    SIMD_TARGET_AVX512 inline bool seen() const
    {
        return _mm512_cmplt_epu64_mask(least, _mm512_set1_epi64(kTiny)) != 0;
    }
};
#endif

} // namespace simd
