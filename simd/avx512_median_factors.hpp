// The interior thirds of the median predictors on eight lanes (AVX-512), the
// same doubles as median_interior_thirds (pyramid/median_factors.hpp) gives
// one block at a time:
//
//   p = a + (b - a) left(t),  q = a + (b - a) middle(t),
//   r = a + (b - a) ((t + 1) - t left(1/t))   (a + 10 (b - a)/9 if |t| <= 1e-14)
//
// with t = (c - b)/(b - a). Mask registers choose the rows and the rows of
// the left factor are read from tables, in fewer than half the instructions
// per block that the four-lane template takes on this path.
#pragma once

#include "simd/simd.hpp"
#include "simd/avx512_pass_through_warnings.hpp"
#include "pyramid/median_factors.hpp"

#if defined(SIMD_X86)
#include <immintrin.h>

SIMD_AVX512_QUIET_BEGIN

namespace simd::avx512_median {

using namespace median_factors;

SIMD_TARGET_AVX512 inline __m512d splat8(double x) { return _mm512_set1_pd(x); }

// Lanes where x <= y (none where either is NaN).
SIMD_TARGET_AVX512 inline __mmask8 at_most(__m512d x, __m512d y) { return _mm512_cmp_pd_mask(x, y, _CMP_LE_OQ); }

// Lane l of the result is r[row[l]], row[l] in 0 .. 4.
SIMD_TARGET_AVX512 inline __m512d by_row(__m512i row, double r0, double r1, double r2, double r3, double r4)
{
    return _mm512_permutexvar_pd(row, _mm512_setr_pd(r0, r1, r2, r3, r4, 0, 0, 0));
}

// The left factor on eight ratios, its five rows in one form:
//
//   F = ((alpha t + beta) - gamma s) / delta,   s = sqrt((rho t^2 + sigma t) + tau)
//
//   row  t in         alpha  beta gamma  rho sigma tau  delta
//   0    [7/3, 5]        7    59    8     1    16   16    27
//   1    [1/5, 3/7]     16    26    4    16    16    1    27
//   2    [-3, -1/3]     13    77   -8     1   -62    1   135
//   3    [-11, -3)     214  -323   35    s = t^2          288 (t - 1)
//   4    elsewhere      -1     7    0    s = 0             9
//
// Every lane rounds as its row's own formula does: the coefficients are
// exact, 1 x == x, (-1) x == -x, x + (-y) == x - y, and x - 0 s == x for
// s = 0. S3 of the row-2 lanes goes to s3 (as the middle factor needs it),
// and the mask of those lanes to row2.
SIMD_TARGET_AVX512 inline __m512d left_factors(__m512d t, __m512d& s3, __mmask8& row2)
{
    const __mmask8 row0 = at_most(splat8(k7_3), t) & at_most(t, splat8(5));
    const __mmask8 row1 = at_most(splat8(k1_5), t) & at_most(t, splat8(k3_7));
    row2 = at_most(splat8(-3), t) & at_most(t, splat8(km1_3));
    const __mmask8 row3 = at_most(splat8(-11), t) & _mm512_cmp_pd_mask(t, splat8(-3), _CMP_LT_OQ);
    __m512i row = _mm512_set1_epi64(4);
    row = _mm512_mask_mov_epi64(row, row0, _mm512_set1_epi64(0));
    row = _mm512_mask_mov_epi64(row, row1, _mm512_set1_epi64(1));
    row = _mm512_mask_mov_epi64(row, row2, _mm512_set1_epi64(2));
    row = _mm512_mask_mov_epi64(row, row3, _mm512_set1_epi64(3));
    const __m512d tt = _mm512_mul_pd(t, t);
    __m512d s = _mm512_maskz_mov_pd(row3, tt);
    const __m512d radicand = _mm512_add_pd(
        _mm512_add_pd(_mm512_mul_pd(by_row(row, 1, 16, 1, 0, 0), tt), _mm512_mul_pd(by_row(row, 16, 16, -62, 0, 0), t)),
        by_row(row, 16, 1, 1, 0, 0));
    s = _mm512_mask_sqrt_pd(s, row0 | row1 | row2, radicand);
    s3 = s;
    const __m512d numerator =
        _mm512_sub_pd(_mm512_add_pd(_mm512_mul_pd(by_row(row, 7, 16, 13, 214, -1), t), by_row(row, 59, 26, 77, -323, 7)),
                      _mm512_mul_pd(by_row(row, 8, 4, -8, 35, 0), s));
    const __m512d denominator =
        _mm512_mask_mul_pd(by_row(row, 27, 27, 135, 0, 9), row3, splat8(288), _mm512_sub_pd(t, splat8(1)));
    return _mm512_div_pd(numerator, denominator);
}

// The middle factor on eight ratios, s3 and row2 as left_factors gives
// them: 1 outside [-3, -1/3], without a division when no lane is in it.
SIMD_TARGET_AVX512 inline __m512d middle_factors(__m512d t, __m512d s3, __mmask8 row2)
{
    if (!row2) return splat8(1);
    const __mmask8 inner = row2 & at_most(splat8(km10_7), t) & at_most(t, splat8(km7_10));
    const __m512d tt = _mm512_mul_pd(t, t);
    // (1097 - 1174 t + 17 t^2 + (278 - 8 t) s) / (270 (4 - 4 t + s)) on [-10/7, -7/10],
    // (7 t + 23 + 2 s) / 30 on the rest.
    const __m512d inner_numerator = _mm512_add_pd(
        _mm512_add_pd(_mm512_sub_pd(splat8(1097), _mm512_mul_pd(splat8(1174), t)), _mm512_mul_pd(splat8(17), tt)),
        _mm512_mul_pd(_mm512_sub_pd(splat8(278), _mm512_mul_pd(splat8(8), t)), s3));
    const __m512d inner_denominator =
        _mm512_mul_pd(splat8(270), _mm512_add_pd(_mm512_sub_pd(splat8(4), _mm512_mul_pd(splat8(4), t)), s3));
    const __m512d outer_numerator =
        _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(splat8(7), t), splat8(23)), _mm512_mul_pd(splat8(2), s3));
    return _mm512_mask_div_pd(splat8(1), row2, _mm512_mask_blend_pd(inner, outer_numerator, inner_numerator),
                              _mm512_mask_blend_pd(inner, splat8(30), inner_denominator));
}

} // namespace simd::avx512_median

