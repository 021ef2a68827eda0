// Triadic pyramid transforms: a signal of n = 3^log3n values against one
// row w of 2n coefficients, coarsest level kept L = level, prediction
// degree D = degree, J = log3n.
//
//   | coarse L: 3^L | 0 ... 0 | res L+1: 3^(L+1) | 0 ... | res J: 3^J = n |
//   0            3^L    3^(L+1)              2 3^(L+1)  3^J             2n
//
// Level j's residuals (block value - prediction from level j-1) sit at
// 3^j .. 2 3^j - 1, scaled by s(j) = 3^((J - j)/2); the coarse block values
// of level L are scaled by s(L); every other position is set to zero (the
// output may come unfilled). L above J acts as J (w[0 .. n-1] = x, scale 1); callers
// keep L >= 1, so a degree-2 refinement always has three coarse values. A
// degree other than 0 or 2 predicts zero at every level, in both directions.
//
// The median forward transform takes work arrays from the C allocator and
// returns false, having written nothing it promises, when they cannot be
// had; the other drivers need none and always succeed.
#pragma once

// 3^(k/2) correctly rounded, 0 <= k <= kMaxTriadicLevels (block_medians.hpp):
// s(j) above is half_power_of_three(J - j).
double half_power_of_three(int k);

// Block medians of every level (block_medians.hpp). x is only read.
bool median_pyramid_forward(const double* x, int n, int log3n, int level, int degree, double* w);

// Block averages, three at a time from the level below. x is only read.
bool average_pyramid_forward(const double* x, int n, int log3n, int level, int degree, double* w);

// A forward driver: x (n values, only read) to the 2n-value row w.
using PyramidForward = bool (*)(const double* x, int n, int log3n, int level, int degree, double* w);

// Refinement step of an inverse: w[0 .. 3m-1] from v[0 .. m-1] with degree.
using refine_step = void (*)(const double* v, int m, int degree, double* w);

// y (n values) rebuilt from the row wc (2n values) level by level with the
// given refinement (median_refine or average_refine).
bool pyramid_inverse(const double* wc, int n, int log3n, int level, int degree, refine_step refine, double* y);
