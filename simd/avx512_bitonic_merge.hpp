// One level of a chunk's sort by two-way merges eight values a step, in
// AVX-512 registers: each group's three sorted runs of m merged as
// (first + second) + third.
//
// Scalar meaning: the same as three_way_merge_level (pyramid/chunk_merges.hpp),
// dst holding each group's 3m values in ascending order; without NaN any
// merge gives the same doubles in every position but the order of +0 and -0
// among themselves, which the callers fix afterwards.
#pragma once

#include "pyramid/chunk_merges.hpp"
#include "simd/avx512_sorting_network.hpp"

#if defined(SIMD_X86)

SIMD_AVX512_QUIET_BEGIN

namespace simd::avx512_merge {

using namespace simd::avx512_sort;

// Merges of two sorted runs eight values at a time (AVX-512): the eight
// largest values read so far wait in a register; the next eight come from
// the run whose next value is smaller, and a bitonic network splits the
// sixteen into the eight smallest (written out) and the eight largest.
// Reads past a run's end give +Inf, so every run ends in whole blocks of
// eight; the padding sorts last and only na + nb values are written (a +Inf
// of the signal is the same double as the padding).
struct PairMerge {
    const double *a, *b;
    double* out;
};

// S merges of the same shape (runs of na and nb values) side by side, so
// that their networks overlap.
template <int S> SIMD_TARGET_AVX512 void merge_pairs(const PairMerge* merge, int na, int nb)
{
    const __m512i backwards = _mm512_set_epi64(0, 1, 2, 3, 4, 5, 6, 7);
    const int total = na + nb, blocks = (na + 7) / 8 + (nb + 7) / 8;
    int ia[S], ib[S];
    __m512d high[S];
    for (int s = 0; s < S; ++s) {
        high[s] = load_block(merge[s].a, na);
        ia[s] = 8;
        ib[s] = 0;
    }
    for (int block = 1, o = 0; block < blocks; ++block, o += 8) {
#pragma GCC unroll 4
        for (int s = 0; s < S; ++s) {
            const double* a = merge[s].a;
            const double* b = merge[s].b;
            const bool from_a = ia[s] < na && (ib[s] >= nb || a[ia[s]] <= b[ib[s]]);
            const double* next = from_a ? a + ia[s] : b + ib[s];
            const int left = from_a ? na - ia[s] : nb - ib[s];
            ia[s] += from_a ? 8 : 0;
            ib[s] += from_a ? 0 : 8;
            const __m512d v = _mm512_permutexvar_pd(backwards, load_block(next, left));
            const __m512d low = sort_bitonic(_mm512_min_pd(high[s], v));
            high[s] = sort_bitonic(_mm512_max_pd(high[s], v));
            _mm512_mask_storeu_pd(merge[s].out + o, first_lanes(total - o), low);
        }
    }
    const int o = 8 * (blocks - 1);
    for (int s = 0; s < S; ++s) _mm512_mask_storeu_pd(merge[s].out + o, first_lanes(total - o), high[s]);
}

} // namespace simd::avx512_merge

// Eight lanes of chunk_level_merge: pairs holds the first merges.
template <> struct chunk_level_merge<simd::f64x8> {
    SIMD_TARGET_AVX512 static void run(const double* src, int m, int groups, double* dst, double* pairs)
    {
        using namespace simd::avx512_merge;
        constexpr int S = 3;
        const int d = 3 * m, stride = 2 * m;
        const auto pair = [&](int pass, int g) {
            const double* group = src + g * d;
            return pass == 1 ? PairMerge{group, group + m, pairs + g * stride}
                             : PairMerge{pairs + g * stride, group + 2 * m, dst + g * d};
        };
        for (int pass = 1; pass <= 2; ++pass) {
            const int na = pass == 1 ? m : 2 * m;
            int g = 0;
            for (; g + S <= groups; g += S) {
                const PairMerge merge[S] = {pair(pass, g), pair(pass, g + 1), pair(pass, g + 2)};
                merge_pairs<S>(merge, na, m);
            }
            for (; g < groups; ++g) {
                const PairMerge merge = pair(pass, g);
                merge_pairs<1>(&merge, na, m);
            }
        }
    }
};

SIMD_AVX512_QUIET_END
#endif
