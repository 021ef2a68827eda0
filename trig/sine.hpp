// Orthonormal sine transforms of types II and III from the cosine routines
// by a sign alternation and an index reversal, which the cosine routines
// fold into their reorder and rotation passes (cosine_reorder.cpp).
// Arguments as in hartley.hpp.
#pragma once

// x[k] <- sqrt(2/n) d_k sum_j x[j] sin(pi (2j+1)(k+1) / (2n)),
// d_(n-1) = 1/sqrt2, else 1.
void sine_transform_type2(double* x, int log2n, double* partner, double* tables);

// x[j] <- sqrt(2/n) sum_k d_k x[k] sin(pi (2j+1)(k+1) / (2n)); inverts type 2.
void sine_transform_type3(double* x, int log2n, double* partner, double* tables);

// The same two from x (n doubles, only read; may be y itself) into y.
void sine_transform_type2(const double* x, int log2n, double* y, double* partner, double* tables);
void sine_transform_type3(const double* x, int log2n, double* y, double* partner, double* tables);
