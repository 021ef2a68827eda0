#include "dyadic.hpp"

#include <algorithm>

#include "host/arrays.hpp"
#include "periodic.hpp"

void periodic_analysis(const double* x, double* w, int n, int count, int J, int L, const double* h,
                       const double* g, int m, double* scratch)
{
    L = std::max(L, 0);
    for (int s = 0; s < count; ++s) {
        const double* xs = x + static_cast<long long>(s) * n;
        double* y = w + static_cast<long long>(s) * n;
        if (J - 1 < L) {
            copy_doubles(xs, y, n);
            continue;
        }
        // Each level writes its details in place and its coarse half into
        // the scratch, alternating between the scratch's first n/2 and the
        // n/4 after them, for the next level to read; the last coarse half
        // goes to the front of the output. Nothing is copied.
        const double* src = xs;
        for (int j = J - 1, nc = n; j >= L; --j, nc /= 2) {
            double* coarse = j == L ? y : src == scratch ? scratch + n / 2 : scratch;
            analysis_step(src, nc, h, g, m, coarse, y + nc / 2);
            src = coarse;
        }
    }
}

void periodic_synthesis(const double* w, double* out, int n, int count, int J, int L, const double* h,
                        const double* g, int m, double* scratch)
{
    L = std::min(std::max(L, 0), J);
    int c0 = 1;
    for (int j = 0; j < L; ++j) c0 *= 2;
    const int levels = J - L;
    for (int s = 0; s < count; ++s) {
        const double* ws = w + static_cast<long long>(s) * n;
        double* x = out + static_cast<long long>(s) * n;
        if (levels == 0) {
            copy_doubles(ws, x, n);
            continue;
        }
        // Levels alternate between the scratch and the output, so that the
        // last one lands in the output; the first reads the coarse block of
        // the coefficients.
        const double* coarse = ws;
        for (int q = 0, nc = c0; q < levels; ++q, nc *= 2) {
            double* y = (levels - 1 - q) % 2 == 0 ? x : scratch;
            synthesis_step(coarse, ws + nc, nc, h, g, m, y);
            coarse = y;
        }
    }
}
