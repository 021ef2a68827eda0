// Cosine-packet table: every level d = 0 .. D of a signal of n = 2^J values,
// one column per level. Level d cuts the signal into 2^d blocks of
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

// T (n x (D+1), column-major) receives the table of x for levels D .. 0.
// D = -1 leaves T (n x 0) untouched; 0 <= D <= J otherwise.
// scratch: 7n doubles, zero on entry (bm and bp hold m <= n/2 values):
//   [0, 3n) DCT-IV tables of the level | [3n, 4n) DCT-IV work |
//   [4n, 5n) bm, bp | [5n, 6n) edge extension | [6n, 7n) folded block
void cosine_packet_analysis(const double* x, double* T, double* scratch, int D, int n);

// x (n values) receives the sum over the columns of T (n x (D+1)) of the
// signal each column represents. 0 <= D <= J.
// scratch: 9n doubles, zero on entry:
//   [0, n) bm, bp | [n, 2n) inverse block y | [2n, 3n) left spill |
//   [3n, 4n) right spill | [4n, 5n) level accumulator | [5n, 8n) DCT-IV
//   tables of the level | [8n, 9n) DCT-IV work, then the unfolded centre
void cosine_packet_synthesis(const double* T, int n, int D, double* x, double* scratch);
