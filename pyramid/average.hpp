// Linear prediction kernels of the triadic pyramid and of point refinement.
//
// Average interpolation: from the averages a, b, c of three neighbouring
// blocks, the averages over the three thirds of one block of the quadratic
// whose block averages are a, b, c. Each triple of predictions keeps the
// block's own average, and linear data are reproduced.
//
// Point interpolation: samples a, b, c at positions i-1, i, i+1; the outputs
// are the values of the quadratic through them at i - 1/3, i, i + 1/3 (the
// middle one is b itself).
//
//   edge rules (first block or first sample, positions 0, 1, 2):
//     [ p q r ][   b   ][   c   ]      p q r: thirds of block 0
//   interior rules:
//     [   a   ][ p q r ][   c   ]      p q r: thirds of the centre block
//
// Weights are integers over 27 (averages) or 9 (points), summed left to
// right as written, then divided.
#pragma once

// p = (5a + 26b - 4c)/27, q = (-a + 29b - c)/27, r = (-4a + 26b + 5c)/27
void average_predict_interior(double a, double b, double c, double* p, double* q, double* r);

// p = (41a - 19b + 5c)/27, q = (26a + 2b - c)/27, r = (14a + 17b - 4c)/27
void average_predict_edge(double a, double b, double c, double* p, double* q, double* r);

// p = (2a + 8b - c)/9, q = b, r = (-a + 8b + 2c)/9
void lagrange_predict_interior(double a, double b, double c, double* p, double* q, double* r);

// p = (14a - 7b + 2c)/9, q = a, r = (5a + 5b - c)/9
void lagrange_predict_edge(double a, double b, double c, double* p, double* q, double* r);

// w[0 .. 3m-1] from v[0 .. m-1] by the average rules (refine_by_rules).
void average_refine(const double* v, int m, int degree, double* w);

// w[0 .. 3m-1] from v[0 .. m-1] by the point rules (refine_by_rules).
void lagrange_refine(const double* v, int m, int degree, double* w);
