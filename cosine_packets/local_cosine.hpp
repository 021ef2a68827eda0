// Smooth local cosine kernels: the bell, the orthonormal DCT-IV of one block
// (through a zero-padded real FFT), and the folding that precedes it in
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

enum class Side { left, right };

// bp[i] = sin(pi (1 + (0.5 + i)/m) / 4), bm[i] = sqrt(1 - bp[i]^2), i < m
void make_bell(int m, double* bp, double* bm);

// y[k] = sqrt(2/f) sum_j x[j] cos(pi (2j+1)(2k+1) / (4f)), k < f.
// buf: 8f doubles of scratch, overwritten; x is not changed.
void cosine_transform_type4(const double* x, double* y, double* buf, int f);

// F[k] = sum_j d[j] e^(+2 pi i jk/N), packed in place: d[0] = F[0],
// d[1] = F[N/2], d[2k] = Re F[k], d[2k+1] = Im F[k] (0 < k < N/2).
// N a power of two, N >= 4. Lengths here are 8f, hence the wider type.
void real_fft(double* d, std::ptrdiff_t N);

// Z[k] = sum_j z[j] e^(+2 pi i jk/K) in place on K interleaved complex
// values (d[2j] real, d[2j+1] imaginary), K a power of two.
void complex_fft(double* d, std::ptrdiff_t K);

// The artificial neighbour at one end of the signal, i < m:
//   left:  ext[f-1-i] =  src[i]     (1 - bp[i]) / bm[i]   (src: first block)
//   right: ext[i]     = -src[f-1-i] (1 - bp[i]) / bm[i]   (src: last block)
void edge_extension(Side side, const double* src, double* ext, int f, int m, const double* bp, const double* bm);

// w = cur, then for i < m, r = f-1-i:
//   w[i] = bp[i] w[i] + bm[i] left[r],  w[r] = bp[i] w[r] - bm[i] right[i]
void fold_block(const double* cur, const double* left, const double* right, const double* bp, const double* bm,
                int m, int f, double* w);

// c = y, then for i < m, r = f-1-i:
//   lp[r] = bm[i] y[i], rp[i] = -bm[i] y[r], c[i] = bp[i] y[i], c[r] = bp[i] y[r]
// Only the m spilled values of lp (its tail) and of rp (its head) are written.
void unfold_block(const double* y, double* c, double* lp, double* rp, int f, int m, const double* bp,
                  const double* bm);

// Adds a spilled piece into the neighbour block starting at acc, i < m:
//   left:  acc[f-1-i] += piece[f-1-i]     right: acc[i] += piece[i]
void add_overlap(Side side, const double* piece, double* acc, int f, int m);

// At one end of the signal turns bp[i] y into y, i < m, v the current value:
//   left:  g[i] = v + v (1 - bp[i]) / bp[i]
//   right: g[f-1-i] likewise
void unfold_edge_correction(Side side, double* g, int f, int m, const double* bp);
