// Median-interpolation predictors of the triadic pyramid.
//
// From the medians a, b, c of three neighbouring blocks, the medians over the
// thirds of one block of the quadratic whose block medians are a, b, c:
// a + (b - a) F(t) with t = (c - b)/(b - a), for five factor functions F.
// Block values closer than 1e-14 count as equal.
//
//   edge rule (block 0):      [ p q r ][   b   ][   c   ]
//   interior rule (block k):  [   a   ][ p q r ][   c   ]
#pragma once

// The five factor functions F(t): medians over one third of the quadratic
// whose block medians over [0,1], [1,2], [2,3] are 0, 1, 1 + t (the interior
// ones are written once, for any number of lanes, in median_factors.hpp).
double interior_left_factor(double t);
double interior_middle_factor(double t);
double edge_first_factor(double t);
double edge_middle_factor(double t);
double edge_last_factor(double t);

// Thirds p, q, r of block k from the medians a, b, c of blocks k-1, k, k+1.
void median_predict_interior(double a, double b, double c, double* p, double* q, double* r);

// Thirds p, q, r of block 0 from the medians a, b, c of blocks 0, 1, 2.
void median_predict_edge(double a, double b, double c, double* p, double* q, double* r);

// refine_by_rules (refine.hpp) with the median predictors: w[0 .. 3m-1] from
// v[0 .. m-1].
void median_refine(const double* v, int m, int degree, double* w);
