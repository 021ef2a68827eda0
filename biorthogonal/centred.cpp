#include "centred.hpp"

#include "common/two_channel.hpp"

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
    simd::dispatch<analysis_kernel<false>>(x, n, lowpass, taps, centred_lowpass_offset(taps), lowpass, taps,
                                    centred_highpass_offset(taps), y, static_cast<double*>(nullptr));
}

void downsample_highpass_centred(const double* x, int n, const double* highpass, int taps, double* y)
{
    simd::dispatch<analysis_kernel<false>>(x, n, highpass, taps, centred_lowpass_offset(taps), highpass, taps,
                                    centred_highpass_offset(taps), static_cast<double*>(nullptr), y);
}

void analysis_step_centred(const double* x, int n, const double* lowpass, int lowpass_taps, const double* highpass,
                           int highpass_taps, double* lo, double* hi)
{
    simd::dispatch<analysis_kernel<false>>(x, n, lowpass, lowpass_taps, centred_lowpass_offset(lowpass_taps), highpass,
                                    highpass_taps, centred_highpass_offset(highpass_taps), lo, hi);
}

void upsample_lowpass_centred(const double* c, int n, const double* lowpass, int taps, double* y)
{
    simd::dispatch<synthesis_kernel<lowpass_half, false>>(c, c, n, lowpass, taps, centred_lowpass_phase(taps), lowpass,
                                                          taps, centred_highpass_phase(n, taps), y);
}

void upsample_highpass_centred(const double* d, int n, const double* highpass, int taps, double* y)
{
    simd::dispatch<synthesis_kernel<highpass_half, false>>(d, d, n, highpass, taps, centred_lowpass_phase(taps),
                                                           highpass, taps, centred_highpass_phase(n, taps), y);
}

void synthesis_step_centred(const double* c, const double* d, int n, const double* lowpass, int lowpass_taps,
                            const double* highpass, int highpass_taps, double* y)
{
    simd::dispatch<synthesis_kernel<both_halves, false>>(c, d, n, lowpass, lowpass_taps,
                                                         centred_lowpass_phase(lowpass_taps), highpass, highpass_taps,
                                                         centred_highpass_phase(n, highpass_taps), y);
}
