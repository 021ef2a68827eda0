#include "dyadic.hpp"

#include "common/dyadic_levels.hpp"
#include "periodic.hpp"

namespace {

// Filters of at most two taps read only the pair x[2i], x[2i+1] for output
// i, so they go tile by tile; longer ones take the whole signal.
int tile_of(int n, int taps) { return taps <= 2 ? dyadic_levels::short_tile : n; }

} // namespace

int analysis_scratch_length(int n, int taps) { return dyadic_levels::analysis_scratch_length(n, tile_of(n, taps)); }

void periodic_analysis(const double* x, int n, int columns, int log2n, int level, const double* lowpass,
                       const double* highpass, int taps, double* w, double* scratch, int threads)
{
    dyadic_levels::analysis(
        x, n, columns, log2n, level, tile_of(n, taps), 2.0 * n * columns * taps,
        [=](const double* in, int len, double* coarse, double* detail) {
            analysis_step(in, len, lowpass, highpass, taps, coarse, detail);
        },
        w, scratch, threads);
}

void periodic_synthesis(const double* w, int n, int columns, int log2n, int level, const double* lowpass,
                        const double* highpass, int taps, double* x, double* scratch, int threads)
{
    dyadic_levels::synthesis(
        w, n, columns, log2n, level, static_cast<double>(n) * columns * taps,
        [=](const double* coarse, const double* detail, int nc, double* y) {
            synthesis_step(coarse, detail, nc, lowpass, highpass, taps, y);
        },
        x, scratch, threads);
}
