// Medians of every triadic block of a signal, all levels at once, the same
// doubles as the staged merge sort of staged_merge.hpp.
//
//   x (n = 3^log3n):  [ . . . | . . . | . . . ][ . . . | . . . | . . . ] ...
//   blocks of 3:        m0      m1      m2       m3      m4      m5       n/3
//   blocks of 9:        m0'                      m1'                      n/9
//   ...
//
// Without NaN the merge is a sort by '<', so a block median is the value any
// sort or exact selection puts in the middle; only the sign of a zero median
// depends on the merge's tie rule (equal values end up in decreasing order
// of position). The fast strategies (median_strategies.hpp) find the values
// with '<' and then the sign of zero medians is fixed. Both start from
// chunks of 3^7 samples (fewer when fewer levels are asked for), whose
// blocks of 3, 9 and 27 are sorted by comparator networks, one block per
// vector lane. A block's median lies between the least and the greatest
// median of its thirds (its bracket).
//
//   selection: each larger block of a chunk picks its median among its
//       values within its bracket (a run of 27's values in range are
//       consecutive); above the chunks, among the values of the signal
//       within the range of the chunks' medians (the pool, shrunk after
//       each level to the range of the new medians). Fast where brackets
//       hold few values, as in noise, and where the vector path sorts in
//       registers (AVX-512). Declined, for the sorted chunks, when the
//       first chunk's bracket holds more than an eighth of its values, or
//       the pool more than half of the signal.
//   sorted chunks: three-way merges sort each chunk (on AVX-512 as two
//       two-way merges by bitonic networks, eight values a step), and each
//       block's median is the middle of its sorted run; above the chunks,
//       it is selected among their runs within its bracket, by shrinking one
//       window per run around a pivot (the weighted median of the window
//       middles).
//
// A signal holding a NaN takes the staged merge itself, whose comparisons
// place NaN by position.
#pragma once

// Levels a signal of int length can have: 3^19 is the largest power of
// three in the int range.
constexpr int kMaxTriadicLevels = 19;

// Medians of every block of 3^k samples of x (3^log3n values), k = 1 ..
// depth (depth <= log3n): the median of block b goes to medians[k][b]
// (n/3^k values for each k; medians[0] is not used). scratch holds n
// doubles. Returns false when work memory cannot be allocated.
bool triadic_block_medians(const double* x, int log3n, int depth, double* const* medians, double* scratch);

namespace pyramid {

// The ways triadic_block_medians can find the medians.
enum class MedianStrategy { chosen, selection, sorted_chunks, staged_merge };

// Test-only switch, as simd::force_isa is for paths: later calls take the
// given strategy where it applies (selection for depth >= 4 and a pool
// that fits, and neither fast strategy for a signal holding a NaN; the
// sorted chunks serve where selection does not). chosen, the default, is
// the driver's own choice.
void force_median_strategy(MedianStrategy strategy);

// The strategy that found the medians of the last call.
MedianStrategy median_strategy_used();

// The strategy's name: "chosen", "selection", "sorted chunks", "staged merge".
const char* median_strategy_name(MedianStrategy strategy);

} // namespace pyramid
