#include "median.hpp"

#include <cmath>
#include <cstdlib>

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

double S1(double t) { return std::sqrt(std::pow(t, 2.0) + 16 * t + 16); }
double S2(double t) { return std::sqrt(16 * std::pow(t, 2.0) + 16 * t + 1); }
double S3(double t) { return std::sqrt(std::pow(t, 2.0) - 62 * t + 1); }

bool within(double lo, double t, double hi) { return lo <= t && t <= hi; }

// The rational row shared by three factor functions.
double rational_row(double t) { return (214 * t - 323 - 35 * std::pow(t, 2.0)) / (288 * (t - 1)); }

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
        return (1097 - 1174 * t + 17 * std::pow(t, 2.0) + (278 - 8 * t) * s) / (270 * (4 - 4 * t + s));
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

void median_refine(const double* v, double* w, int m, int degree)
{
    refine_by_rules<median_predict_edge, median_predict_interior>(v, w, m, degree);
}
