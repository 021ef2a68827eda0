// Periodic wavelet transform of signals in the dyadic coefficient layout.
//
// A signal of n = 2^log2n values, transformed down to the coarsest level:
//
//   | coarse (2^level) | details level | details level+1 | ... | details log2n-1 (n/2) |
//   0                 2^level       2^(level+1)                  n/2                   n
//
// Several signals lie one after another, n values each (the columns of a
// matrix). Levels are clamped into 0 .. log2n (common/dyadic_levels.hpp), so
// every level has a result and the inverse with the same level undoes the
// forward transform.
#pragma once

// w receives the `columns` signals of n = 2^log2n values in x, each split
// from level log2n-1 down to `level` with the lowpass and highpass filters
// (taps each); every value of w is written. The signals are shared among up
// to `threads` threads. scratch: analysis_scratch_length(n, taps) doubles per thread.
void periodic_analysis(const double* x, int n, int columns, int log2n, int level, const double* lowpass,
                       const double* highpass, int taps, double* w, double* scratch, int threads = 1);

// Doubles of scratch periodic_analysis needs: 3n/4, or for filters of at
// most two taps (split in cache-sized tiles) 768 + n/64 + n/4096 at most.
int analysis_scratch_length(int n, int taps);

// x receives the `columns` signals rebuilt from the coefficients w (the
// layout periodic_analysis writes), on up to `threads` threads.
// scratch: n/2 doubles per thread.
void periodic_synthesis(const double* w, int n, int columns, int log2n, int level, const double* lowpass,
                        const double* highpass, int taps, double* x, double* scratch, int threads = 1);
