#include "periodic.hpp"

#include "host/two_channel.hpp"

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
    simd::dispatch<analysis_kernel>(x, n, plain_analysis(lowpass, lowpass, taps, 0), y, static_cast<double*>(nullptr));
}

void downsample_highpass_periodic(const double* x, int n, const double* highpass, int taps, double* y)
{
    simd::dispatch<analysis_kernel>(x, n, plain_analysis(highpass, highpass, taps, 0), static_cast<double*>(nullptr),
                                    y);
}

void analysis_step(const double* x, int n, const double* lowpass, const double* highpass, int taps, double* lo,
                   double* hi)
{
    simd::dispatch<analysis_kernel>(x, n, plain_analysis(lowpass, highpass, taps, 0), lo, hi);
}

void analysis_step_delayed(const double* x, int n, const double* lowpass, const double* highpass, int taps,
                           double* lo, double* hi)
{
    simd::dispatch<analysis_kernel>(x, n, plain_analysis(lowpass, highpass, taps, 1), lo, hi);
}

void upsample_lowpass_periodic(const double* c, int n, const double* lowpass, int taps, double* y)
{
    simd::dispatch<synthesis_kernel<lowpass_half>>(c, c, n, plain_synthesis(lowpass, lowpass, taps), y);
}

void upsample_highpass_periodic(const double* d, int n, const double* highpass, int taps, double* y)
{
    simd::dispatch<synthesis_kernel<highpass_half>>(d, d, n, plain_synthesis(highpass, highpass, taps), y);
}

void synthesis_step(const double* c, const double* d, int n, const double* lowpass, const double* highpass, int taps,
                    double* y)
{
    simd::dispatch<synthesis_kernel<both_halves>>(c, d, n, plain_synthesis(lowpass, highpass, taps), y);
}
