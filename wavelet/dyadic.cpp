#include "dyadic.hpp"

#include <algorithm>

#include "common/arrays.hpp"
#include "common/threads.hpp"
#include "periodic.hpp"

namespace {

// A signal is split level by level, each level writing its details in
// place and its coarse half into the scratch for the next level to read,
// alternating between the scratch's first half and the quarter after it;
// the last coarse half goes to the front of the output. Nothing is copied.
//
// Filters of at most two taps read only the pair x[2i], x[2i+1] for output
// i: no tap leaves an aligned block, so a block of a signal splits into
// exactly the values the whole signal gives there. Such signals are split
// tile by tile, each tile through several levels while it stays in the
// first-level cache, instead of one pass over the whole signal per level:
//
//   round 1:  x = | tile 0 | tile 1 | ... |   each tile of 2^10 -> 16 coarse
//             details of each level straight to their places in w
//   round 2:  the 16 coarse values of every tile, side by side, are the
//             signal of the next round, and so on down to level L.
//
// A round that fits in one tile runs down to L. Longer filters take the
// whole signal as their one tile.
constexpr int short_tile = 1 << 10;
constexpr int tile_rest = 16;
constexpr int tile_levels = 6; // short_tile = tile_rest * 2^tile_levels

int tile_of(int n, int m) { return m <= 2 ? short_tile : n; }

// Length of the coarse values a round over len values hands on (0 for the last round).
int round_rest(int len, int tile) { return len > tile ? len / tile * tile_rest : 0; }

} // namespace

int analysis_scratch_length(int n, int m)
{
    // The coarse halves inside a tile (3/4 of its length), then the coarse
    // values of two rounds, taken in turn by the rounds.
    const int tile = tile_of(n, m);
    return std::min(n, tile) / 4 * 3 + round_rest(n, tile) + round_rest(round_rest(n, tile), tile);
}

void periodic_analysis(const double* x, double* w, int n, int count, int J, int L, const double* h,
                       const double* g, int m, double* scratch, int threads)
{
    L = std::max(L, 0);
    const int tile = tile_of(n, m);
    const int t = threads::worth(2.0 * n * count * m, threads);
    threads::for_parts(count, t, [&](int p, int first, int last) {
        double* work = scratch + static_cast<long long>(p) * analysis_scratch_length(n, m);
        double* rests[2] = {work + std::min(n, tile) / 4 * 3, work + std::min(n, tile) / 4 * 3 + round_rest(n, tile)};
        for (int sig = first; sig < last; ++sig) {
            const double* src = x + static_cast<long long>(sig) * n;
            double* y = w + static_cast<long long>(sig) * n;
            if (J - 1 < L) {
                copy_doubles(src, y, n);
                continue;
            }
            for (int len = n, j = J - 1, round = 0; j >= L; ++round) {
                const int tl = std::min(len, tile);
                const int levels = std::min(len > tile ? tile_levels : j + 1, j - L + 1);
                double* rest = j - levels < L ? y : rests[round % 2];
                for (int b = 0; b < len / tl; ++b) {
                    const double* s = src + static_cast<long long>(b) * tl;
                    for (int q = 0, nc = tl; q < levels; ++q, nc /= 2) {
                        double* coarse = q == levels - 1 ? rest + static_cast<long long>(b) * (nc / 2)
                                         : s == work       ? work + tl / 2
                                                           : work;
                        // Level j - q: details at 2^(j-q), this tile's from b nc/2 on.
                        analysis_step(s, nc, h, g, m, coarse, y + (1LL << (j - q)) + static_cast<long long>(b) * (nc / 2));
                        s = coarse;
                    }
                }
                src = rest;
                len >>= levels;
                j -= levels;
            }
        }
    });
}

void periodic_synthesis(const double* w, double* out, int n, int count, int J, int L, const double* h,
                        const double* g, int m, double* scratch, int threads)
{
    L = std::min(std::max(L, 0), J);
    int c0 = 1;
    for (int j = 0; j < L; ++j) c0 *= 2;
    const int levels = J - L;
    const int t = threads::worth(static_cast<double>(n) * count * m, threads);
    threads::for_parts(count, t, [&](int p, int first, int last) {
        double* half = scratch + static_cast<long long>(p) * (n / 2);
        for (int s = first; s < last; ++s) {
            const double* ws = w + static_cast<long long>(s) * n;
            double* x = out + static_cast<long long>(s) * n;
            if (levels == 0) {
                copy_doubles(ws, x, n);
                continue;
            }
            // Levels alternate between the scratch and the output, so that the
            // last one lands in the output; the first reads the coarse block of
            // the coefficients.
            const double* coarse = ws;
            for (int q = 0, nc = c0; q < levels; ++q, nc *= 2) {
                double* y = (levels - 1 - q) % 2 == 0 ? x : half;
                synthesis_step(coarse, ws + nc, nc, h, g, m, y);
                coarse = y;
            }
        }
    });
}
