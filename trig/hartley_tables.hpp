// The tables of the Hartley transform and of the cosine rotations, in the
// table buffer laid out as hartley.hpp shows, and the tag rule.
#pragma once

#include <cmath>

namespace trig {

// Whether the tables in `tables` were built for length n: trunc(tag) == n.
inline bool tables_built(const double* tables, int n) { return std::trunc(tables[0]) == static_cast<double>(n); }

// C1, S1, C3, S3 (t = n/8 - 1 values each: cos, sin of theta_j and of
// 3 theta_j, theta_j = (j+1) 2pi/n) and the tag n, n >= 8.
void build_hartley_tables(int n, double* tables);

// A at tables[n/2 ..], B at tables[n ..], n/2 values each:
// (cos phi_i -+ sin phi_i)/sqrt2, phi_i = i pi/(2n); the tag is not written.
void build_rotation_tables(int n, double* tables);

} // namespace trig
