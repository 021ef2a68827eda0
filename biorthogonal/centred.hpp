// Centred periodic biorthogonal filtering kernels.
//
// A block of n values is one period of a periodic sequence; index t stands
// for t mod n, reduced by repeated addition or subtraction of n, so a filter
// may be longer than the block and wrap as often as it needs. Each filter is
// centred on the sample it produces: an odd filter of 2k + 1 taps puts
// its centre tap k on x[2i] (lowpass) or on x[2i + 1] (highpass).
//
//     x:        x[2i-2]  x[2i-1]  x[2i]  x[2i+1]  x[2i+2]
//     lowpass:      l0       l1      l2     l3       l4       (5 taps, k = 2)
//     highpass:                      h2     h1       h0       (3 taps, k = 1:
//                                                            taps run backwards)
//
// Synthesis upsamples (c^[2i] = c[i], c^[2i+1] = 0) and filters with the
// transposed centring; only every other tap meets a non-zero value, so each
// output is a sum over one phase of the filter, taken in ascending tap order.
// Sums start at 0.0 and add taps in ascending order; outputs are overwritten,
// never accumulated, and nothing outside the output range is written. The
// sums are those of common/two_channel.hpp with the centred offsets.
//
// The analysis highpass filter is mirror_filter_centred of the dual lowpass
// filter, the synthesis highpass filter mirror_filter_centred of the primary.
#pragma once

// mirrored[i] = (-1)^(floor((taps-1)/2) + i) filter[i], i = 0 .. taps-1 (centre tap keeps its sign)
void mirror_filter_centred(const double* filter, int taps, double* mirrored);

// y[i] = sum_{j<taps} lowpass[j] x[(2i + j - floor(taps/2)) mod n], i = 0 .. n/2-1
void downsample_lowpass_centred(const double* x, int n, const double* lowpass, int taps, double* y);

// y[i] = sum_{j<taps} highpass[j] x[(2i + ceil(taps/2) - j) mod n], i = 0 .. n/2-1
void downsample_highpass_centred(const double* x, int n, const double* highpass, int taps, double* y);

// lo = downsample_lowpass_centred(x, n, lowpass, lowpass_taps),
// hi = downsample_highpass_centred(x, n, highpass, highpass_taps)
void analysis_step_centred(const double* x, int n, const double* lowpass, int lowpass_taps, const double* highpass,
                           int highpass_taps, double* lo, double* hi);

// y[k] = upsample_lowpass_centred(c, n, lowpass, lowpass_taps)[k]
//      + upsample_highpass_centred(d, n, highpass, highpass_taps)[k],
// k = 0 .. 2n-1 (the lowpass term first). y is distinct from c and d.
void synthesis_step_centred(const double* c, const double* d, int n, const double* lowpass, int lowpass_taps,
                            const double* highpass, int highpass_taps, double* y);

// y[k] = sum_{p<taps} lowpass[p] c^[(k - p + ceil(taps/2) - 1) mod 2n], k = 0 .. 2n-1,
// c^ the n values c upsampled (c^[2i] = c[i], c^[2i+1] = 0)
void upsample_lowpass_centred(const double* c, int n, const double* lowpass, int taps, double* y);

// y[k] = sum_{p<taps} highpass[p] d^[(k + p - floor(taps/2) - 1) mod 2n], k = 0 .. 2n-1
void upsample_highpass_centred(const double* d, int n, const double* highpass, int taps, double* y);
