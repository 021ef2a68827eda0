#include "median.hpp"

#include <cmath>
#include <cstdlib>

#include "host/simd.hpp"

#if defined(SIMD_X86)
#include <immintrin.h>
#endif

void copy_doubles_from(const double* src, int offset, double* dst, int n)
{
    for (int k = 0; k < n; ++k) dst[k] = src[offset + k];
}

void copy_doubles_strided(const double* src, int src_offset, int src_step, double* dst, int dst_offset,
                          int dst_step, int n)
{
    for (int k = 0; k < n; ++k)
        dst[dst_offset + static_cast<long long>(k) * dst_step] = src[src_offset + static_cast<long long>(k) * src_step];
}

double take_smallest_head(const double* A, const double* B, const double* C, int& ia, int& ib, int& ic, int m)
{
    const bool a_live = ia < m, b_live = ib < m;
    double candidate;
    int* from;
    if (a_live && !b_live) {
        candidate = A[ia];
        from = &ia;
    } else if (!a_live && b_live) {
        candidate = B[ib];
        from = &ib;
    } else if (a_live && b_live) {
        if (B[ib] > A[ia]) {
            candidate = A[ia];
            from = &ia;
        } else {
            candidate = B[ib];
            from = &ib;
        }
    } else {
        return C[ic++];
    }
    if (ic == m || C[ic] > candidate) {
        ++*from;
        return candidate;
    }
    return C[ic++];
}

void merge_three_runs(const double* A, const double* B, const double* C, double* out, int offset, int m)
{
    int ia = 0, ib = 0, ic = 0;
    for (int k = 0; k < 3 * m; ++k) out[offset + k] = take_smallest_head(A, B, C, ia, ib, ic, m);
}

int power_of_three(int k)
{
    int p = 1;
    for (int i = 0; i < k; ++i) p *= 3;
    return p;
}

bool merge_sort_stage(double* x, int j, int J)
{
    const int m = power_of_three(J - j), groups = power_of_three(j) / 3;
    const size_t bytes = static_cast<size_t>(m) * sizeof(double);
    double* A = static_cast<double*>(std::malloc(bytes));
    double* B = static_cast<double*>(std::malloc(bytes));
    double* C = static_cast<double*>(std::malloc(bytes));
    const bool ok = A && B && C;
    if (ok) {
        for (int g = 0; g < groups; ++g) {
            const int s = 3 * g * m;
            copy_doubles_from(x, s, A, m);
            copy_doubles_from(x, s + m, B, m);
            copy_doubles_from(x, s + 2 * m, C, m);
            merge_three_runs(A, B, C, x, s, m);
        }
    }
    std::free(A);
    std::free(B);
    std::free(C);
    return ok;
}

namespace {

// Interval bounds: the doubles nearest to these fractions.
constexpr double k7_3 = 7.0 / 3.0, k1_5 = 1.0 / 5.0, k3_7 = 3.0 / 7.0, km1_3 = -1.0 / 3.0;
constexpr double km10_7 = -10.0 / 7.0, km7_10 = -7.0 / 10.0, k23_11 = 23.0 / 11.0;
constexpr double k57_20 = 57.0 / 20.0, k51_14 = 51.0 / 14.0;

// t^2 is t * t: what an optimising compiler makes of pow(t, 2.0), and so what
// the kernels have always computed in release builds (a library pow may round
// an exact midpoint the other way, which unoptimised builds used to call).
double square(double t) { return t * t; }

double S1(double t) { return std::sqrt(square(t) + 16 * t + 16); }
double S2(double t) { return std::sqrt(16 * square(t) + 16 * t + 1); }
double S3(double t) { return std::sqrt(square(t) - 62 * t + 1); }

bool within(double lo, double t, double hi) { return lo <= t && t <= hi; }

// The rational row shared by three factor functions.
double rational_row(double t) { return (214 * t - 323 - 35 * square(t)) / (288 * (t - 1)); }

constexpr double kFlat = 1e-14;

} // namespace

