#include "periodic.hpp"

#include "common/two_channel.hpp"

// The plain offsets: analysis 0 and 1 (delayed: -1 and 0), synthesis phase
// 0 for both channels.

using namespace two_channel;

void mirror_filter(const double* lowpass, int taps, double* highpass)
{
    int sign = 1;
    for (int k = 0; k < taps; ++k) {
        highpass[k] = lowpass[k] * sign;
        sign = -sign;
    }
}

void downsample_lowpass_periodic(const double* x, int n, const double* lowpass, int taps, double* y)
{
    simd::dispatch<analysis_kernel<true>>(x, n, lowpass, taps, 0, lowpass, taps, 1, y, static_cast<double*>(nullptr));
}

void downsample_highpass_periodic(const double* x, int n, const double* highpass, int taps, double* y)
{
    simd::dispatch<analysis_kernel<true>>(x, n, highpass, taps, 0, highpass, taps, 1, static_cast<double*>(nullptr), y);
}

void analysis_step(const double* x, int n, const double* lowpass, const double* highpass, int taps, double* lo,
                   double* hi)
{
    simd::dispatch<analysis_kernel<true>>(x, n, lowpass, taps, 0, highpass, taps, 1, lo, hi);
}

void analysis_step_delayed(const double* x, int n, const double* lowpass, const double* highpass, int taps,
                           double* lo, double* hi)
{
    simd::dispatch<analysis_kernel<true>>(x, n, lowpass, taps, -1, highpass, taps, 0, lo, hi);
}

void upsample_lowpass_periodic(const double* c, int n, const double* lowpass, int taps, double* y)
{
    simd::dispatch<synthesis_kernel<lowpass_half, true>>(c, c, n, lowpass, taps, 0, lowpass, taps, 0, y);
}

void upsample_highpass_periodic(const double* d, int n, const double* highpass, int taps, double* y)
{
    simd::dispatch<synthesis_kernel<highpass_half, true>>(d, d, n, highpass, taps, 0, highpass, taps, 0, y);
}

void synthesis_step(const double* c, const double* d, int n, const double* lowpass, const double* highpass, int taps,
                    double* y)
{
    simd::dispatch<synthesis_kernel<both_halves, true>>(c, d, n, lowpass, taps, 0, highpass, taps, 0, y);
}
