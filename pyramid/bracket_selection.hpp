// The kernels of the selection strategy (bracket_selection.cpp), for sorted
// runs of 27 values without NaN:
//
//   gather_in_range(runs, R, low, high, out, below): the values in
//       [low, high] of the R runs at runs, moved to out in order (out may be
//       runs itself or below it); adds to below how many of their values
//       lie below low, and returns how many were moved;
//   rank(v, n, q): the value of rank q (from 0) among v[0 .. n-1], which
//       may be reordered;
//   block_medians(runs, d, blocks, thirds, out, temp): the medians of blocks
//       of d = 3^k (k >= 4) values, each given as d/27 sorted runs of 27
//       (block b's at runs + b d), from the medians of their thirds
//       (thirds[3b .. 3b+2]), into out[b], b < blocks. Each block's values
//       within its bracket are gathered into temp (room for d + 8) and the
//       one of the block's rank among them is picked.
//
// Written here for one value at a time; simd/avx512_bracket_selection.hpp
// gives eight lanes their own, and there selection pays (pays = true: the
// driver's own choice takes it).
#pragma once

#include <algorithm>

#include "simd/simd.hpp"
#include "median_strategies.hpp"

namespace median_strategies {

// block_medians by the gather and rank of Kernels.
template <class Kernels>
SIMD_INLINE void bracketed_medians(const double* runs, int d, int blocks, const double* thirds, double* out,
                                   double* temp)
{
    for (int b = 0; b < blocks; ++b) {
        const Bracket w(thirds + 3 * b);
        long long below = 0;
        const int count =
            Kernels::gather_in_range(runs + static_cast<long long>(b) * d, d / 27, w.low, w.high, temp, below);
        out[b] = Kernels::rank(temp, count, (d - 1) / 2 - static_cast<int>(below));
    }
}

template <class Widest> struct bracket_kernels {
    static constexpr bool pays = false;

    static int gather_in_range(const double* runs, int R, double low, double high, double* out, long long& below)
    {
        int count = 0;
        for (const double* run = runs; run < runs + 27 * R; run += 27) {
            int first = 0, last = 0;
            for (int i = 0; i < 27; ++i) {
                first += run[i] < low;
                last += run[i] <= high;
            }
            below += first;
            for (int i = first; i < last; ++i) out[count + (i - first)] = run[i];
            count += last - first;
        }
        return count;
    }

    static double rank(double* v, int n, int q)
    {
        std::nth_element(v, v + q, v + n);
        return v[q];
    }

    static void block_medians(const double* runs, int d, int blocks, const double* thirds, double* out, double* temp)
    {
        bracketed_medians<bracket_kernels>(runs, d, blocks, thirds, out, temp);
    }
};

} // namespace median_strategies
