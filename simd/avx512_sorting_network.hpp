// Bitonic sorting networks in AVX-512 registers, eight doubles a register.
//
// Scalar meaning: sort_bitonic(v) is v sorted ascending when v is bitonic
// (rises then falls); rank_in_registers(v, n, q) is the value of rank q
// (from 0) among v[0 .. n-1], what std::nth_element puts at v + q, for
// values without NaN (min and max then order every pair as '<' does; which
// of two equal values lands where cannot be told from the double returned,
// except for +0 and -0, whose sign the callers fix afterwards).
#pragma once

#include <algorithm>
#include <cmath>

#include "simd/simd.hpp"
#include "simd/avx512_pass_through_warnings.hpp"

#if defined(SIMD_X86)
#include <immintrin.h>

SIMD_AVX512_QUIET_BEGIN

namespace simd::avx512_sort {

// Lanes of the first n (clamped to 0 .. 8) of eight.
inline __mmask8 first_lanes(int n) { return n >= 8 ? 0xFF : n <= 0 ? 0 : static_cast<__mmask8>((1u << n) - 1); }

SIMD_TARGET_AVX512 inline __m512d load_block(const double* p, int left)
{
    return _mm512_mask_loadu_pd(_mm512_set1_pd(INFINITY), first_lanes(left), p);
}

// A bitonic sequence of eight in ascending order.
SIMD_TARGET_AVX512 inline __m512d sort_bitonic(__m512d v)
{
    __m512d p = _mm512_shuffle_f64x2(v, v, _MM_SHUFFLE(1, 0, 3, 2));
    v = _mm512_mask_max_pd(_mm512_min_pd(v, p), 0xF0, v, p);
    p = _mm512_permutex_pd(v, _MM_SHUFFLE(1, 0, 3, 2));
    v = _mm512_mask_max_pd(_mm512_min_pd(v, p), 0xCC, v, p);
    p = _mm512_permute_pd(v, 0x55);
    return _mm512_mask_max_pd(_mm512_min_pd(v, p), 0xAA, v, p);
}

// The value of rank q among v[0 .. n-1] (no NaN, n <= 8R), by a bitonic
// sort of 8R values in R registers, +Inf past n. A step (k, j) compares
// value i with value i ^ j and leaves the larger at the higher position
// where i & k is clear (ascending runs of k), at the lower where it is set.
template <int R> SIMD_TARGET_AVX512 double rank_in_registers(const double* v, int n, int q)
{
    __m512d r[R];
    for (int a = 0; a < R; ++a) r[a] = load_block(v + 8 * a, n - 8 * a);
    const __m512i partner[3] = {_mm512_set_epi64(6, 7, 4, 5, 2, 3, 0, 1), _mm512_set_epi64(5, 4, 7, 6, 1, 0, 3, 2),
                                _mm512_set_epi64(3, 2, 1, 0, 7, 6, 5, 4)};
    for (int k = 2; k <= 8 * R; k *= 2) {
        for (int j = k / 2; j >= 8; j /= 2) {
            for (int a = 0; a < R; ++a) {
                const int b = a ^ (j / 8);
                if (b < a) continue;
                const __m512d low = _mm512_min_pd(r[a], r[b]), high = _mm512_max_pd(r[a], r[b]);
                const bool descending = (8 * a) & k;
                r[a] = descending ? high : low;
                r[b] = descending ? low : high;
            }
        }
        for (int j = std::min(k / 2, 4), t = j / 2; j > 0; j /= 2, t = j / 2) {
            // Lanes with bit j set, and lanes whose run of k descends.
            const unsigned bit_j = j == 1 ? 0xAA : j == 2 ? 0xCC : 0xF0;
            for (int a = 0; a < R; ++a) {
                const unsigned descending = k < 8 ? (k == 2 ? 0xCC : 0xF0) : (8 * a) & k ? 0xFF : 0;
                const __m512d p = _mm512_permutexvar_pd(partner[t == 0 ? 0 : t == 1 ? 1 : 2], r[a]);
                r[a] = _mm512_mask_max_pd(_mm512_min_pd(r[a], p), static_cast<__mmask8>(bit_j ^ descending), r[a], p);
            }
        }
    }
    alignas(64) double sorted[8 * R];
    for (int a = 0; a < R; ++a) _mm512_store_pd(sorted + 8 * a, r[a]);
    return sorted[q];
}

// rank_in_registers with the fewest registers that hold n <= 128 values.
SIMD_TARGET_AVX512 inline double rank_in_registers(const double* v, int n, int q)
{
    if (n <= 8) return rank_in_registers<1>(v, n, q);
    if (n <= 16) return rank_in_registers<2>(v, n, q);
    if (n <= 32) return rank_in_registers<4>(v, n, q);
    if (n <= 64) return rank_in_registers<8>(v, n, q);
    return rank_in_registers<16>(v, n, q);
}

} // namespace simd::avx512_sort

SIMD_AVX512_QUIET_END
#endif
