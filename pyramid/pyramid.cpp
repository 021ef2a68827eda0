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

// The fine, coarse and pred arrays of a forward transform. pred starts at
// zero: a degree other than 0 or 2 never writes it, and predicts zero.
struct ForwardWork {
    double *fine, *coarse, *pred;
    ForwardWork(int n) : fine(work_array(n)), coarse(work_array(n / 3)), pred(work_array(n))
    {
        if (pred) zero_doubles(pred, n);
    }
    ~ForwardWork()
    {
        std::free(fine);
        std::free(coarse);
        std::free(pred);
    }
    bool ok() const { return fine && coarse && pred; }
};

// One level of a forward transform: fine holds the 3^j values of level j,
// coarse the 3^(j-1) values of level j-1. Writes the scaled residuals of
// level j into w and moves level j-1 into fine.
void store_level(ForwardWork& k, int j, int J, int D, refine_step refine, double* w)
{
    const int e = power_of_three(j - 1), m = 3 * e;
    refine(k.coarse, k.pred, e, D);
    const double s = scale_of(J, j);
    for (int i = 0; i < m; ++i) w[m + i] = (k.fine[i] - k.pred[i]) * s;
    copy_doubles(k.coarse, k.fine, e);
}

// The coarse values of level L, now in fine, scaled into w[0 .. 3^L - 1].
void store_coarse(const ForwardWork& k, int L, int J, double* w)
{
    const double s = scale_of(J, L);
    const int c = power_of_three(L);
    for (int i = 0; i < c; ++i) w[i] = k.fine[i] * s;
}

} // namespace

bool median_pyramid_forward(const double* x, int L, int D, double* w, int n, int J)
{
    L = std::min(L, J);
    double* work = work_array(n);
    double* medians = work_array(n / 2);
    double* pred = work_array(n);
    bool ok = work && medians && pred && triadic_block_medians(x, J, J - L, work, medians);
    if (ok) {
        zero_doubles(pred, n);
        // Values of level j: the samples, or the medians of blocks of 3^(J-j).
        const auto level = [&](int j) { return j == J ? x : medians + block_median_offset(n, J - j); };
        for (int j = J; j > L; --j) {
            const int m = power_of_three(j);
            median_refine(level(j - 1), pred, m / 3, D);
            const double s = scale_of(J, j);
            const double* fine = level(j);
            for (int i = 0; i < m; ++i) w[m + i] = (fine[i] - pred[i]) * s;
        }
        const double s = scale_of(J, L);
        const double* coarse = level(L);
        for (int i = 0; i < power_of_three(L); ++i) w[i] = coarse[i] * s;
    }
    std::free(work);
    std::free(medians);
    std::free(pred);
    return ok;
}

bool average_pyramid_forward(const double* x, int L, int D, double* w, int n, int J)
{
    L = std::min(L, J);
    ForwardWork k(n);
    if (!k.ok()) return false;
    copy_doubles(x, k.fine, n);
    for (int j = J; j > L; --j) {
        const int e = power_of_three(j - 1);
        for (int i = 0; i < e; ++i) k.coarse[i] = (k.fine[3 * i] + k.fine[3 * i + 1] + k.fine[3 * i + 2]) / 3;
        store_level(k, j, J, D, average_refine, w);
    }
    store_coarse(k, L, J, w);
    return true;
}

bool pyramid_inverse(const double* WC, int L, int D, double* y, int n, int J, refine_step refine)
{
    L = std::min(L, J);
    double* pred = work_array(n);
    if (!pred) return false;
    zero_doubles(pred, n);
    const int c = power_of_three(L);
    const double s = scale_of(J, L);
    for (int i = 0; i < c; ++i) y[i] = WC[i] / s;
    for (int j = L + 1; j <= J; ++j) {
        const int m = power_of_three(j);
        refine(y, pred, m / 3, D);
        const double sj = scale_of(J, j);
        for (int i = 0; i < m; ++i) y[i] = WC[m + i] / sj + pred[i];
    }
    std::free(pred);
    return true;
}