// The cases both predictors share: three equal values give three copies;
// a flat left pair is predicted by the interior rule on the mirrored triple
// (-c, -b, -a), whose left pair is not flat. Returns true when it wrote p, q, r.
static bool flat_cases(double a, double b, double c, double* p, double* q, double* r)
{
    const bool left_flat = std::fabs(b - a) < kFlat;
    if (left_flat && std::fabs(c - b) < kFlat) {
        *p = *q = *r = a;
        return true;
    }
    if (!left_flat) return false;
    double pm, qm, rm;
    median_predict_interior(-c, -b, -a, &pm, &qm, &rm);
    *p = -rm;
    *q = -qm;
    *r = -pm;
    return true;
}

double interior_left_factor(double t)
{
    if (within(k7_3, t, 5)) return (7 * t + 59 - 8 * S1(t)) / 27;
    if (within(k1_5, t, k3_7)) return (16 * t + 26 - 4 * S2(t)) / 27;
    if (within(-3, t, km1_3)) return (13 * t + 77 + 8 * S3(t)) / 135;
    if (within(-11, t, -3)) return rational_row(t);
    return (7 - t) / 9;
}

double interior_middle_factor(double t)
{
    if (within(km10_7, t, km7_10)) {
        const double s = S3(t);
        return (1097 - 1174 * t + 17 * square(t) + (278 - 8 * t) * s) / (270 * (4 - 4 * t + s));
    }
    if (within(-3, t, km10_7) || within(km7_10, t, km1_3)) return (7 * t + 23 + 2 * S3(t)) / 30;
    return 1;
}

double edge_first_factor(double t)
{
    if (within(k7_3, t, 5)) return (76 * t + 251 - 56 * S1(t)) / 27;
    if (within(k1_5, t, k3_7)) return (8 * S2(t) - 25 - 32 * t) / 27;
    if (within(-3, t, km1_3)) return (11 * t - 101 - 14 * S3(t)) / 270;
    if (within(k23_11, t, k7_3)) return rational_row(t);
    return (2 * t - 5) / 9;
}

double edge_middle_factor(double t)
{
    if (within(k7_3, t, k57_20)) return (5 * t + 19 - 4 * S1(t)) / 3;
    if (within(k51_14, t, 5)) return (5 * t + 19 - 4 * S1(t)) / 3;
    if (k57_20 < t && t < k51_14) return (S1(t) - 2 * t - 4) / 27;
    return 0;
}

double edge_last_factor(double t)
{
    if (within(k7_3, t, 5)) return (22 * t + 107 - 20 * S1(t)) / 27;
    if (within(k1_5, t, k3_7)) return (16 * t + 17 - 4 * S2(t)) / 27;
    if (within(-3, t, km1_3)) return (t + 17 + 2 * S3(t)) / 54;
    if (5 < t && t <= 13) return rational_row(t);
    return (4 - t) / 9;
}

void median_predict_interior(double a, double b, double c, double* p, double* q, double* r)
{
    if (flat_cases(a, b, c, p, q, r)) return;
    const double t = (c - b) / (b - a);
    *p = a + (b - a) * interior_left_factor(t);
    *q = a + (b - a) * interior_middle_factor(t);
    // The right third is the left-third rule on the reversed triple.
    *r = std::fabs(t) > kFlat ? a + (b - a) * ((t + 1) - t * interior_left_factor(1 / t)) : a + 10 * (b - a) / 9;
}

void median_predict_edge(double a, double b, double c, double* p, double* q, double* r)
{
    if (flat_cases(a, b, c, p, q, r)) return;
    const double t = (c - b) / (b - a);
    *p = a + (b - a) * edge_first_factor(t);
    *q = a + (b - a) * edge_middle_factor(t);
    *r = a + (b - a) * edge_last_factor(t);
}

