// Periodic two-channel filtering kernels.
//
// A signal of n values is one period of a periodic sequence: index t stands
// for t mod n. One analysis step splits it into n/2 lowpass and n/2 highpass
// values; one synthesis step is the exact transpose of each half.
//
//     x:   x0 x1 x2 x3 ... x(n-1) | x0 x1 ...      (wraps around)
//     lo[i] = sum_k lowpass[k]  x[2i + k]       taps run forwards from 2i
//     hi[i] = sum_k highpass[k] x[2i + 1 - k]   taps run backwards from 2i + 1
//
// The sums are those of common/two_channel.hpp with the tap offsets 0 and 1
// (delayed signal: -1 and 0) and synthesis phase offset 0 for both channels.
// Sums start at 0.0 and add taps in ascending k. Outputs are overwritten,
// never accumulated; nothing outside the output range is written, and an
// empty filter gives 0.0 everywhere. Filters longer than the signal wrap as
// often as needed.
#pragma once

// highpass[k] = (-1)^k lowpass[k], k = 0 .. taps-1
void mirror_filter(const double* lowpass, int taps, double* highpass);

// y[i] = sum_{k<taps} lowpass[k] x[(2i + k) mod n], i = 0 .. n/2-1
void downsample_lowpass_periodic(const double* x, int n, const double* lowpass, int taps, double* y);

// y[i] = sum_{k<taps} highpass[k] x[(2i + 1 - k) mod n], i = 0 .. n/2-1
void downsample_highpass_periodic(const double* x, int n, const double* highpass, int taps, double* y);

// lo = downsample_lowpass_periodic(x), hi = downsample_highpass_periodic(x)
void analysis_step(const double* x, int n, const double* lowpass, const double* highpass, int taps, double* lo,
                   double* hi);

// analysis_step of x delayed by one sample, x'[t] = x[(t - 1) mod n], read from x itself
void analysis_step_delayed(const double* x, int n, const double* lowpass, const double* highpass, int taps,
                           double* lo, double* hi);

// y[k] = upsample_lowpass_periodic(c)[k] + upsample_highpass_periodic(d)[k],
// k = 0 .. 2n-1 (the lowpass term first), from n coarse values c and n
// details d. y is distinct from c and d.
void synthesis_step(const double* c, const double* d, int n, const double* lowpass, const double* highpass, int taps,
                    double* y);

// y[2i] = sum_{k<ceil(taps/2)} lowpass[2k] c[(i-k) mod n],
// y[2i+1] = sum_{k<floor(taps/2)} lowpass[2k+1] c[(i-k) mod n], i = 0 .. n-1
void upsample_lowpass_periodic(const double* c, int n, const double* lowpass, int taps, double* y);

// y[2i+1] = sum_{k<ceil(taps/2)} highpass[2k] d[(i+k) mod n],
// y[2i] = sum_{k<floor(taps/2)} highpass[2k+1] d[(i+k) mod n], i = 0 .. n-1
void upsample_highpass_periodic(const double* d, int n, const double* highpass, int taps, double* y);
