// The split-radix Hartley transform (decimation in frequency), its result
// left in bit-reversed order for the cosine routines.
#pragma once

namespace trig {

// x <- the orthonormal Hartley transform of x, n = 2^log2n, with index i
// holding the value of index rev(i) (bit_reversal.hpp). tables: the table
// buffer (built here if its tag says otherwise). spare: n/2 doubles of
// scratch for the twiddles, or null.
void hartley_bit_reversed(double* x, int log2n, double* tables, double* spare);

} // namespace trig
