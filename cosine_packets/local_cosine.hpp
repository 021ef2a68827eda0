// Smooth local cosine kernels: the bell, the orthonormal DCT-IV of one block
// (through a complex FFT of half its length), and the folding that precedes it in
// analysis and the unfolding that follows it in synthesis.
//
// A level cuts the signal into blocks of f values. Around every boundary
// between two blocks the bell rotates m mirrored pairs (m <= f/2); the
// middle of each block is left alone:
//
//           left block                  cur block
//   ... | u(f-m) ... u(f-2) u(f-1) | v0 v1 ... v(m-1) ... | ...
//                       `----------+---'  pair i: u(f-1-i) with v(i)
//
//   fold:    v(i)     <- bp[i] v(i)     + bm[i] u(f-1-i)
//            u(f-1-i) <- bp[i] u(f-1-i) - bm[i] v(i)
//
// bp[i]^2 + bm[i]^2 = 1, so the fold is orthogonal and unfold is its
// transpose. At the two ends of the signal an artificial neighbour (the
// edge extension) makes the fold leave the outer m values unchanged, so the
// ends get plain cosine blocks rather than wrapping around.
#pragma once

#include <cstddef>

#include "simd/simd.hpp"

enum class Side { left, right };

// The widest path of every vector step of the cosine packets. On AVX-512
// the whole table ran 1.2 to 1.3 times slower than on AVX2 (Intel Xeon,
// 2^16 values at depth 6, one thread: 3.6-3.8 ms against 3.0-3.2 ms,
// alternating runs), each level alike; with only the transforms held to
// AVX2, the tables' 512-bit steps still left it 0.1-0.5 ms behind. (The
// trigonometric transforms, by contrast, gain from AVX-512.) The doubles
// are the same on every path.
constexpr simd::Isa kCosinePacketWidest = simd::kWidestAt256Bits;

// bp[i] = sin(pi (1 + (0.5 + i)/m) / 4), bm[i] = sqrt(1 - bp[i]^2), i < m
void make_bell(int m, double* bp, double* bm);

// The orthonormal DCT-IV of one block of f values (f a power of two):
//   y[k] = sqrt(2/f) sum_j x[j] cos(pi (2j+1)(2k+1) / (4f)),  k < f.
// With K = f/2 it is one complex FFT of length K between two rotations:
//   z[j] = (x[2j] + i x[f-1-2j]) e^(-i pi j/f)                j < K
//   Z    = sum_j z[j] e^(-2 pi i jp/K)                          p < K
//   C[p] = Z[p] sqrt(2/f) e^(-i pi (4p+1)/(4f)),  y[2p] = Re C[p],
//                                                 y[f-1-2p] = -Im C[p]
// The tables (3f doubles: the two rotations as interleaved complex values,
// then the FFT twiddles in the layout of dct4_lanes.hpp) depend only on f;
// a level builds them once for all its blocks.

// tables: 3f doubles (out); scratch: f doubles.
void make_type4_tables(int f, double* tables, double* scratch);

// The tables of make_type4_tables for blocks of f values. Up to f = 2^18
// they are made on the first call for that f and kept for the life of the
// process (every length up to 2^18 together: 3 x 2^19 doubles, 12 MB), as
// a level of every later call uses the same ones; a table of 2^16 values at
// depth 6 spends a seventh of its time making them. Longer blocks get theirs
// made in tables (3f doubles) with scratch (f doubles). Safe on several
// threads at once; the kept tables are never written after they are made.
const double* type4_tables(int f, double* tables, double* scratch);
constexpr int kKeptType4TablesUpTo = 1 << 18;

// y = DCT-IV of x with the tables of length f; scratch: f doubles.
// x is not changed; y may not overlap x or scratch.
void cosine_transform_type4(const double* x, int f, const double* tables, double* y, double* scratch);

// The same with tables built on the spot; scratch: 8f doubles.
void cosine_transform_type4(const double* x, int f, double* y, double* scratch);

// The artificial neighbour at one end of the signal, i < m:
//   left:  ext[f-1-i] =  src[i]     (1 - bp[i]) / bm[i]   (src: first block)
//   right: ext[i]     = -src[f-1-i] (1 - bp[i]) / bm[i]   (src: last block)
void edge_extension(const double* src, int f, int m, const double* bp, const double* bm, Side side, double* ext);

// w = cur, then for i < m, r = f-1-i:
//   w[i] = bp[i] w[i] + bm[i] left[r],  w[r] = bp[i] w[r] - bm[i] right[i]
void fold_block(const double* cur, const double* left, const double* right, int f, int m, const double* bp,
                const double* bm, double* w);

// fold_block's w at its first and last `ends` positions only, m <= ends
// <= (f+1)/2 (fold_block: ends = (f+1)/2); the rest of w is not written.
void fold_block_ends(const double* cur, const double* left, const double* right, int f, int m, int ends,
                     const double* bp, const double* bm, double* w);

// c = y, then for i < m, r = f-1-i:
//   lp[r] = bm[i] y[i], rp[i] = -bm[i] y[r], c[i] = bp[i] y[i], c[r] = bp[i] y[r]
// Only the m spilled values of lp (its tail) and of rp (its head) are written.
void unfold_block(const double* y, int f, int m, const double* bp, const double* bm, double* c, double* lp, double* rp);

// Adds a spilled piece into the neighbour block starting at acc, i < m:
//   left:  acc[f-1-i] += piece[f-1-i]     right: acc[i] += piece[i]
void add_overlap(const double* piece, int f, int m, Side side, double* acc);

// At one end of the signal turns bp[i] y into y, i < m, v the current value:
//   left:  g[i] = v + v (1 - bp[i]) / bp[i]
//   right: g[f-1-i] likewise
void unfold_edge_correction(double* g, int f, int m, const double* bp, Side side);
