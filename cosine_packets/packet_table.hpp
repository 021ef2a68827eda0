// Cosine-packet table: every level d = 0 .. D (D the depth) of a signal of
// n = 2^J values, one column per level. Level d cuts the signal into 2^d blocks of
// f = n/2^d values; block i holds its f DCT-IV coefficients of the folded
// block, in frequency order, in rows i*f .. i*f + f - 1:
//
//            col 0        col 1        col 2   ...   col D
//   row 0  +--------+   +--------+   +------+
//          |        |   | blk 0  |   | b 0  |
//          | blk 0  |   +--------+   +------+
//          | (f=n)  |   | blk 1  |   | b 1  |      2^D blocks
//          |        |   | (n/2)  |   +------+      of n/2^D
//          |        |   |        |   | ...  |
//   row n  +--------+   +--------+   +------+
//
// All levels share one bell of half-width m = (n/2^D)/2, half the shortest
// block (m = 0 when D = J). Each column is an orthonormal expansion of the
// signal, so synthesising the complete table gives (D + 1) x.
#pragma once

#include <cstddef>

// T (n x (depth+1), column-major) receives the table of x for levels depth .. 0.
// On more than one thread, the levels' tables are made side by side (where
// they are too long to keep), and then their blocks, each a unit of work
// that writes its own outputs.
// depth = -1 leaves T (n x 0) untouched; 0 <= depth <= J otherwise.
// scratch: cosine_packet_analysis_scratch(n, threads) doubles, any content.
void cosine_packet_analysis(const double* x, int n, int depth, double* T, double* scratch, int threads = 1);

// x (n values) receives the sum over the columns of T (n x (depth+1)) of the
// signal each column represents, levels depth .. 0 in turn. On more than one
// thread, the inverse blocks of several levels are made side by side, and
// then each range of x sums them in that order. 0 <= depth <= J.
// scratch: cosine_packet_synthesis_scratch(n, depth, threads) doubles, any content.
void cosine_packet_synthesis(const double* T, int n, int depth, double* x, double* scratch, int threads = 1);

long long cosine_packet_analysis_scratch(int n, int threads);
long long cosine_packet_synthesis_scratch(int n, int depth, int threads);

// Work units (multiply-adds, as threads::worth counts them) of level d of a
// signal of n = 2^J values: n values through DCT-IVs of blocks of n/2^d,
// about log2(n/2^d) + 1 each, folding included.
inline double cosine_packet_level_work(int n, int d)
{
    int e = 0;
    while ((n >> d >> e) > 1) ++e;
    return static_cast<double>(n) * (e + 1);
}

// The work of the whole table, levels 0 .. depth.
inline double cosine_packet_work(int n, int depth)
{
    double w = 0;
    for (int d = 0; d <= depth; ++d) w += cosine_packet_level_work(n, d);
    return w;
}

// The work the synthesis weighs its threads by: a quarter of the table's.
// It takes two rounds of threads per batch of levels where the analysis
// takes one, and two threads only broke even with one near 2^21 units of
// the table (2^15 values at depth 3, 2^14 at depth 6), against 2^19 for
// the analysis; at 2^16 values, depth 6, they take 0.64 of one's time.
inline double cosine_packet_synthesis_thread_work(int n, int depth) { return cosine_packet_work(n, depth) / 4; }

// The pieces of both drivers, for work split by ranges of blocks. A level's
// bell and tables are made once (make_packet_level); then blocks b0 .. b1-1
// of the level are a unit of work that writes only those blocks' outputs,
// with scratch of its own (packet_block_scratch(n) doubles, any content).
// Synthesis takes two passes over a level: every range's transforms, then
// every range's unfolding, which reads the inverse blocks of its two
// neighbours as well.
struct PacketLevel {
    int n, d, f, B, m;                     // signal length, level, block length n/2^d, 2^d blocks, bell half-width
    const double *bp, *bm, *tables;        // the bell (m values each) and the level's DCT-IV tables (3f)
};

// The bell half-width shared by all levels of a table of the given depth:
// half the block length at its deepest level.
inline int bell_half_width(int n, int depth) { return (n >> depth) / 2; }

// The level d of a table of the given depth; bp, bm: the bell of make_bell
// (m = (n/2^depth)/2); its DCT-IV tables are those of type4_tables, made
// in tables (3n doubles) for blocks too long to keep; scratch: n doubles.
PacketLevel make_packet_level(int n, int depth, int d, const double* bp, const double* bm, double* tables,
                              double* scratch);

inline long long packet_block_scratch(int n) { return 3LL * n; }

// Rows b*f .. b*f+f-1 of column (the level's n coefficients) for b0 <= b < b1.
void cosine_packet_analysis_blocks(const double* x, const PacketLevel& level, int b0, int b1, double* column,
                                   double* scratch);

// y: the DCT-IV of each block b0 <= b < b1 of column, in rows b*f .. b*f+f-1.
void cosine_packet_synthesis_transforms(const double* column, const PacketLevel& level, int b0, int b1, double* y,
                                        double* scratch);

// x[j] += the level's unfolded value at j, j0 <= j < j1: each block's
// values with its neighbours' spills, the ends corrected; y: every block's
// DCT-IV of the level.
void cosine_packet_synthesis_unfold(const double* y, const PacketLevel& level, std::ptrdiff_t j0, std::ptrdiff_t j1,
                                    double* x);
