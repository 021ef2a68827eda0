// Fast orthonormal Hartley transform and the cosine transforms of types II
// and III built on it, on n = 2^log2n doubles (log2n given, n computed).
//
// The table buffer `tables` (3n/2 doubles, at least one) is shared by the
// Hartley transform and the cosine routines, t = n/8 - 1:
//
//   tables: | tag | C1 (t) | S1 (t) | C3 (t) | S3 (t) | ... | A (n/2) | B (n/2) |
//           0     1       1+t     1+2t     1+3t     1+4t  n/2       n        3n/2
//
//   tag           the length n (as a double) the tables were built for;
//                 written only by hartley_transform, and only for n >= 8
//   C1, S1, C3, S3  cos, sin of theta_j and of 3 theta_j, theta_j = (j+1) 2pi/n
//   A, B          (cos phi_i -+ sin phi_i)/sqrt2, phi_i = i pi/(2n)
//
// A routine that finds trunc(tables[0]) == n reuses the tables it needs; a
// zero-filled buffer makes every routine build them on first use. The
// scratch `partner` (n doubles) is the Hartley working copy of the cosine
// routines; its contents on entry do not matter.
//
// The pieces: trig/hartley_tables (the tables), trig/split_radix (the
// transform, its butterflies in trig/split_radix_butterflies.hpp),
// trig/sqrt2_division (the division every stage applies), trig/bit_reversal
// and trig/cosine_reorder (the cosine and sine routines).
//
// Every routine keeps its working values in locals and the buffers it is
// given: calls on distinct buffers may run at the same time, on any threads.
#pragma once

// x[i] <- x[i] / 1.414213562373095, i < n: the division every stage of the
// Hartley transform applies, one correctly rounded division per value.
void divide_by_sqrt2(double* x, long n);

// angles[0] = first, angles[k+1] = angles[k] + step (one rounded addition
// each), k < count - 1: the angles of the tables, accumulated in order.
void accumulate_angles(long count, double first, double step, double* angles);

// x[k] <- (1/sqrt n) sum_j x[j] (cos(2pi jk/n) + sin(2pi jk/n)); its own inverse.
void hartley_transform(double* x, int log2n, double* tables);

// x[k] <- sqrt(2/n) c_k sum_j x[j] cos(pi (2j+1) k / (2n)), c_0 = 1/sqrt2, else 1.
void cosine_transform_type2(double* x, int log2n, double* partner, double* tables);

// x[j] <- sqrt(2/n) sum_k c_k x[k] cos(pi (2j+1) k / (2n)); inverts type 2.
void cosine_transform_type3(double* x, int log2n, double* partner, double* tables);

// The same two from x (n doubles, only read; may be y itself) into y.
void cosine_transform_type2(const double* x, int log2n, double* y, double* partner, double* tables);
void cosine_transform_type3(const double* x, int log2n, double* y, double* partner, double* tables);
