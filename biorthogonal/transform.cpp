#include "transform.hpp"

#include <algorithm>

#include "biorthogonal/centred.hpp"
#include "common/arrays.hpp"
#include "common/threads.hpp"

void biorthogonal_analysis(const double* x, int n, int ncols, int L, int J, const double* highpass,
                           const double* g, int Lg, int Lgd, double* out, double* scratch, int threads)
{
    L = std::max(L, 0);
    const int t = threads::worth(static_cast<double>(n) * ncols * (Lg + Lgd), threads);
    threads::for_parts(ncols, t, [&](int p, int first, int last) {
        double* const work = scratch + static_cast<long long>(p) * (n / 4 * 3);
        for (int c = first; c < last; ++c) {
            const double* X = x + static_cast<long long>(c) * n;
            double* P = out + static_cast<long long>(c) * n;
            if (J - 1 < L) {
                copy_doubles(X, P, n);
                continue;
            }
            // Each level writes its details in place and its coarse half into
            // the scratch, alternating between the scratch's first n/2 and the
            // n/4 after them, for the next level to read; the last coarse half
            // goes to the front of the output. Nothing is copied.
            const double* src = X;
            for (int j = J - 1, e = n; j >= L; --j, e /= 2) {
                double* coarse = j == L ? P : src == work ? work + n / 2 : work;
                analysis_step_centred(src, e, g, Lg, highpass, Lgd, coarse, P + e / 2);
                src = coarse;
            }
        }
    });
}

void biorthogonal_synthesis(const double* w, int n, int ncols, int L, int J, const double* highpass,
                            const double* gd, int Lg, int Lgd, double* out, double* scratch, int threads)
{
    L = std::min(std::max(L, 0), J);
    int d = 1;
    for (int j = 0; j < L; ++j) d *= 2;
    const int levels = J - L;
    const int t = threads::worth(static_cast<double>(n) * ncols * (Lg + Lgd), threads);
    threads::for_parts(ncols, t, [&](int p, int first, int last) {
        double* const half = scratch + static_cast<long long>(p) * (n / 2);
        for (int c = first; c < last; ++c) {
            const double* W = w + static_cast<long long>(c) * n;
            double* X = out + static_cast<long long>(c) * n;
            if (levels == 0) {
                copy_doubles(W, X, n);
                continue;
            }
            // Levels alternate between the scratch and the output, so that the
            // last one lands in the output; the first reads the coarse block of
            // the coefficients.
            const double* coarse = W;
            for (int q = 0, f = d; q < levels; ++q, f *= 2) {
                double* y = (levels - 1 - q) % 2 == 0 ? X : half;
                synthesis_step_centred(coarse, W + f, f, gd, Lgd, highpass, Lg, y);
                coarse = y;
            }
        }
    });
}
