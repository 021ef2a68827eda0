// The bit-reversal permutation of n = 2^log2n indices: rev(i) is the
// log2n-bit mirror image of i.
#pragma once

#include "common/bit_reversal.hpp"

namespace trig {

// Exchanges x[i] and x[rev(i)] for every i (in place, any n = 2^k).
void bit_reverse(double* x, long n);

// y[i] = x[rev(i)], i = 0 .. n-1, n >= 64; y[n-1-i] instead if `reflect`.
void bit_reversed_copy(const double* x, long n, bool reflect, double* y);

} // namespace trig
