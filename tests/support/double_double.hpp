// Double-double arithmetic for references that need more than double
// precision, the same on every platform (long double is no wider than
// double on some, and the C library's rounding differs between them): a
// value is hi + lo with |lo| <= ulp(hi)/2, about 106 bits, built from exact
// sums and products of doubles only ("A floating-point technique for
// extending the available precision", 1971). Accurate to about 2^-100
// relative, far below the 1 ulp (2^-53) the kernels are held to.
#pragma once

#include <cmath>

#include "common/sincos.hpp"

struct DD {
    double hi, lo;
};

// a + b exactly, for any a and b.
inline DD two_sum(double a, double b)
{
    const double s = a + b, v = s - a;
    return {s, (a - (s - v)) + (b - v)};
}

// a + b exactly, for |a| >= |b| (or a == 0).
inline DD quick_two_sum(double a, double b)
{
    const double s = a + b;
    return {s, b - (s - a)};
}

// a b exactly (the kernels' own exact product, by splitting).
inline DD two_product(double a, double b)
{
    DD p;
    exact_product(a, b, p.hi, p.lo);
    return p;
}

inline DD operator+(DD a, DD b)
{
    DD s = two_sum(a.hi, b.hi);
    const DD t = two_sum(a.lo, b.lo);
    s = quick_two_sum(s.hi, s.lo + t.hi);
    return quick_two_sum(s.hi, s.lo + t.lo);
}

inline DD operator-(DD a) { return {-a.hi, -a.lo}; }
inline DD operator-(DD a, DD b) { return a + -b; }

inline DD operator*(DD a, DD b)
{
    const DD p = two_product(a.hi, b.hi);
    return quick_two_sum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

inline DD operator*(DD a, double b) { return a * DD{b, 0.0}; }

inline DD operator/(DD a, double b)
{
    const double q = a.hi / b;
    const DD p = two_product(q, b);
    return quick_two_sum(q, (((a.hi - p.hi) - p.lo) + a.lo) / b);
}

// sin and cos of x, |x| <= 0.8, from their Taylor series to x^27 and x^26
// (what is left out is below 2^-110 of the result), by Horner's rule in z = x^2.
inline void sincos_taylor(DD x, DD& s, DD& c)
{
    constexpr int kTerms = 14;
    static const auto inverse_factorials = [] {
        struct {
            DD v[2 * kTerms];
        } f{};
        f.v[0] = {1.0, 0.0};
        for (int n = 1; n < 2 * kTerms; ++n) f.v[n] = f.v[n - 1] / static_cast<double>(n);
        return f;
    }();
    // The coefficient of z^k: (-1)^k / (2k+1)! in sin x / x, (-1)^k / (2k)! in cos x.
    const auto term = [&](int n, int k) { return k % 2 ? -inverse_factorials.v[n] : inverse_factorials.v[n]; };
    const DD z = x * x;
    DD ps = term(2 * kTerms - 1, kTerms - 1), pc = term(2 * kTerms - 2, kTerms - 1);
    for (int k = kTerms - 2; k >= 0; --k) {
        ps = term(2 * k + 1, k) + ps * z;
        pc = term(2 * k, k) + pc * z;
    }
    s = ps * x;
    c = pc;
}

// From sin and cos of r those of r + k pi/2.
inline void by_quadrant(long long k, DD& s, DD& c)
{
    const DD s0 = s, c0 = c;
    switch (((k % 4) + 4) % 4) {
    case 0: break;
    case 1: s = c0, c = -s0; break;
    case 2: s = -s0, c = -c0; break;
    default: s = -c0, c = s0; break;
    }
}

// sin and cos of pi p/q for integers p and 0 < q < 2^50: p reduced modulo
// 2q, then by the nearest quarter period, in integers.
inline void sincos_pi_dd(long long p, long long q, DD& s, DD& c)
{
    const DD pi{0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53};
    p = ((p % (2 * q)) + 2 * q) % (2 * q);
    const long long k = (4 * p + q) / (2 * q); // 2p/q = k + P/q, |P/q| <= 1/2
    const DD x = pi * (DD{static_cast<double>(2 * p - k * q), 0.0} / static_cast<double>(2 * q));
    sincos_taylor(x, s, c);
    by_quadrant(k, s, c);
}

// sin and cos of a double a, |a| <= 2pi, after a - k pi/2 with pi/2 to
// three doubles (each product k h exact).
inline void sincos_dd(double a, DD& s, DD& c)
{
    const double h1 = 0x1.921fb54442d18p+0, h2 = 0x1.1a62633145c07p-54, h3 = -0x1.f1976b7ed8fbcp-110;
    const long long k = std::llround(a / h1);
    const double kk = static_cast<double>(k);
    const DD r = ((DD{a, 0.0} - two_product(kk, h1)) - two_product(kk, h2)) - two_product(kk, h3);
    sincos_taylor(r, s, c);
    by_quadrant(k, s, c);
}

// Distance of a from the value v rounded to the nearest double, in ulps of
// that double: at most 1 for a result within 1 ulp of the correctly rounded.
inline double ulps_from_rounded(double a, DD v)
{
    const double r = v.hi + v.lo, u = std::nextafter(std::fabs(r), INFINITY) - std::fabs(r);
    return std::fabs(a - r) / u;
}

// sqrt(v) for a double v > 0: the rounded root and one Newton correction.
inline DD sqrt_dd(double v)
{
    const double r = std::sqrt(v);
    const DD sq = two_product(r, r);
    return quick_two_sum(r, ((v - sq.hi) - sq.lo) / (2.0 * r));
}

// Sine and cosine of a double, |a| <= 2pi, rounded to nearest from values
// good to about 2^-100: the correctly rounded ones, short of a value that
// close to a rounding midpoint.
inline void sincos_rounded(double a, double& s, double& c)
{
    DD ds, dc;
    sincos_dd(a, ds, dc);
    s = ds.hi;
    c = dc.hi;
}

inline double sin_rounded(double a)
{
    double s, c;
    sincos_rounded(a, s, c);
    return s;
}
