// Periodic wavelet transform of signals in the dyadic coefficient layout.
//
// A signal of n = 2^J values, transformed down to the coarsest level L:
//
//   | coarse (2^L) | details L (2^L) | details L+1 | ... | details J-1 (n/2) |
//   0             2^L              2^(L+1)       2^(L+2)   n/2              n
//
// Several signals lie one after another, n values each (the columns of a
// matrix). Levels are clamped into 0 .. J: below 0 nothing more can be
// split, above J there is nothing to split, so every L has a result and the
// inverse with the same L undoes the forward transform.
#pragma once

// w receives the count signals of n = 2^J values in x, each split from level
// J-1 down to L with lowpass h and highpass g (m taps each); every value of
// w is written. The signals are shared among up to `threads` threads.
// scratch: analysis_scratch_length(n, m) doubles per thread.
void periodic_analysis(const double* x, double* w, int n, int count, int J, int L, const double* h,
                       const double* g, int m, double* scratch, int threads = 1);

// Doubles of scratch periodic_analysis needs: 3n/4, or for filters of at
// most two taps (split in cache-sized tiles) 768 + n/64 + n/4096 at most.
int analysis_scratch_length(int n, int m);

// out receives the count signals rebuilt from the coefficients w (same layout
// as periodic_analysis writes), on up to `threads` threads.
// scratch: n/2 doubles per thread.
void periodic_synthesis(const double* w, double* out, int n, int count, int J, int L, const double* h,
                        const double* g, int m, double* scratch, int threads = 1);
