#include "hartley.hpp"

#include <cmath>
#include <initializer_list>

namespace {

// The constants the transforms are defined with: sqrt2 and 1/sqrt2 cut at
// fifteen decimals, not the fully rounded doubles.
const double kSqrt2 = 1.414213562373095;
const double kHalfSqrt2 = 0.707106781186547;
const double kPi = 3.141592653589793;
const double kTwoPi = 6.283185307179586;

bool tables_built(const double* q, int n) { return std::trunc(q[0]) == static_cast<double>(n); }

// C1, S1, C3, S3 (t values each) and the tag; the angle accumulates by
// repeated addition of the step.
void build_hartley_tables(double* q, int n)
{
    const int t = n / 8 - 1;
    q[0] = n;
    const double step = kTwoPi / n;
    double theta = step;
    for (int j = 0; j < t; ++j) {
        q[1 + j] = std::cos(theta);
        q[1 + t + j] = std::sin(theta);
        q[1 + 2 * t + j] = std::cos(3.0 * theta);
        q[1 + 3 * t + j] = std::sin(3.0 * theta);
        theta = theta + step;
    }
}

// A at q[n/2 ..], B at q[n ..], h = n/2 values each; the tag is not written.
void build_rotation_tables(double* q, int n)
{
    const int h = n / 2;
    double* A = q + h;
    double* B = q + n;
    const double delta = kPi / (2 * n);
    double phi = 0.0;
    for (int i = 0; i < h; ++i) {
        A[i] = kHalfSqrt2 * (std::cos(phi) - std::sin(phi));
        B[i] = kHalfSqrt2 * (std::cos(phi) + std::sin(phi));
        phi = phi + delta;
    }
}

// The split-radix stages, taken depth first: a block of s values is one
// L-butterfly, then its first half (s/2) and its last two quarters (s/4
// each) as blocks of their own. Every stage ends by dividing all n values by
// sqrt2; here each value is divided when the block holding it is stored,
// and a quarter block, which sits out the stage of the half beside it,
// takes that stage's division when it is next loaded. Every value is thus
// divided exactly as often, in the same order against its other operations,
// as stage by stage. Blocks of 4 and 2 end with the length-2 butterflies
// and the last division.
struct Block {
    long base, size;
    bool pending; // one stage's division still to apply on load
};

double divided(double v) { return v / kSqrt2; }

// The L-butterfly of one block of s >= 8 values at x: the first quarter
// pair at 0 and at s/8, then the twiddled pairs j and s/4 - j. Twiddles of
// angle j e 2pi/n sit at q[j e + r t], r = 0 .. 3.
void butterfly(double* x, long s, bool pending, long e, const double* q, long t)
{
    const long qtr = s / 4, eighth = s / 8;
    auto load = [&](long i) { return pending ? divided(x[i]) : x[i]; };
    for (long i1 : {0L, eighth}) {
        const double t1 = load(i1), t2 = load(i1 + qtr), t3 = load(i1 + 2 * qtr), t4 = load(i1 + 3 * qtr);
        x[i1] = divided(t1 + t3);
        x[i1 + qtr] = divided(t2 + t4);
        if (i1 == 0) {
            x[2 * qtr] = divided(t1 - t3 + t2 - t4);
            x[3 * qtr] = divided(t1 - t3 - t2 + t4);
        } else {
            x[i1 + 2 * qtr] = divided(kSqrt2 * (t1 - t3));
            x[i1 + 3 * qtr] = divided(kSqrt2 * (t2 - t4));
        }
    }
    for (long j = 1; j < eighth; ++j) {
        const long i1 = j, i2 = i1 + qtr, i3 = i2 + qtr, i4 = i3 + qtr;
        const long i5 = qtr - j, i6 = i5 + qtr, i7 = i6 + qtr, i8 = i7 + qtr;
        const double t1 = load(i1), t2 = load(i2), t3 = load(i3), t4 = load(i4);
        const double t5 = load(i5), t6 = load(i6), t7 = load(i7), t8 = load(i8);
        const long k = j * e;
        const double c1 = q[k], s1 = q[k + t], c3 = q[k + 2 * t], s3 = q[k + 3 * t];
        const double u = t1 - t3 + t5 - t7;
        const double v = t4 - t2 + t6 - t8;
        const double w = t1 - t3 - t5 + t7;
        const double z = t4 - t2 - t6 + t8;
        x[i1] = divided(t1 + t3);
        x[i2] = divided(t2 + t4);
        x[i3] = divided(u * c1 + v * s1);
        x[i4] = divided(w * c3 - z * s3);
        x[i5] = divided(t5 + t7);
        x[i6] = divided(t6 + t8);
        x[i7] = divided(u * s1 - v * c1);
        x[i8] = divided(w * s3 + z * c3);
    }
}

// Blocks of 4: their L-butterfly (no twiddles), the length-2 butterfly of
// their first half and the last division. Blocks of 2: the length-2
// butterfly and the last division.
void small_block(double* x, long s, bool pending)
{
    auto load = [&](long i) { return pending ? divided(x[i]) : x[i]; };
    if (s == 2) {
        const double a = load(0), b = load(1);
        x[0] = divided(a + b);
        x[1] = divided(a - b);
        return;
    }
    const double t1 = load(0), t2 = load(1), t3 = load(2), t4 = load(3);
    const double a = divided(t1 + t3), b = divided(t2 + t4);
    x[0] = divided(a + b);
    x[1] = divided(a - b);
    x[2] = divided(divided(t1 - t3 + t2 - t4));
    x[3] = divided(divided(t1 - t3 - t2 + t4));
}

void split_radix(double* x, long n, const double* q)
{
    const long t = n / 8 - 1;
    Block stack[2 * 8 * sizeof(long) + 2];
    int top = 0;
    stack[top++] = {0, n, false};
    while (top > 0) {
        const Block b = stack[--top];
        double* xb = x + b.base;
        if (b.size <= 4) {
            small_block(xb, b.size, b.pending);
            continue;
        }
        butterfly(xb, b.size, b.pending, n / b.size, q, t);
        stack[top++] = {b.base + 3 * b.size / 4, b.size / 4, true};
        stack[top++] = {b.base + b.size / 2, b.size / 4, true};
        stack[top++] = {b.base, b.size / 2, false};
    }
}

// Exchanges every pair of indices whose m-bit forms mirror each other.
void bit_reverse(double* x, long n)
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

} // namespace

void hartley_transform(double* x, int m, double* q)
{
    const long n = 1L << m;
    if (n == 1) return;
    // n = 2 and 4 need no Hartley tables. The rotation tables a cosine
    // routine just built for this n sit where those of a longer n were; the
    // tag is cleared so that such a length builds them again.
    if (n <= 4) q[0] = 0.0;
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

    if (!tables_built(q, static_cast<int>(n))) build_hartley_tables(q, static_cast<int>(n));
    split_radix(x, n, q);
    bit_reverse(x, n);
}

void cosine_transform_type2(double* x, double* p, int m, double* q)
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
    hartley_transform(p, m, q);

    x[0] = p[0];
    x[h] = p[h];
    for (int i = 1; i < h; ++i) {
        x[i] = A[i] * p[i] + B[i] * p[n - i];
        x[n - i] = B[i] * p[i] - A[i] * p[n - i];
    }
}

void cosine_transform_type3(double* x, double* p, int m, double* q)
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
    hartley_transform(p, m, q);

    for (int i = 0; i < h; ++i) {
        x[2 * i] = p[i];
        x[n - 1 - 2 * i] = p[h + i];
    }
}
