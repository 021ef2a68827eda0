#include "centred.hpp"

#include "host/two_channel.hpp"

using namespace two_channel;

// Counting only the taps that exist in each synthesis phase is the
// convolution form for every length, also for even lengths whose phase is 1.

void mirror_filter_centred(const double* filter, int taps, double* mirrored)
{
    if (taps <= 0) return;
    double sign = 1.0;
    for (int k = 0; k < (taps - 1) / 2; ++k) sign = -sign;
    for (int i = 0; i < taps; ++i) {
        mirrored[i] = sign * filter[i];
        sign = -sign;
    }
}

void downsample_lowpass_centred(const double* x, int n, const double* lowpass, int taps, double* y)
{
    simd::dispatch<analysis_kernel>(x, n, centred_analysis(lowpass, taps, lowpass, taps), y,
                                    static_cast<double*>(nullptr));
}

void downsample_highpass_centred(const double* x, int n, const double* highpass, int taps, double* y)
{
    simd::dispatch<analysis_kernel>(x, n, centred_analysis(highpass, taps, highpass, taps),
                                    static_cast<double*>(nullptr), y);
}

void analysis_step_centred(const double* x, int n, const double* lowpass, int lowpass_taps, const double* highpass,
                           int highpass_taps, double* lo, double* hi)
{
    simd::dispatch<analysis_kernel>(x, n, centred_analysis(lowpass, lowpass_taps, highpass, highpass_taps), lo, hi);
}

void upsample_lowpass_centred(const double* c, int n, const double* lowpass, int taps, double* y)
{
    simd::dispatch<synthesis_kernel<lowpass_half>>(c, c, n, centred_synthesis(n, lowpass, taps, lowpass, taps), y);
}

void upsample_highpass_centred(const double* d, int n, const double* highpass, int taps, double* y)
{
    simd::dispatch<synthesis_kernel<highpass_half>>(d, d, n, centred_synthesis(n, highpass, taps, highpass, taps),
                                                    y);
}

void synthesis_step_centred(const double* c, const double* d, int n, const double* lowpass, int lowpass_taps,
                            const double* highpass, int highpass_taps, double* y)
{
    simd::dispatch<synthesis_kernel<both_halves>>(
        c, d, n, centred_synthesis(n, lowpass, lowpass_taps, highpass, highpass_taps), y);
}