namespace {

// interior_left_factor on W ratios at once: every row is evaluated, each lane
// keeps the first row whose interval holds its t, and the square root (when
// a lane needs one) and the division are taken once, of the chosen row's
// operands. S3 (of the lanes with -3 <= t <= -1/3, as interior_middle_factor
// needs it) goes to s3.
template <class V> SIMD_INLINE V left_factors(V t, V& s3)
{
    using simd::select;
    using simd::splat;
    const auto row1 = (k7_3 <= t) & (t <= 5.0);
    const auto row2 = (k1_5 <= t) & (t <= k3_7);
    const auto row3 = (-3.0 <= t) & (t <= km1_3);
    const auto row4 = (-11.0 <= t) & (t <= -3.0);
    const V tt = t * t;  // square(t)
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

// interior_middle_factor on W ratios, s3 as left_factors gives it.
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

// median_predict_interior for the blocks 1 .. m-2 of a refinement, W blocks
// at a time; the thirds of a lane whose left pair is flat are then written
// again by the scalar rule.
struct interior_thirds {
    template <class Widest> SIMD_INLINE static void run(const double* v, double* w, int m)
    {
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

#if defined(SIMD_X86)
#define AVX512 __attribute__((target("avx512f")))
// GCC 12 sees the intrinsics' deliberately undefined pass-through operands
// as uninitialised once they are inlined.
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

AVX512 inline __m512d splat8(double x) { return _mm512_set1_pd(x); }

// Lanes where x <= y (none where either is NaN).
AVX512 inline __mmask8 at_most(__m512d x, __m512d y) { return _mm512_cmp_pd_mask(x, y, _CMP_LE_OQ); }

// Lane l of the result is r[row[l]], row[l] in 0 .. 4.
AVX512 inline __m512d by_row(__m512i row, double r0, double r1, double r2, double r3, double r4)
{
    return _mm512_permutexvar_pd(row, _mm512_setr_pd(r0, r1, r2, r3, r4, 0, 0, 0));
}

// interior_left_factor on eight ratios, its five rows in one form:
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
// s = 0. S3 of the row-2 lanes goes to s3 (as interior_middle_factor needs
// it), and the mask of those lanes to row2.
AVX512 inline __m512d left_factors_avx512(__m512d t, __m512d& s3, __mmask8& row2)
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

// interior_middle_factor on eight ratios, s3 and row2 as left_factors_avx512
// gives them: 1 outside [-3, -1/3], without a division when no lane is in it.
AVX512 inline __m512d middle_factors_avx512(__m512d t, __m512d s3, __mmask8 row2)
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

// interior_thirds with eight lanes, mask registers and the rows of the left
// factor read from tables (AVX-512): the same doubles, in fewer than half the
// instructions per block that the four-lane template takes on this path.
AVX512 void interiors_avx512(const double* v, double* w, int m)
{
    int i = 1;
    for (; i + 8 <= m - 1; i += 8) {
        const __m512d a = _mm512_loadu_pd(v + i - 1), b = _mm512_loadu_pd(v + i);
        const __m512d ba = _mm512_sub_pd(b, a), t = _mm512_div_pd(_mm512_sub_pd(_mm512_loadu_pd(v + i + 1), b), ba);
        __m512d s3, unused;
        __mmask8 row2, unused_row;
        const __m512d left = left_factors_avx512(t, s3, row2);
        const __m512d middle = middle_factors_avx512(t, s3, row2);
        const __m512d right = left_factors_avx512(_mm512_div_pd(splat8(1), t), unused, unused_row);
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
#pragma GCC diagnostic pop
#endif

void median_interiors(const double* v, double* w, int m)
{
#if defined(SIMD_X86)
    if (simd::current_isa() == simd::Isa::avx512) return interiors_avx512(v, w, m);
#endif
    simd::dispatch<interior_thirds>(v, w, m);
}

} // namespace

void median_refine(const double* v, double* w, int m, int degree)
{
    refine_by_rules<median_predict_edge, median_predict_interior, median_interiors>(v, w, m, degree);
}
