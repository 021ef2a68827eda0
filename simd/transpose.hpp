// W vectors of W lanes transposed in registers: lane l of r[i] moves to
// lane i of r[l], i, l = 0 .. W-1. Scalar meaning: for a single double,
// nothing moves. Both vector backends shuffle (SIMD_SHUFFLE).
#pragma once

#include <initializer_list>

#include "simd/simd.hpp"

namespace simd {

SIMD_INLINE void transpose(double*) {}

#if defined(SIMD_VECTORS)
SIMD_INLINE void transpose(f64x2* r)
{
    const f64x2 a = r[0], b = r[1];
    r[0] = SIMD_SHUFFLE(a, b, 0, 2);
    r[1] = SIMD_SHUFFLE(a, b, 1, 3);
}
SIMD_INLINE void transpose(f64x4* r)
{
    f64x4 t[4];
    for (int i = 0; i < 4; i += 2) {
        t[i] = SIMD_SHUFFLE(r[i], r[i + 1], 0, 4, 2, 6);
        t[i + 1] = SIMD_SHUFFLE(r[i], r[i + 1], 1, 5, 3, 7);
    }
    for (int i = 0; i < 2; ++i) {
        r[i] = SIMD_SHUFFLE(t[i], t[i + 2], 0, 1, 4, 5);
        r[i + 2] = SIMD_SHUFFLE(t[i], t[i + 2], 2, 3, 6, 7);
    }
}
SIMD_INLINE void transpose(f64x8* r)
{
    f64x8 t[8], u[8];
    for (int i = 0; i < 8; i += 2) {
        t[i] = SIMD_SHUFFLE(r[i], r[i + 1], 0, 8, 2, 10, 4, 12, 6, 14);
        t[i + 1] = SIMD_SHUFFLE(r[i], r[i + 1], 1, 9, 3, 11, 5, 13, 7, 15);
    }
    for (int i : {0, 1, 4, 5}) {
        u[i] = SIMD_SHUFFLE(t[i], t[i + 2], 0, 1, 8, 9, 4, 5, 12, 13);
        u[i + 2] = SIMD_SHUFFLE(t[i], t[i + 2], 2, 3, 10, 11, 6, 7, 14, 15);
    }
    for (int i = 0; i < 4; ++i) {
        r[i] = SIMD_SHUFFLE(u[i], u[i + 4], 0, 1, 2, 3, 8, 9, 10, 11);
        r[i + 4] = SIMD_SHUFFLE(u[i], u[i + 4], 4, 5, 6, 7, 12, 13, 14, 15);
    }
}
#endif

} // namespace simd
