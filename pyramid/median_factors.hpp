// The interior factor functions of the median predictors, written once for
// one lane (double) or W lanes side by side (the vector types of simd/simd.hpp):
//
//   left F(t):                                  t in
//     (7 t + 59 - 8 S1) / 27                    [7/3, 5]
//     (16 t + 26 - 4 S2) / 27                   [1/5, 3/7]
//     (13 t + 77 + 8 S3) / 135                  [-3, -1/3]
//     (214 t - 323 - 35 t^2) / (288 (t - 1))    [-11, -3)
//     (7 - t) / 9                               elsewhere (and NaN)
//   middle F(t):
//     (1097 - 1174 t + 17 t^2 + (278 - 8 t) S3) / (270 (4 - 4 t + S3))
//                                               [-10/7, -7/10]
//     (7 t + 23 + 2 S3) / 30                    [-3, -10/7), (-7/10, -1/3]
//     1                                         elsewhere
//
// with S1 = sqrt(t^2 + 16 t + 16), S2 = sqrt(16 t^2 + 16 t + 1) and
// S3 = sqrt(t^2 - 62 t + 1); the first row whose interval holds t applies,
// and t^2 is t * t. Every row is evaluated and each lane keeps its own, so
// a lane gets the very double its row's formula gives alone.
#pragma once

#include "simd/simd.hpp"
#include "pyramid/median.hpp"

namespace median_factors {

// Interval bounds: the doubles nearest to these fractions.
constexpr double k7_3 = 7.0 / 3.0, k1_5 = 1.0 / 5.0, k3_7 = 3.0 / 7.0, km1_3 = -1.0 / 3.0;
constexpr double km10_7 = -10.0 / 7.0, km7_10 = -7.0 / 10.0, k23_11 = 23.0 / 11.0;
constexpr double k57_20 = 57.0 / 20.0, k51_14 = 51.0 / 14.0;

// Block values closer than this count as equal.
constexpr double kFlat = 1e-14;

// The left factor of t; S3 (where -3 <= t <= -1/3, as the middle factor
// needs it) goes to s3. The square root is taken once, of the chosen row's
// radicand, and only when some lane needs one.
template <class V> SIMD_INLINE V left_factors(V t, V& s3)
{
    using simd::select;
    using simd::splat;
    const auto row1 = (k7_3 <= t) & (t <= 5.0);
    const auto row2 = (k1_5 <= t) & (t <= k3_7);
    const auto row3 = (-3.0 <= t) & (t <= km1_3);
    const auto row4 = (-11.0 <= t) & (t <= -3.0);
    const V tt = t * t;
    const V s = simd::any(row1 | row2 | row3)
                    ? simd::sqrt(select(row1, tt + 16.0 * t + 16.0,
                                        select(row2, 16.0 * tt + 16.0 * t + 1.0, tt - 62.0 * t + 1.0)))
                    : splat<V>(0);
    s3 = s;
    const V numerator =
        select(row1, 7.0 * t + 59.0 - 8.0 * s,
               select(row2, 16.0 * t + 26.0 - 4.0 * s,
                      select(row3, 13.0 * t + 77.0 + 8.0 * s,
                             select(row4, 214.0 * t - 323.0 - 35.0 * tt, 7.0 - t))));
    const V denominator = select(row1 | row2, splat<V>(27), select(row3, splat<V>(135),
                                                          select(row4, 288.0 * (t - 1.0), splat<V>(9))));
    return numerator / denominator;
}

// The middle factor of t, with tt = t * t and s3 as left_factors gives it.
template <class V> SIMD_INLINE V middle_factors(V t, V tt, V s3)
{
    using simd::select;
    using simd::splat;
    const auto row1 = (km10_7 <= t) & (t <= km7_10);
    const auto row2 = ((-3.0 <= t) & (t <= km10_7)) | ((km7_10 <= t) & (t <= km1_3));
    const V numerator = select(row1, 1097.0 - 1174.0 * t + 17.0 * tt + (278.0 - 8.0 * t) * s3,
                               select(row2, 7.0 * t + 23.0 + 2.0 * s3, splat<V>(1)));
    const V denominator = select(row1, 270.0 * (4.0 - 4.0 * t + s3), select(row2, splat<V>(30), splat<V>(1)));
    return numerator / denominator;
}

} // namespace median_factors

// median_predict_interior for the blocks 1 .. m-2 of a refinement (w[3i ..
// 3i+2] from v[i-1 .. i+1]), W blocks at a time, for the widest vector of a
// path; the thirds of a lane whose left pair is flat are then written again
// by the scalar rule. simd/avx512_median_factors.hpp gives eight lanes
// their own form.
template <class Widest> struct median_interior_thirds {
    SIMD_INLINE static void run(const double* v, int m, double* w)
    {
        using namespace median_factors;
        using V = typename simd::at_most_four<Widest>::type;
        constexpr int W = simd::lanes<V>;
        int i = 1;
        for (; i + W <= m - 1; i += W) {
            const V a = simd::load<V>(v + i - 1), b = simd::load<V>(v + i), c = simd::load<V>(v + i + 1);
            const V ba = b - a, t = (c - b) / ba;
            V s3, unused;
            const V left = left_factors(t, s3);
            const V middle = middle_factors(t, t * t, s3);
            const V right = left_factors(1.0 / t, unused);
            const auto steep = (t > kFlat) | (t < -kFlat);
            const V reversed = a + ba * ((t + 1.0) - t * right);
            simd::store_interleaved(w + 3 * i, a + ba * left, a + ba * middle,
                                    simd::all(steep) ? reversed : simd::select(steep, reversed, a + 10.0 * ba / 9.0));
            if (simd::any((ba < kFlat) & (ba > -kFlat))) {
                for (int l = 0; l < W; ++l) {
                    double* out = w + 3 * (i + l);
                    if (std::fabs(v[i + l] - v[i + l - 1]) < kFlat)
                        median_predict_interior(v[i + l - 1], v[i + l], v[i + l + 1], out, out + 1, out + 2);
                }
            }
        }
        for (; i <= m - 2; ++i)
            median_predict_interior(v[i - 1], v[i], v[i + 1], &w[3 * i], &w[3 * i + 1], &w[3 * i + 2]);
    }
};
