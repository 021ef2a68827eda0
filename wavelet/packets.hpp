// Periodic wavelet packet analysis and synthesis.
//
// A packet table of n = 2^log2n rows and depth + 1 columns (column-major). Column d
// is level d: 2^d blocks of n/2^d coefficients, block b in rows
// b*n/2^d .. (b+1)*n/2^d - 1.
//
//   level 0   [                block 0                  ]
//   level 1   [       block 0       |       block 1       ]
//   level 2   [ block 0 | block 1   | block 2 | block 3   ]
//
// Block b of level d has the children 2b and 2b+1 at level d+1, lying in its
// own rows. For even b the first child is its lowpass half and the second its
// highpass half; for odd b the roles are swapped, so the blocks of a level
// come out in order of frequency (0, 1, 2, ... sign changes for Haar).
#pragma once

// table (n x (depth+1)) receives the packet table of x (n = 2^log2n
// doubles): column 0 is x, and each block of level d is split into its two
// children at level d+1 with the lowpass and highpass filters (taps each),
// the lowpass half going to child 2b + (b mod 2). The transpose of
// packet_synthesis; the blocks of a level are shared among up to `threads`
// threads. Requires 0 <= depth <= log2n.
void packet_analysis(const double* x, int n, int depth, const double* lowpass, const double* highpass, int taps,
                     double* table, int threads = 1);

// x (n doubles) receives the sum over all levels 0 .. depth of the blocks of
// the table (n x (depth+1)), each synthesised down to level 0 with the
// lowpass and highpass filters (taps each), the blocks of a level shared
// among up to `threads` threads. scratch: packet_synthesis_scratch_length(n,
// threads) doubles. Requires 0 <= depth <= log2n.
void packet_synthesis(const double* table, int n, int depth, const double* lowpass, const double* highpass, int taps,
                      double* x, double* scratch, int threads = 1);

// 3n doubles for the first thread, 3n/2 for each further one (a level of
// two blocks or more has blocks of n/2 at most).
inline long long packet_synthesis_scratch_length(int n, int threads)
{
    return 3LL * n + 3LL * (n / 2) * (threads > 1 ? threads - 1 : 0);
}
