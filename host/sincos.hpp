// Sine and cosine in plain double arithmetic: no call into the C library and
// no fused multiply-add (every build has -ffp-contract=off), so every
// platform and compiler gives the same doubles, each within 1 ulp.
//
//   sincos_near_zero(r, l)    sin, cos of r + l, |r| <= pi/4, any vector V
//   sincos_pi_fraction(p, q)  sin, cos of pi p / q for integers p, q
#pragma once

#include "host/simd.hpp"

template <class V> struct SinCos {
    V s, c;
};

// sin(r + l) and cos(r + l) for |r| <= pi/4 and |l| <= ulp(r)/2, each
// within 1 ulp of the exact value (so within 1 ulp of the correctly rounded
// one). The arrangement is that of the classic kernels with a bound below
// 1 ulp (Sun's fdlibm): with z = r r,
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

// sin(pi p/q) and cos(pi p/q) for integers p and 0 < q < 2^51, each within
// 1 ulp. The angle is reduced exactly in integers, p/q = k/2 + P/(2q) with
// k the nearest whole number to 2p/q and |P| <= q/2, so the rest is
// r = pi P/(2q), |r| <= pi/4:
//   x = P/(2q) = xh + xl      xh rounded, xl from the remainder P - 2q xh,
//                             which is a double and is found exactly
//   r = pi x   = r + l        pi = kPiHi + kPiLo, the leading product exact
// to about 2^-104 of r, then sin and cos of k pi/2 + r by quadrant.
inline SinCos<double> sincos_pi_fraction(long long p, long long q)
{
    const double kPiHi = 0x1.921fb54442d18p1, kPiLo = 0x1.1a62633145c07p-53;
    const long long period = 2 * q;
    p %= period;
    if (p < 0) p += period;
    const long long k = (4 * p + q) / period;
    const double P = static_cast<double>(2 * p - k * q), Q = static_cast<double>(period);
    const double xh = P / Q;
    double ph, pl;
    exact_product(xh, Q, ph, pl);
    const double xl = ((P - ph) - pl) / Q;
    double h, e;
    exact_product(kPiHi, xh, h, e);
    const double t = e + (kPiHi * xl + kPiLo * xh);
    const double r = h + t, l = t - (r - h);
    const SinCos<double> v = sincos_near_zero<true>(r, l);
    // 0.0 - s: a sine of 0 negated stays +0 (sin pi = +0, like sin 0).
    switch (k & 3) {
    case 0: return v;
    case 1: return {v.c, 0.0 - v.s};
    case 2: return {0.0 - v.s, -v.c};
    default: return {-v.c, v.s};
    }
}
