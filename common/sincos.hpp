// Sine and cosine in plain double arithmetic: no call into the C library and
// no fused multiply-add (every build has -ffp-contract=off), so every
// platform and compiler gives the same doubles, each within 1 ulp.
//
//   sincos_near_zero(r, l)    sin, cos of r + l, |r| <= pi/4, any vector V
//   sincos_pi_fraction(p, q)  sin, cos of pi p / q for integers p, q
//                             (q given once as pi_over(q) for many p)
#pragma once

#include "simd/simd.hpp"

template <class V> struct SinCos {
    V s, c;
};

// sin(r + l) and cos(r + l) for |r| <= pi/4 and |l| <= ulp(r)/2, each
// within 1 ulp of the exact value (so within 1 ulp of the correctly rounded
// one). The arrangement is that of the classic kernels with a bound below
// 1 ulp in common use: with z = r r,
//   sin = r + (r z P(z) + l (1 - z/2)),
//   cos = w + (((1 - w) - z/2) + (z z Q(z) - r l)), w = 1 - z/2,
// where (1 - w) - z/2 is exactly what w lost, so only the final sum rounds
// at full weight. P and Q are the Taylor series of (sin r - r)/r^3 and
// (cos r - 1 + r^2/2)/r^4 to r^14: what they leave out is below 2^-62 of
// the result. Without the tail, l is not read.
template <bool with_tail, class V> SIMD_INLINE SinCos<V> sincos_near_zero(V r, V l)
{
    const V z = r * r;
    const V p = -1.0 / 6 + z * (1.0 / 120 + z * (-1.0 / 5040 + z * (1.0 / 362880 + z * (-1.0 / 39916800 +
                z * (1.0 / 6227020800 + z * (-1.0 / 1307674368000 + z * (1.0 / 355687428096000)))))));
    const V q = 1.0 / 24 + z * (-1.0 / 720 + z * (1.0 / 40320 + z * (-1.0 / 3628800 + z * (1.0 / 479001600 +
                z * (-1.0 / 87178291200 + z * (1.0 / 20922789888000 + z * (-1.0 / 6402373705728000)))))));
    const V half_z = 0.5 * z, w = 1.0 - half_z;
    if constexpr (with_tail)
        return {r + (r * z * p + l * (1.0 - half_z)), w + (((1.0 - w) - half_z) + (z * z * q - r * l))};
    else
        return {r + r * z * p, w + (((1.0 - w) - half_z) + z * z * q)};
}

// hi + lo = a b exactly, by splitting each factor into two halves of at most
// 26 bits whose products are exact ("A floating-point technique for
// extending the available precision", 1971). Holds while nothing overflows
// or underflows, as for the moderate operands below.
SIMD_INLINE void exact_product(double a, double b, double& hi, double& lo)
{
    const double split = 134217729.0; // 2^27 + 1
    const double ca = split * a, ah = ca - (ca - a), al = a - ah;
    const double cb = split * b, bh = cb - (cb - b), bl = b - bh;
    hi = a * b;
    lo = ((ah * bh - hi) + ah * bl + al * bh) + al * bl;
}

// pi/(2q) as hi + lo, to about 2^-105 relative: the unit of the angles
// pi p/q that sincos_pi_fraction takes for many p over one q.
struct PiOver {
    long long q;
    double hi, lo;
};

inline PiOver pi_over(long long q)
{
    const double kPiHi = 0x1.921fb54442d18p1, kPiLo = 0x1.1a62633145c07p-53;
    const double Q = static_cast<double>(2 * q), hi = kPiHi / Q;
    double ph, pl;
    exact_product(hi, Q, ph, pl);
    // kPiHi - hi Q is the division's remainder, a double found exactly.
    return {q, hi, (((kPiHi - ph) - pl) + kPiLo) / Q};
}

// r + l = P pi/(2q) for a whole number P, |P| <= q/2 (so |r| <= pi/4) and
// |l| <= ulp(r)/2, to about 2^-104 of r: the exact product of P and the
// unit's leading part, plus P times its tail.
SIMD_INLINE void angle_in_units(double P, const PiOver& unit, double& r, double& l)
{
    double h, e;
    exact_product(P, unit.hi, h, e);
    const double s = e + P * unit.lo;
    r = h + s;
    l = s - (r - h);
}

// sin(pi p/q) and cos(pi p/q) for integers p and 0 < q < 2^50, each within
// 1 ulp. The angle is reduced exactly in integers, p/q = k/2 + P/(2q) with
// k the nearest whole number to 2p/q and |P| <= q/2, so the rest is
// r = P pi/(2q), |r| <= pi/4, taken as r + l (angle_in_units); then sin
// and cos of k pi/2 + r by quadrant.
inline SinCos<double> sincos_pi_fraction(long long p, const PiOver& unit)
{
    const long long q = unit.q, period = 2 * q;
    if (p < 0 || p >= period) {
        p %= period;
        if (p < 0) p += period;
    }
    const long long t = 4 * p + q; // below 4.5 periods
    const long long k = (t >= period) + (t >= 2 * period) + (t >= 3 * period) + (t >= 4 * period);
    double r, l;
    angle_in_units(static_cast<double>(2 * p - k * q), unit, r, l);
    const SinCos<double> v = sincos_near_zero<true>(r, l);
    // 0.0 - s: a sine of 0 negated stays +0 (sin pi = +0, like sin 0).
    switch (k & 3) {
    case 0: return v;
    case 1: return {v.c, 0.0 - v.s};
    case 2: return {0.0 - v.s, -v.c};
    default: return {-v.c, v.s};
    }
}

inline SinCos<double> sincos_pi_fraction(long long p, long long q) { return sincos_pi_fraction(p, pi_over(q)); }
