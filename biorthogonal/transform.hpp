// Biorthogonal wavelet transform of signals in the dyadic coefficient layout.
//
// A signal of n = 2^J values, analysed down to the coarsest level L:
//
//   | coarse (2^L) | details L (2^L) | details L+1 | ... | details J-1 (n/2) |
//   0             2^L              2^(L+1)       2^(L+2)   n/2              n
//
// Several signals lie one after another, n values each (the columns of a
// matrix). Analysis filters with the primary lowpass g and the highpass
// mirror_filter_centred(g~); synthesis with the dual lowpass g~ and the
// highpass mirror_filter_centred(g). Levels are clamped into 0 .. J: below 0
// there is nothing left to split, above J nothing to split at all, so every
// L has a result and synthesis with the same L undoes analysis.
#pragma once

// out receives the ncols signals of n = 2^J values in x, each split from
// level J-1 down to L with lowpass g (Lg taps) and highpass (Lgd taps),
// the signals shared among up to `threads` threads.
// scratch: 3n/4 doubles per thread.
void biorthogonal_analysis(const double* x, int n, int ncols, int L, int J, const double* highpass,
                           const double* g, int Lg, int Lgd, double* out, double* scratch, int threads = 1);

// out receives the ncols signals rebuilt from the coefficients w, with the
// highpass (Lg taps) and the dual lowpass gd (Lgd taps), on up to `threads`
// threads. scratch: n/2 doubles per thread.
void biorthogonal_synthesis(const double* w, int n, int ncols, int L, int J, const double* highpass,
                            const double* gd, int Lg, int Lgd, double* out, double* scratch, int threads = 1);
