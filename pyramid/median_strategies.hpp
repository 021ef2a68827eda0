// The strategies behind triadic_block_medians (block_medians.hpp), and what
// they share. Each finds the medians of every block of 3^k samples, k = 1 ..
// depth, of a signal without NaN; the driver fixes the sign of zero medians
// and hands a signal holding a NaN to the staged merge.
//
//   sorted chunks (sorted_chunks.cpp): chunks of 3^7 sorted bottom-up, each
//       block's median the middle of its sorted run; above the chunks,
//       selection among the chunks' runs within the block's bracket.
//   selection (bracket_selection.cpp): blocks of 27 sorted by networks,
//       each larger block's median picked among its values within its
//       bracket; above the chunks, among a shrinking pool of the signal's
//       values.
#pragma once

#include <algorithm>
#include <cmath>

#include "simd/simd.hpp"

namespace median_strategies {

// Levels sorted chunk by chunk: 3^7 doubles and their merge buffer stay in L1/L2.
constexpr int kSortedLevels = 7;

// The bracket of a block's median: the least and the greatest median of its
// thirds. More than half of the block's values are at most the greatest
// (each third has more than half of its own at most its median), and more
// than half at least the least.
struct Bracket {
    double low, high;
    explicit Bracket(const double* thirds)
        : low(std::min({thirds[0], thirds[1], thirds[2]})), high(std::max({thirds[0], thirds[1], thirds[2]}))
    {
    }
};

// What a scan of the signal found: a NaN, a -0, a +0.
struct Found {
    bool nan = false, negative_zero = false, positive_zero = false;
};

// Adds to found what x[0 .. n-1] holds; the signs of zeros are read one by
// one, only where there are zeros and a sign is still missing.
struct scan_signal {
    template <class Widest> SIMD_INLINE static void run(const double* x, int n, Found* found)
    {
        using V = typename simd::at_most_four<Widest>::type;
        constexpr int W = simd::lanes<V>;
        using Mask = decltype(V{} == V{});
        Mask nans{}, zeros{};
        int i = 0;
        for (; i + W <= n; i += W) {
            const V v = simd::load<V>(x + i);
            nans |= v != v;
            zeros |= v == 0.0;
        }
        bool nan = simd::any(nans), zero = simd::any(zeros);
        for (; i < n; ++i) {
            nan |= x[i] != x[i];
            zero |= x[i] == 0;
        }
        found->nan |= nan;
        for (i = 0; zero && !(found->negative_zero && found->positive_zero) && i < n; ++i) {
            found->negative_zero |= x[i] == 0 && std::signbit(x[i]);
            found->positive_zero |= x[i] == 0 && !std::signbit(x[i]);
        }
    }
};

enum class Outcome { done, nan, declined, no_memory };

// The strategies' common arguments: x (3^log3n values), the medians of
// block b of 3^k into medians[k][b] for k = 1 .. depth, scratch of 3^log3n
// doubles. Each scans x as it goes, into found; at a NaN it stops, with
// found->nan set and the medians unfinished.

// Sorted chunks, on up to `threads` threads; false when work memory cannot
// be allocated.
bool sorted_medians(const double* x, int log3n, int depth, double* const* medians, double* scratch, Found* found,
                    int threads);

// Selection, for depth >= 4, on the paths where it pays (simd/
// avx512_bracket_selection.hpp) or on every path when forced. Declined,
// leaving the work to the sorted chunks, where it does not pay or where its
// pool would not fit in scratch.
Outcome selected_medians(const double* x, int log3n, int depth, double* const* medians, double* scratch, bool forced,
                         Found* found);

} // namespace median_strategies
