// The level-by-level drivers of the dyadic coefficient layout, shared by the
// transforms whose one level is a two-channel step.
//
// A signal of n = 2^log2n values, split from level log2n-1 down to `level`:
//
//   | coarse (2^level) | details level | details level+1 | ... | details log2n-1 (n/2) |
//
// Several signals lie one after another, n values each (the columns of a
// matrix), shared among the threads by whole columns. Levels are clamped
// into 0 .. log2n: below 0 nothing more can be split, above log2n there is
// nothing to split, so every level has a result and the inverse with the
// same level undoes the forward transform.
#pragma once

#include <algorithm>

#include "common/arrays.hpp"
#include "common/threads.hpp"

namespace dyadic_levels {

// Analysis writes each level's details in place and its coarse half into
// the scratch for the next level to read, alternating between the
// scratch's first half and the quarter after it; the last coarse half goes
// to the front of the output. Nothing is copied.
//
// A step whose output i reads only the pair x[2i], x[2i+1] (filters of at
// most two taps) splits a block of a signal into exactly the values the
// whole signal gives there. Such signals go tile by tile, each tile through
// several levels while it stays in the first-level cache, instead of one
// pass over the whole signal per level:
//
//   round 1:  x = | tile 0 | tile 1 | ... |   each tile of 2^10 -> 16 coarse
//             details of each level straight to their places in w
//   round 2:  the 16 coarse values of every tile, side by side, are the
//             signal of the next round, and so on down to the level.
//
// A round that fits in one tile runs down to the level. Other steps take the
// whole signal as their one tile (tile = n).
constexpr int short_tile = 1 << 10;
constexpr int tile_rest = 16;
constexpr int tile_levels = 6; // short_tile = tile_rest * 2^tile_levels

// Length of the coarse values a round over len values hands on (0 for the last round).
inline int round_rest(int len, int tile) { return len > tile ? len / tile * tile_rest : 0; }

// Doubles of scratch the analysis needs per thread: the coarse halves inside
// a tile (3/4 of its length), then the coarse values of two rounds, taken in
// turn by the rounds.
inline int analysis_scratch_length(int n, int tile)
{
    return std::min(n, tile) / 4 * 3 + round_rest(n, tile) + round_rest(round_rest(n, tile), tile);
}

// w receives the columns of x split by step(src, len, coarse, detail) (len
// values into len/2 coarse values and len/2 details) from level log2n-1 down
// to `level`, tile by tile (tile = n or short_tile), on up to threads::worth(work,
// threads) threads. scratch: analysis_scratch_length(n, tile) doubles per thread.
template <class Step>
void analysis(const double* x, int n, int columns, int log2n, int level, int tile, double work, Step step, double* w,
              double* scratch, int threads)
{
    level = std::max(level, 0);
    const int per_thread = analysis_scratch_length(n, tile);
    threads::for_parts(columns, threads::worth(work, threads), [&](int p, int first, int last) {
        double* s = scratch + static_cast<long long>(p) * per_thread;
        double* rests[2] = {s + std::min(n, tile) / 4 * 3, s + std::min(n, tile) / 4 * 3 + round_rest(n, tile)};
        for (int col = first; col < last; ++col) {
            const double* src = x + static_cast<long long>(col) * n;
            double* y = w + static_cast<long long>(col) * n;
            if (log2n - 1 < level) {
                copy_doubles(src, y, n);
                continue;
            }
            for (int len = n, j = log2n - 1, round = 0; j >= level; ++round) {
                const int tl = std::min(len, tile);
                const int levels = std::min(len > tile ? tile_levels : j + 1, j - level + 1);
                double* rest = j - levels < level ? y : rests[round % 2];
                for (int b = 0; b < len / tl; ++b) {
                    const double* in = src + static_cast<long long>(b) * tl;
                    for (int q = 0, nc = tl; q < levels; ++q, nc /= 2) {
                        double* coarse = q == levels - 1 ? rest + static_cast<long long>(b) * (nc / 2)
                                         : in == s         ? s + tl / 2
                                                           : s;
                        // Level j - q: details at 2^(j-q), this tile's from b nc/2 on.
                        step(in, nc, coarse, y + (1LL << (j - q)) + static_cast<long long>(b) * (nc / 2));
                        in = coarse;
                    }
                }
                src = rest;
                len >>= levels;
                j -= levels;
            }
        }
    });
}

// x receives the columns rebuilt from the coefficients w (the layout analysis
// writes) by step(coarse, detail, nc, y) (nc coarse values and nc details
// into 2nc values), from `level` up to log2n-1, on up to threads::worth(work,
// threads) threads. scratch: n/2 doubles per thread.
template <class Step>
void synthesis(const double* w, int n, int columns, int log2n, int level, double work, Step step, double* x,
               double* scratch, int threads)
{
    level = std::min(std::max(level, 0), log2n);
    const int levels = log2n - level;
    threads::for_parts(columns, threads::worth(work, threads), [&](int p, int first, int last) {
        double* half = scratch + static_cast<long long>(p) * (n / 2);
        for (int col = first; col < last; ++col) {
            const double* wc = w + static_cast<long long>(col) * n;
            double* xc = x + static_cast<long long>(col) * n;
            if (levels == 0) {
                copy_doubles(wc, xc, n);
                continue;
            }
            // Levels alternate between the scratch and the output, so that the
            // last one lands in the output; the first reads the coarse block of
            // the coefficients.
            const double* coarse = wc;
            for (int q = 0, nc = 1 << level; q < levels; ++q, nc *= 2) {
                double* y = (levels - 1 - q) % 2 == 0 ? xc : half;
                step(coarse, wc + nc, nc, y);
                coarse = y;
            }
        }
    });
}

} // namespace dyadic_levels
