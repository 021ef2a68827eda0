// Orthonormal sine transforms of types II and III from the cosine routines
// by a sign alternation and an index reversal, which the cosine routines
// fold into their reorder and rotation passes (hartley.cpp). Arguments as
// in hartley.hpp.
#pragma once

// x[k] <- sqrt(2/n) d_k sum_j x[j] sin(pi (2j+1)(k+1) / (2n)),
// d_(n-1) = 1/sqrt2, else 1.
void sine_transform_type2(double* x, double* p, int m, double* q);

// x[j] <- sqrt(2/n) sum_k d_k x[k] sin(pi (2j+1)(k+1) / (2n)); inverts type 2.
void sine_transform_type3(double* x, double* p, int m, double* q);

// The same two from `in` (n doubles, only read; may be x itself) into x.
void sine_transform_type2(const double* in, double* x, double* p, int m, double* q);
void sine_transform_type3(const double* in, double* x, double* p, int m, double* q);
