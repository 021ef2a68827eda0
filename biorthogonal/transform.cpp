#include "transform.hpp"

#include "biorthogonal/centred.hpp"
#include "common/dyadic_levels.hpp"

void biorthogonal_analysis(const double* x, int n, int columns, int log2n, int level, const double* lowpass,
                           int lowpass_taps, const double* highpass, int highpass_taps, double* w, double* scratch,
                           int threads)
{
    // Centred filters reach both neighbours of a pair: the whole signal is one tile.
    dyadic_levels::analysis(
        x, n, columns, log2n, level, n, static_cast<double>(n) * columns * (lowpass_taps + highpass_taps),
        [=](const double* in, int len, double* coarse, double* detail) {
            analysis_step_centred(in, len, lowpass, lowpass_taps, highpass, highpass_taps, coarse, detail);
        },
        w, scratch, threads);
}

void biorthogonal_synthesis(const double* w, int n, int columns, int log2n, int level, const double* lowpass,
                            int lowpass_taps, const double* highpass, int highpass_taps, double* x, double* scratch,
                            int threads)
{
    dyadic_levels::synthesis(
        w, n, columns, log2n, level, static_cast<double>(n) * columns * (lowpass_taps + highpass_taps),
        [=](const double* coarse, const double* detail, int nc, double* y) {
            synthesis_step_centred(coarse, detail, nc, lowpass, lowpass_taps, highpass, highpass_taps, y);
        },
        x, scratch, threads);
}
