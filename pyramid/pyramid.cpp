#include "pyramid.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "average.hpp"
#include "block_medians.hpp"
#include "host/arrays.hpp"
#include "median.hpp"

namespace {

// Scale of level j in a pyramid of J levels: 3^((J - j)/2), a real power.
double scale_of(int J, int j) { return std::pow(3.0, (J - j) / 2.0); }

// n doubles from the C allocator (at least one, so that n = 0 is no failure).
double* work_array(int n)
{
    return static_cast<double*>(std::malloc(static_cast<size_t>(std::max(n, 1)) * sizeof(double)));
}

// The row w of a forward transform from the values of every level: x (level
// J) and the block values of levels J-1 .. L in the layout of
// block_medians.hpp. Each level's prediction is refined straight into its
// place in w and turned into the scaled residual there.
void store_pyramid(const double* x, const double* blocks, int L, int D, double* w, int n, int J, refine_step refine)
{
    const auto level = [&](int j) { return j == J ? x : blocks + block_values_offset(n, J - j); };
    for (int j = J; j > L; --j) {
        const int m = power_of_three(j);
        double* pred = w + m;
        if (D != 0 && D != 2) zero_doubles(pred, m);  // no rule: the prediction is zero
        refine(level(j - 1), pred, m / 3, D);
        const double s = scale_of(J, j);
        const double* fine = level(j);
        for (int i = 0; i < m; ++i) pred[i] = (fine[i] - pred[i]) * s;
    }
    const double s = scale_of(J, L);
    const double* coarse = level(L);
    const int c = power_of_three(L);
    for (int i = 0; i < c; ++i) w[i] = coarse[i] * s;
}

} // namespace

bool median_pyramid_forward(const double* x, int L, int D, double* w, int n, int J)
{
    L = std::min(L, J);
    double* work = work_array(n);
    double* medians = work_array(n / 2);
    const bool ok = work && medians && triadic_block_medians(x, J, J - L, work, medians);
    if (ok) store_pyramid(x, medians, L, D, w, n, J, median_refine);
    std::free(work);
    std::free(medians);
    return ok;
}

bool average_pyramid_forward(const double* x, int L, int D, double* w, int n, int J)
{
    L = std::min(L, J);
    double* averages = work_array(n / 2);
    if (!averages) return false;
    // Each level's averages from the level below, three at a time.
    const double* fine = x;
    for (int k = 1; k <= J - L; ++k) {
        double* coarse = averages + block_values_offset(n, k);
        const int e = n / power_of_three(k);
        for (int i = 0; i < e; ++i) coarse[i] = (fine[3 * i] + fine[3 * i + 1] + fine[3 * i + 2]) / 3;
        fine = coarse;
    }
    store_pyramid(x, averages, L, D, w, n, J, average_refine);
    std::free(averages);
    return true;
}

bool pyramid_inverse(const double* WC, int L, int D, double* y, int n, int J, refine_step refine)
{
    L = std::min(L, J);
    // The coarse level is copied aside and refined straight into y.
    double* coarse = work_array(n / 3);
    if (!coarse) return false;
    const int c = power_of_three(L);
    const double s = scale_of(J, L);
    for (int i = 0; i < c; ++i) y[i] = WC[i] / s;
    for (int j = L + 1; j <= J; ++j) {
        const int m = power_of_three(j);
        copy_doubles(y, coarse, m / 3);
        if (D != 0 && D != 2) zero_doubles(y, m);  // no rule: the prediction is zero
        refine(coarse, y, m / 3, D);
        const double sj = scale_of(J, j);
        for (int i = 0; i < m; ++i) y[i] = WC[m + i] / sj + y[i];
    }
    std::free(coarse);
    return true;
}