// Eight lanes of median_interior_thirds.
template <> struct median_interior_thirds<simd::f64x8> {
    SIMD_TARGET_AVX512 static void run(const double* v, int m, double* w)
    {
        using namespace simd::avx512_median;
        int i = 1;
        for (; i + 8 <= m - 1; i += 8) {
            const __m512d a = _mm512_loadu_pd(v + i - 1), b = _mm512_loadu_pd(v + i);
            const __m512d ba = _mm512_sub_pd(b, a), t = _mm512_div_pd(_mm512_sub_pd(_mm512_loadu_pd(v + i + 1), b), ba);
            __m512d s3, unused;
            __mmask8 row2, unused_row;
            const __m512d left = left_factors(t, s3, row2);
            const __m512d middle = middle_factors(t, s3, row2);
            const __m512d right = left_factors(_mm512_div_pd(splat8(1), t), unused, unused_row);
            const __mmask8 steep = _mm512_cmp_pd_mask(_mm512_abs_pd(t), splat8(kFlat), _CMP_GT_OQ);
            __m512d third = _mm512_mul_pd(ba, _mm512_sub_pd(_mm512_add_pd(t, splat8(1)), _mm512_mul_pd(t, right)));
            if (steep != 0xFF)
                third = _mm512_mask_div_pd(third, static_cast<__mmask8>(~steep), _mm512_mul_pd(splat8(10), ba), splat8(9));
            simd::store_interleaved(w + 3 * i, simd::f64x8(_mm512_add_pd(a, _mm512_mul_pd(ba, left))),
                                    simd::f64x8(_mm512_add_pd(a, _mm512_mul_pd(ba, middle))),
                                    simd::f64x8(_mm512_add_pd(a, third)));
            if (_mm512_cmp_pd_mask(_mm512_abs_pd(ba), splat8(kFlat), _CMP_LT_OQ)) {
                for (int l = i; l < i + 8; ++l) {
                    double* out = w + 3 * l;
                    if (std::fabs(v[l] - v[l - 1]) < kFlat)
                        median_predict_interior(v[l - 1], v[l], v[l + 1], out, out + 1, out + 2);
                }
            }
        }
        for (; i <= m - 2; ++i)
            median_predict_interior(v[i - 1], v[i], v[i + 1], &w[3 * i], &w[3 * i + 1], &w[3 * i + 2]);
    }
};

SIMD_AVX512_QUIET_END
#endif
