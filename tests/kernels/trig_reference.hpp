// The trigonometric transforms by their defining algorithm, one pass at a
// time: split-radix stages over the whole vector, each followed by a pass
// that divides every value by sqrt2, then a bit-reversal pass; the cosine
// routines reorder, transform and rotate in passes of their own. No plain
// sum gives the same doubles (the order of the additions is the
// algorithm's), so this is the reference the kernels must match double for
// double when given the same tables.
#pragma once

#include <cmath>

#include "tests/support/double_double.hpp"

namespace reference_trig {

// The constants the transforms are defined with: sqrt2 and 1/sqrt2 cut at
// fifteen decimals, not the fully rounded doubles.
constexpr double kSqrt2 = 1.414213562373095;
constexpr double kHalfSqrt2 = 0.707106781186547;
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;

// Loaded values of the current split-radix butterfly (see hartley.hpp).
inline double t1, t2, t3, t4, t5, t6, t7, t8;

inline bool tables_built(const double* q, int n) { return std::trunc(q[0]) == static_cast<double>(n); }

// C1, S1, C3, S3 (t values each) and the tag; the angle accumulates by
// repeated addition of the step. Sines and cosines rounded from
// double-double ones, so the tables are the same on every platform.
inline void build_hartley_tables(double* q, int n)
{
    const int t = n / 8 - 1;
    q[0] = n;
    const double step = kTwoPi / n;
    double theta = step;
    for (int j = 0; j < t; ++j) {
        sincos_rounded(theta, q[1 + t + j], q[1 + j]);
        sincos_rounded(3.0 * theta, q[1 + 3 * t + j], q[1 + 2 * t + j]);
        theta = theta + step;
    }
}

// A at q[n/2 ..], B at q[n ..], h = n/2 values each; the tag is not written.
inline void build_rotation_tables(double* q, int n)
{
    const int h = n / 2;
    double* A = q + h;
    double* B = q + n;
    const double delta = kPi / (2 * n);
    double phi = 0.0;
    for (int i = 0; i < h; ++i) {
        double s, c;
        sincos_rounded(phi, s, c);
        A[i] = kHalfSqrt2 * (c - s);
        B[i] = kHalfSqrt2 * (c + s);
        phi = phi + delta;
    }
}

// The L-shaped butterfly of one split-radix stage at base i0: the first
// quarter pair at i0 and at i0 + eighth, then the twiddled pairs j and
// qtr - j. Twiddles of angle j e 2pi/n sit at q[j e + r t], r = 0 .. 3.
inline void butterfly(double* x, long i0, long qtr, long eighth, long e, const double* q, long t)
{
    long i1 = i0, i2 = i1 + qtr, i3 = i2 + qtr, i4 = i3 + qtr;
    t1 = x[i1];
    t2 = x[i2];
    t3 = x[i3];
    t4 = x[i4];
    x[i1] = t1 + t3;
    x[i2] = t2 + t4;
    x[i3] = t1 - t3 + t2 - t4;
    x[i4] = t1 - t3 - t2 + t4;
    if (qtr <= 1) return;

    i1 = i0 + eighth, i2 = i1 + qtr, i3 = i2 + qtr, i4 = i3 + qtr;
    t1 = x[i1];
    t2 = x[i2];
    t3 = x[i3];
    t4 = x[i4];
    x[i1] = t1 + t3;
    x[i2] = t2 + t4;
    x[i3] = kSqrt2 * (t1 - t3);
    x[i4] = kSqrt2 * (t2 - t4);

    for (long j = 1; j < eighth; ++j) {
        i1 = i0 + j, i2 = i1 + qtr, i3 = i2 + qtr, i4 = i3 + qtr;
        const long i5 = i0 + qtr - j, i6 = i5 + qtr, i7 = i6 + qtr, i8 = i7 + qtr;
        t1 = x[i1];
        t2 = x[i2];
        t3 = x[i3];
        t4 = x[i4];
        t5 = x[i5];
        t6 = x[i6];
        t7 = x[i7];
        t8 = x[i8];
        const long k = j * e;
        const double c1 = q[k], s1 = q[k + t], c3 = q[k + 2 * t], s3 = q[k + 3 * t];
        const double u = t1 - t3 + t5 - t7;
        const double v = t4 - t2 + t6 - t8;
        const double w = t1 - t3 - t5 + t7;
        const double z = t4 - t2 - t6 + t8;
        x[i1] = t1 + t3;
        x[i2] = t2 + t4;
        x[i3] = u * c1 + v * s1;
        x[i4] = w * c3 - z * s3;
        x[i5] = t5 + t7;
        x[i6] = t6 + t8;
        x[i7] = u * s1 - v * c1;
        x[i8] = w * s3 + z * c3;
    }
}

inline void divide_by_sqrt2(double* x, long n)
{
    for (long i = 0; i < n; ++i) x[i] = x[i] / kSqrt2;
}

// Exchanges every pair of indices whose m-bit forms mirror each other.
inline void bit_reverse(double* x, long n)
{
    long j = 1;
    for (long i = 1; i < n; ++i) {
        if (i < j) {
            const double s = x[i - 1];
            x[i - 1] = x[j - 1];
            x[j - 1] = s;
        }
        long k = n / 2;
        while (k < j) {
            j = j - k;
            k = k / 2;
        }
        j = j + k;
    }
}


inline void reference_hartley_transform(double* x, int m, double* q)
{
    const long n = 1L << m;
    if (n == 1) return;
    if (n == 2) {
        const double s = kHalfSqrt2 * (x[0] + x[1]);
        x[1] = kHalfSqrt2 * (x[0] - x[1]);
        x[0] = s;
        return;
    }
    if (n == 4) {
        const double a = 0.5 * (x[0] + x[2]), c = 0.5 * (x[0] - x[2]);
        const double b = 0.5 * (x[1] + x[3]), d = 0.5 * (x[1] - x[3]);
        x[0] = a + b;
        x[1] = c + d;
        x[2] = a - b;
        x[3] = c - d;
        return;
    }

    const long t = n / 8 - 1;
    if (!tables_built(q, static_cast<int>(n))) build_hartley_tables(q, static_cast<int>(n));

    // Split-radix stages: L-butterflies on the bases of each stage, then
    // the division that spreads 1/sqrt n over the stages.
    long span = 2 * n, e = 1;
    for (int stage = 0; stage < m - 1; ++stage) {
        long gap = span;
        span = span / 2;
        const long qtr = span / 4, eighth = span / 8;
        long start = 0;
        do {
            for (long i0 = start; i0 < n; i0 += gap) butterfly(x, i0, qtr, eighth, e, q, t);
            start = 2 * gap - span;
            gap = 4 * gap;
        } while (start < n);
        e = 2 * e;
        divide_by_sqrt2(x, n);
    }

    // Length-2 butterflies.
    long start = 0, gap = 4;
    do {
        for (long i0 = start; i0 < n; i0 += gap) {
            const double a = x[i0], b = x[i0 + 1];
            x[i0] = a + b;
            x[i0 + 1] = a - b;
        }
        start = 2 * gap - 2;
        gap = 4 * gap;
    } while (start < n);

    divide_by_sqrt2(x, n);
    bit_reverse(x, n);
}

inline void reference_cosine_transform_type2(double* x, int m, double* p, double* q)
{
    const int n = 1 << m, h = n / 2;
    if (n == 1) return;
    if (!tables_built(q, n)) build_rotation_tables(q, n);
    const double* A = q + h;
    const double* B = q + n;

    // Even-indexed values ascending, then odd-indexed values descending.
    for (int i = 0; i < h; ++i) {
        p[i] = x[2 * i];
        p[h + i] = x[n - 1 - 2 * i];
    }
    reference_hartley_transform(p, m, q);

    x[0] = p[0];
    x[h] = p[h];
    for (int i = 1; i < h; ++i) {
        x[i] = A[i] * p[i] + B[i] * p[n - i];
        x[n - i] = B[i] * p[i] - A[i] * p[n - i];
    }
}

inline void reference_cosine_transform_type3(double* x, int m, double* p, double* q)
{
    const int n = 1 << m, h = n / 2;
    if (!tables_built(q, n)) build_rotation_tables(q, n);
    const double* A = q + h;
    const double* B = q + n;

    p[0] = x[0];
    if (h > 0) p[h] = x[h];
    for (int i = 1; i < h; ++i) {
        p[i] = A[i] * x[i] + B[i] * x[n - i];
        p[n - i] = B[i] * x[i] - A[i] * x[n - i];
    }
    reference_hartley_transform(p, m, q);

    for (int i = 0; i < h; ++i) {
        x[2 * i] = p[i];
        x[n - 1 - 2 * i] = p[h + i];
    }
}

// The sine transforms by their definition: a sign alternation and an index
// reversal around the cosine routines, each a pass of its own.
inline void negate_odd_entries(double* x, int n)
{
    for (int i = 1; i < n; i += 2) x[i] = -x[i];
}

inline void reverse(double* x, int n)
{
    for (int i = 0; i < n / 2; ++i) {
        const double s = x[i];
        x[i] = x[n - 1 - i];
        x[n - 1 - i] = s;
    }
}

inline void reference_sine_transform_type2(double* x, int m, double* p, double* q)
{
    negate_odd_entries(x, 1 << m);
    reference_cosine_transform_type2(x, m, p, q);
    reverse(x, 1 << m);
}

inline void reference_sine_transform_type3(double* x, int m, double* p, double* q)
{
    reverse(x, 1 << m);
    reference_cosine_transform_type3(x, m, p, q);
    negate_odd_entries(x, 1 << m);
}

} // namespace reference_trig
