// Translation-invariant periodic wavelet transform: at every step each block
// of the coarse approximation is split twice, unchanged and circularly
// delayed by one sample.
//
// The table has n = 2^J rows and D + 1 columns (column-major). Column 0
// holds the depth-D lowpass blocks, column k (1 <= k <= D) the highpass
// blocks of step k; column k has 2^k blocks of n/2^k rows. The block index b,
// written with k binary digits, is the shift path (most significant digit =
// step 1; 0 unshifted, 1 delayed): block j of a step has children 2j and
// 2j+1 in its own rows.
//
//   step 1, column 1:  [ hi of x           | hi of delayed x         ]
//   step 2, column 2:  [ hi 00 | hi 01     | hi 10 | hi 11           ]
//   column 0 (D = 2):  [ lo 00 | lo 01     | lo 10 | lo 11           ]
//
// The inverse rebuilds each block from both children, advances the delayed
// reconstruction by one sample and averages the two.
#pragma once

// dst[0] = src[c-1], dst[i] = src[i-1] for 1 <= i < c (delay by one sample)
void circular_shift_right(const double* src, double* dst, int c);

// dst[d-1] = src[0], dst[i] = src[i+1] for 0 <= i < d-1 (advance by one)
void circular_shift_left(const double* src, double* dst, int d);

// p[i] = p[i] / 2, i = 0 .. d-1
void halve_doubles(double* p, int d);

// table (n x (D+1)) receives all 2^D shift paths of the n signal values,
// D steps with highpass g and lowpass h (flen taps), the shift paths of a
// step shared among up to `threads` threads. scratch: n doubles.
// Requires 0 <= D <= J.
void translation_invariant_analysis(const double* signal, int n, int D, const double* g, const double* h, int flen,
                                    double* table, double* scratch, int threads = 1);

// output (n doubles) receives the signal rebuilt from the table (n x (D+1),
// layout as above), the blocks of a step shared among up to `threads`
// threads. scratch: synthesis_scratch_length(n, threads) doubles.
// Requires 0 <= D <= J.
void translation_invariant_synthesis(double* output, int n, int D, const double* g, const double* h, int flen,
                                     const double* table, double* scratch, int threads = 1);

// 4n doubles for the first thread, 2n for each further one.
inline long long synthesis_scratch_length(int n, int threads)
{
    return 4LL * n + 2LL * n * (threads > 1 ? threads - 1 : 0);
}
