// Periodic two-channel filtering kernels.
//
// A signal of n values is one period of a periodic sequence: index t stands
// for t mod n. One analysis step splits it into n/2 lowpass and n/2 highpass
// values; one synthesis step is the exact transpose of each half.
//
//     x:   x0 x1 x2 x3 ... x(n-1) | x0 x1 ...      (wraps around)
//     y_lo[i] = sum_k h[k] x[2i + k]       taps run forwards from 2i
//     y_hi[i] = sum_k g[k] x[2i + 1 - k]   taps run backwards from 2i + 1
//
// The transforms run both analysis halves in one pass and the synthesis
// step with both halves summed in one pass; every kernel computes several
// outputs at once where the processor allows.
//
// Each kernel splits its outputs into a direct range, where every tap lies
// inside the input, and a wrapped range, where a running index is folded
// back by one addition or subtraction of the length (filters longer than the
// input wrap as often as needed). Sums start at 0.0 and add taps in
// ascending k. Outputs are overwritten, never accumulated; nothing outside
// the output range is written, and an empty filter gives 0.0 everywhere.
#pragma once

// g[k] = (-1)^k h[k], k = 0 .. m-1
void mirror_filter(const double* h, double* g, int m);

// y[i] = sum_{k<m} h[k] x[(2i + k) mod n], i = 0 .. n/2-1
void downsample_lowpass_periodic(const double* x, int n, const double* h, int m, double* y);

// y[i] = sum_{k<m} g[k] x[(2i + 1 - k) mod n], i = 0 .. n/2-1
void downsample_highpass_periodic(const double* x, int n, const double* g, int m, double* y);

// lo = downsample_lowpass_periodic(x, n, h, m), hi = downsample_highpass_periodic(x, n, g, m)
void analysis_step(const double* x, int n, const double* h, const double* g, int m, double* lo, double* hi);

// analysis_step of x delayed by one sample, x'[t] = x[(t - 1) mod n], read from x itself
void analysis_step_delayed(const double* x, int n, const double* h, const double* g, int m, double* lo, double* hi);

// y[k] = upsample_lowpass_periodic(c, nc, h, m)[k] + upsample_highpass_periodic(d, nc, g, m)[k],
// k = 0 .. 2nc-1 (the lowpass term first). y is distinct from c and d.
void synthesis_step(const double* c, const double* d, int nc, const double* h, const double* g, int m, double* y);

// y[2i] = sum_{k<ceil(m/2)} h[2k] c[(i-k) mod nc],
// y[2i+1] = sum_{k<floor(m/2)} h[2k+1] c[(i-k) mod nc], i = 0 .. nc-1
void upsample_lowpass_periodic(const double* c, int nc, const double* h, int m, double* y);

// y[2i+1] = sum_{k<ceil(m/2)} g[2k] d[(i+k) mod nc],
// y[2i] = sum_{k<floor(m/2)} g[2k+1] d[(i+k) mod nc], i = 0 .. nc-1
void upsample_highpass_periodic(const double* d, int nc, const double* g, int m, double* y);
