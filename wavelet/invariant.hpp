// Translation-invariant periodic wavelet transform: at every step each block
// of the coarse approximation is split twice, unchanged and circularly
// delayed by one sample.
//
// The table has n rows and depth + 1 columns (column-major). Column 0
// holds the lowpass blocks of the last step, column k (1 <= k <= depth) the highpass
// blocks of step k; column k has 2^k blocks of n/2^k rows. The block index b,
// written with k binary digits, is the shift path (most significant digit =
// step 1; 0 unshifted, 1 delayed): block j of a step has children 2j and
// 2j+1 in its own rows.
//
//   step 1, column 1:  [ hi of x           | hi of delayed x         ]
//   step 2, column 2:  [ hi 00 | hi 01     | hi 10 | hi 11           ]
//   column 0 (depth 2):  [ lo 00 | lo 01     | lo 10 | lo 11           ]
//
// The inverse rebuilds each block from both children, advances the delayed
// reconstruction by one sample and averages the two.
#pragma once

// y[0] = x[n-1], y[i] = x[i-1] for 1 <= i < n (delay by one sample)
void circular_shift_right(const double* x, int n, double* y);

// y[n-1] = x[0], y[i] = x[i+1] for 0 <= i < n-1 (advance by one)
void circular_shift_left(const double* x, int n, double* y);

// p[i] = p[i] / 2, i = 0 .. n-1
void halve_doubles(double* p, int n);

// table (n x (depth+1)) receives all 2^depth shift paths of the n values of
// x, depth steps with the lowpass and highpass filters (taps each), the
// shift paths of a step shared among up to `threads` threads.
// scratch: n doubles. Requires 0 <= depth <= log2(n).
void translation_invariant_analysis(const double* x, int n, int depth, const double* lowpass, const double* highpass,
                                    int taps, double* table, double* scratch, int threads = 1);

// x (n doubles) receives the signal rebuilt from the table (n x (depth+1),
// layout as above), the blocks of a step shared among up to `threads`
// threads. scratch: synthesis_scratch_length(n, threads) doubles.
// Requires 0 <= depth <= log2(n).
void translation_invariant_synthesis(const double* table, int n, int depth, const double* lowpass,
                                     const double* highpass, int taps, double* x, double* scratch, int threads = 1);

// 4n doubles for the first thread, 2n for each further one.
inline long long synthesis_scratch_length(int n, int threads)
{
    return 4LL * n + 2LL * n * (threads > 1 ? threads - 1 : 0);
}
