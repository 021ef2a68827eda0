// Centred periodic biorthogonal filtering kernels.
//
// A block of n values is one period of a periodic sequence; index t stands
// for t mod n, reduced by repeated addition or subtraction of n, so a filter
// may be longer than the block and wrap as often as it needs. Each filter is
// centred on the sample it produces: an odd filter of L = 2k + 1 taps puts
// its centre tap k on x[2i] (lowpass) or on x[2i + 1] (highpass).
//
//     x:        x[2i-2]  x[2i-1]  x[2i]  x[2i+1]  x[2i+2]
//     lowpass  g:   g0       g1      g2     g3       g4       (L = 5, k = 2)
//     highpass h:                    h2     h1       h0       (L = 3, k = 1:
//                                                            taps run backwards)
//
// Synthesis upsamples (a^[2i] = a[i], a^[2i+1] = 0) and filters with the
// transposed centring; only every other tap meets a non-zero value, so each
// output is a sum over one phase of the filter, taken in ascending tap order.
// Sums start at 0.0 and add taps in ascending order; outputs are overwritten,
// never accumulated, and nothing outside the output range is written.
//
// The transforms run both analysis halves in one pass and the synthesis
// step with both halves summed in one pass; every kernel computes several
// outputs at once where the processor allows.
//
// The analysis highpass filter is mirror_filter_centred of the dual lowpass
// filter, the synthesis highpass filter mirror_filter_centred of the primary.
#pragma once

// dst[i] = (-1)^(floor((L-1)/2) + i) src[i], i = 0 .. L-1 (centre tap keeps its sign)
void mirror_filter_centred(const double* src, double* dst, int L);

// out[i] = sum_{j<L} g[j] x[(2i + j - floor(L/2)) mod n], i = 0 .. n/2-1
void downsample_lowpass_centred(const double* x, int n, const double* g, int L, double* out);

// out[i] = sum_{j<L} h[j] x[(2i + ceil(L/2) - j) mod n], i = 0 .. n/2-1
void downsample_highpass_centred(const double* x, int n, const double* h, int L, double* out);

// lo = downsample_lowpass_centred(x, n, g, Lg), hi = downsample_highpass_centred(x, n, h, Lh)
void analysis_step_centred(const double* x, int n, const double* g, int Lg, const double* h, int Lh, double* lo,
                           double* hi);

// out[k] = upsample_lowpass_centred(a, m, g, Lg)[k] + upsample_highpass_centred(d, m, h, Lh)[k],
// k = 0 .. 2m-1 (the lowpass term first). out is distinct from a and d.
void synthesis_step_centred(const double* a, const double* d, int m, const double* g, int Lg, const double* h, int Lh,
                            double* out);

// out[k] = sum_{p<L} g[p] a^[(k - p + ceil(L/2) - 1) mod 2m], k = 0 .. 2m-1
void upsample_lowpass_centred(const double* a, int m, const double* g, int L, double* out);

// out[k] = sum_{p<L} h[p] d^[(k + p - floor(L/2) - 1) mod 2m], k = 0 .. 2m-1
void upsample_highpass_centred(const double* d, int m, const double* h, int L, double* out);
