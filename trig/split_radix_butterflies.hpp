// The butterflies of the split-radix Hartley transform, each written once,
// on values T that are doubles of one block (T = double or V, the wide
// blocks) or lanes of W blocks side by side (T = V, the leaves), with a
// division D (sqrt2_division.hpp) that divides by sqrt2.
//
// L-butterfly of a block of s >= 8 values, qtr = s/4, eighth = s/8, with
// t1 .. t4 the values at i, i + qtr, i + 2 qtr, i + 3 qtr:
//   first quarter pairs, i = 0:       t1 + t3, t2 + t4, t1 - t3 + t2 - t4, t1 - t3 - t2 + t4
//                        i = eighth:  t1 + t3, t2 + t4, sqrt2 (t1 - t3), sqrt2 (t2 - t4)
//   twiddled pairs j = 1 .. eighth-1 and their mirrors qtr - j (t5 .. t8),
//   c1, s1, c3, s3 the cos and sin of j 2pi/s and of its triple:
//     u = t1 - t3 + t5 - t7, v = t4 - t2 + t6 - t8, w = t1 - t3 - t5 + t7, z = t4 - t2 - t6 + t8
//     t1 + t3, t2 + t4, u c1 + v s1, w c3 - z s3, t5 + t7, t6 + t8, u s1 - v c1, w s3 + z c3
// (every sum left to right). The stage's division follows: once for the
// first half's outputs, twice for the last two quarters', which sit out the
// next stage (that of the half beside them).
#pragma once

#include <initializer_list>

#include "host/simd.hpp"
#include "trig/constants.hpp"

namespace trig {

// Where the twiddles of one block size sit: cos, sin of the angle j 2pi/s
// and of its triple at base[(j-1) stride + r run], r = 0 .. 3, j >= 1.
struct Twiddles {
    const double* base;
    long run, stride;
};

// The first quarter pairs (i = 0 and i = eighth) of the block at y, each
// output divided as its stage says.
template <class T, class D> SIMD_INLINE void first_quarter_pairs(T* y, long qtr, long eighth, D& d)
{
    for (long i : {0L, eighth}) {
        const T t1 = y[i], t2 = y[i + qtr], t3 = y[i + 2 * qtr], t4 = y[i + 3 * qtr];
        y[i] = d.first(t1 + t3);
        y[i + qtr] = d.first(t2 + t4);
        if (i == 0) {
            y[2 * qtr] = d.again(d.first(t1 - t3 + t2 - t4));
            y[3 * qtr] = d.again(d.first(t1 - t3 - t2 + t4));
        } else {
            y[i + 2 * qtr] = d.again(d.first(kSqrt2 * (t1 - t3)));
            y[i + 3 * qtr] = d.again(d.first(kSqrt2 * (t2 - t4)));
        }
    }
}

// Eight values of a twiddled pair: t[0 .. 3] at j + r qtr, t[4 .. 7] at
// qtr - j + r qtr.
template <class V> struct Eight {
    V t[8];
};

// The twiddled butterfly of one pair, before the stage's division; the
// twiddles C are V (one per lane) or double (broadcast).
template <class V, class C> SIMD_INLINE Eight<V> twiddled_butterfly(const Eight<V>& in, C c1, C s1, C c3, C s3)
{
    const V t1 = in.t[0], t2 = in.t[1], t3 = in.t[2], t4 = in.t[3];
    const V t5 = in.t[4], t6 = in.t[5], t7 = in.t[6], t8 = in.t[7];
    const V u = t1 - t3 + t5 - t7;
    const V v = t4 - t2 + t6 - t8;
    const V w = t1 - t3 - t5 + t7;
    const V z = t4 - t2 - t6 + t8;
    return {{t1 + t3, t2 + t4, u * c1 + v * s1, w * c3 - z * s3, t5 + t7, t6 + t8, u * s1 - v * c1, w * s3 + z * c3}};
}

// The stage's division of a twiddled pair's outputs: once for the first
// half's (0, 1, 4, 5), twice for the quarters' (2, 3, 6, 7).
template <class V, class D> SIMD_INLINE Eight<V> stage_divided(const Eight<V>& o, D& d)
{
    return {{d.first(o.t[0]), d.first(o.t[1]), d.again(d.first(o.t[2])), d.again(d.first(o.t[3])), d.first(o.t[4]),
             d.first(o.t[5]), d.again(d.first(o.t[6])), d.again(d.first(o.t[7]))}};
}

} // namespace trig
