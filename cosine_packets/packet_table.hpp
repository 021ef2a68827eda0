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

// T (n x (depth+1), column-major) receives the table of x for levels
// depth .. 0. depth = -1 leaves T (n x 0) untouched; 0 <= depth <= J otherwise.
// scratch: 7n doubles, zero on entry:
//   [0, 3n) DCT-IV tables of the level | [3n, 4n) bm, bp | [4n, 7n) blocks
void cosine_packet_analysis(const double* x, int n, int depth, double* T, double* scratch);

// x (n values) receives the sum over the columns of T (n x (depth+1)) of
// the signal each column represents. 0 <= depth <= J.
// scratch: 9n doubles, zero on entry:
//   [0, n) bm, bp | [n, 4n) DCT-IV tables of the level | [4n, 5n) inverse
//   blocks of the level | [5n, 8n) blocks
void cosine_packet_synthesis(const double* T, int n, int depth, double* x, double* scratch);

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

// The level d of a table of the given depth; bp, bm: the bell of make_bell
// (m = (n/2^depth)/2); tables (3n) are filled; scratch: n doubles.
PacketLevel make_packet_level(int n, int depth, int d, const double* bp, const double* bm, double* tables,
                              double* scratch);

inline long long packet_block_scratch(int n) { return 3LL * n; }

// Rows b*f .. b*f+f-1 of column (the level's n coefficients) for b0 <= b < b1.
void cosine_packet_analysis_blocks(const double* x, const PacketLevel& level, int b0, int b1, double* column,
                                   double* scratch);

// y: the DCT-IV of each block b0 <= b < b1 of column, in rows b*f .. b*f+f-1.
void cosine_packet_synthesis_transforms(const double* column, const PacketLevel& level, int b0, int b1, double* y,
                                        double* scratch);

// x[b*f .. b*f+f-1] += block b unfolded with its neighbours' spills, the
// ends corrected, b0 <= b < b1; y: every block's DCT-IV of the level.
void cosine_packet_synthesis_unfold(const double* y, const PacketLevel& level, int b0, int b1, double* x);
