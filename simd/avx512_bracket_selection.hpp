// The selection strategy's kernels on eight lanes (AVX-512), where selection
// pays: masked loads count and move a run's values in a bracket, and up to
// 128 candidates are ranked by a sort in registers.
//
// Scalar meaning: the same results as bracket_kernels (pyramid/
// bracket_selection.hpp): gather_in_range moves the values in [low, high]
// of sorted runs of 27 and counts those below low; rank is the value of a
// rank among the candidates.
#pragma once

#include <algorithm>

#include "pyramid/bracket_selection.hpp"
#include "simd/avx512_sorting_network.hpp"

#if defined(SIMD_X86)

SIMD_AVX512_QUIET_BEGIN

template <> struct median_strategies::bracket_kernels<simd::f64x8> {
    static constexpr bool pays = true;

    // A run's counts come from four comparisons each way, and its values in
    // range (consecutive) are moved by masked copies of up to eight.
    SIMD_TARGET_AVX512 static int gather_in_range(const double* runs, int R, double low, double high, double* out,
                                                  long long& below)
    {
        using simd::avx512_sort::first_lanes;
        const __m512d lo = _mm512_set1_pd(low), hi = _mm512_set1_pd(high);
        int count = 0;
        for (const double* run = runs; run < runs + 27 * R; run += 27) {
            unsigned under = 0, most = 0;
            for (int i = 0; i < 4; ++i) {
                const __mmask8 lanes = i < 3 ? 0xFF : 0x07;
                const __m512d v = _mm512_maskz_loadu_pd(lanes, run + 8 * i);
                under |= static_cast<unsigned>(_mm512_mask_cmp_pd_mask(lanes, v, lo, _CMP_LT_OQ)) << (8 * i);
                most |= static_cast<unsigned>(_mm512_mask_cmp_pd_mask(lanes, v, hi, _CMP_LE_OQ)) << (8 * i);
            }
            const int first = __builtin_popcount(under), last = __builtin_popcount(most);
            below += first;
            for (int i = first; i < last; i += 8) {
                const __mmask8 lanes = first_lanes(last - i);
                _mm512_mask_storeu_pd(out + count + (i - first), lanes, _mm512_maskz_loadu_pd(lanes, run + i));
            }
            count += last - first;
        }
        return count;
    }

    SIMD_TARGET_AVX512 static double rank(double* v, int n, int q)
    {
        if (n <= 128) return simd::avx512_sort::rank_in_registers(v, n, q);
        std::nth_element(v, v + q, v + n);
        return v[q];
    }

    SIMD_TARGET_AVX512 static void block_medians(const double* runs, int d, int blocks, const double* thirds,
                                                 double* out, double* temp)
    {
        median_strategies::bracketed_medians<bracket_kernels>(runs, d, blocks, thirds, out, temp);
    }
};

SIMD_AVX512_QUIET_END
#endif
