#include "median.hpp"

#include <cmath>
#include <cstdlib>

#include "host/simd.hpp"

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

void median_interiors(const double* v, double* w, int m) { simd::dispatch<interior_thirds>(v, w, m); }

} // namespace

void median_refine(const double* v, double* w, int m, int degree)
{
    refine_by_rules<median_predict_edge, median_predict_interior, median_interiors>(v, w, m, degree);
}
