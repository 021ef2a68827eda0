// Medians of every triadic block of a signal, all levels at once, the same
// doubles as the staged merge sort of median.hpp.
//
//   x (n = 3^J):  [ . . . | . . . | . . . ][ . . . | . . . | . . . ] ...
//   blocks of 3:    m0      m1      m2       m3      m4      m5       n/3
//   blocks of 9:    m0'                      m1'                      n/9
//   ...
//
// Without NaN the merge is a sort by '<', so a block median is the value any
// sort puts in the middle; only the sign of a zero median depends on the
// merge's tie rule (equal values end up in decreasing order of position).
// The fast path therefore sorts with '<' and fixes the sign of zero medians:
//
//   blocks up to 3^7: each chunk of 3^7 samples is sorted bottom-up in cache
//                     (blocks of 3, 9 and 27 by comparator networks, one
//                     block per vector lane, then three-way merges, three
//                     stepped side by side; on AVX-512 two two-way merges by
//                     bitonic networks, eight values a step), and each
//                     block's median is the middle of its sorted run;
//   larger blocks:    3^(k-7) sorted runs of 3^7; the median is selected
//                     among their values between the least and the greatest
//                     median of the block's thirds, by shrinking one window
//                     per run around a pivot (the weighted median of the
//                     window middles).
//
// A signal holding a NaN takes the staged merge itself, whose comparisons
// place NaN by position.
#pragma once

// Levels a signal of int length can have: 3^19 is the largest power of
// three in the int range.
constexpr int kMaxTriadicLevels = 19;

// Medians of every block of 3^k samples of x (3^J values), k = 1 .. K
// (K <= J): the median of block b goes to level[k][b] (n/3^k values for
// each k; level[0] is not used). work holds n doubles of scratch. Returns
// false when work memory cannot be allocated.
bool triadic_block_medians(const double* x, int J, int K, double* work, double* const* level);
