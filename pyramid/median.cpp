#include "median.hpp"

#include <cmath>

#include "simd/simd.hpp"
#include "median_factors.hpp"
#include "refine.hpp"
#include "simd/avx512_median_factors.hpp"

using namespace median_factors;

namespace {

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

// The cases both predictors share: three equal values give three copies;
// a flat left pair is predicted by the interior rule on the mirrored triple
// (-c, -b, -a), whose left pair is not flat. Returns true when it wrote p, q, r.
bool flat_cases(double a, double b, double c, double* p, double* q, double* r)
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

// The interior blocks of a refinement on the current path.
struct interiors {
    template <class Widest> SIMD_INLINE static void run(const double* v, int m, double* w)
    {
        median_interior_thirds<Widest>::run(v, m, w);
    }
};

void median_interiors(const double* v, int m, double* w) { simd::dispatch<interiors>(v, m, w); }

} // namespace

double interior_left_factor(double t)
{
    double s3;
    return left_factors(t, s3);
}

double interior_middle_factor(double t)
{
    double s3;
    left_factors(t, s3);
    return middle_factors(t, t * t, s3);
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
    double s3;
    const double left = left_factors(t, s3);
    *p = a + (b - a) * left;
    *q = a + (b - a) * middle_factors(t, t * t, s3);
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

void median_refine(const double* v, int m, int degree, double* w)
{
    refine_by_rules<median_predict_edge, median_predict_interior, median_interiors>(v, m, degree, w);
}
