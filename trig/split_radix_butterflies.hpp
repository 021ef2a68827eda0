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

#include "simd/simd.hpp"
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

// The twiddled butterfly of one pair, in place, before the stage's
// division: t1 .. t4 at j + r qtr, t5 .. t8 at qtr - j + r qtr (r = 0 .. 3);
// the twiddles C are V (one per lane) or double (broadcast).
template <class V, class C>
SIMD_INLINE void twiddled_butterfly(V& t1, V& t2, V& t3, V& t4, V& t5, V& t6, V& t7, V& t8, C c1, C s1, C c3, C s3)
{
    const V u = t1 - t3 + t5 - t7;
    const V v = t4 - t2 + t6 - t8;
    const V w = t1 - t3 - t5 + t7;
    const V z = t4 - t2 - t6 + t8;
    const V o1 = t1 + t3, o2 = t2 + t4, o5 = t5 + t7, o6 = t6 + t8;
    t3 = u * c1 + v * s1;
    t4 = w * c3 - z * s3;
    t7 = u * s1 - v * c1;
    t8 = w * s3 + z * c3;
    t1 = o1, t2 = o2, t5 = o5, t6 = o6;
}

// The stage's division of a twiddled pair's outputs, in place: once for the
// first half's (o1, o2, o5, o6), twice for the quarters' (o3, o4, o7, o8).
template <class V, class D>
SIMD_INLINE void stage_division(V& o1, V& o2, V& o3, V& o4, V& o5, V& o6, V& o7, V& o8, D& d)
{
    o1 = d.first(o1), o2 = d.first(o2), o3 = d.again(d.first(o3)), o4 = d.again(d.first(o4));
    o5 = d.first(o5), o6 = d.first(o6), o7 = d.again(d.first(o7)), o8 = d.again(d.first(o8));
}

} // namespace trig
