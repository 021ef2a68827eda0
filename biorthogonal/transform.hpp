// Biorthogonal wavelet transform of signals in the dyadic coefficient layout.
//
// A signal of n = 2^log2n values, analysed down to the coarsest level:
//
//   | coarse (2^level) | details level | details level+1 | ... | details log2n-1 (n/2) |
//   0                 2^level       2^(level+1)                  n/2                   n
//
// Several signals lie one after another, n values each (the columns of a
// matrix). Analysis filters with the primary lowpass g and the highpass
// mirror_filter_centred(g~); synthesis with the dual lowpass g~ and the
// highpass mirror_filter_centred(g). Levels are clamped into 0 .. log2n
// (common/dyadic_levels.hpp), so every level has a result and synthesis with
// the same level undoes analysis.
#pragma once

// w receives the `columns` signals of n = 2^log2n values in x, each split
// from level log2n-1 down to `level` with the centred lowpass and highpass
// filters, the signals shared among up to `threads` threads.
// scratch: 3n/4 doubles per thread.
void biorthogonal_analysis(const double* x, int n, int columns, int log2n, int level, const double* lowpass,
                           int lowpass_taps, const double* highpass, int highpass_taps, double* w, double* scratch,
                           int threads = 1);

// x receives the `columns` signals rebuilt from the coefficients w with the
// centred lowpass and highpass synthesis filters, on up to `threads` threads.
// scratch: n/2 doubles per thread.
void biorthogonal_synthesis(const double* w, int n, int columns, int log2n, int level, const double* lowpass,
                            int lowpass_taps, const double* highpass, int highpass_taps, double* x, double* scratch,
                            int threads = 1);
