// The GCC/Clang backend: vectors of the compiler's vector extensions. Lane
// arithmetic, comparisons (masks of 0 or -1 per lane), ?: as select, and
// subscripts are the compiler's own; what follows adds square roots and
// the shuffles' primitive.
#pragma once

namespace simd {

typedef double f64x2 __attribute__((vector_size(16)));
typedef double f64x4 __attribute__((vector_size(32)));
typedef double f64x8 __attribute__((vector_size(64)));

// SIMD_SHUFFLE(a, b, i...): lane k is lane i_k of a (i < W) or of b (i - W).
#define SIMD_SHUFFLE(a, b, ...) __builtin_shufflevector(a, b, __VA_ARGS__)

// Lane-wise correctly rounded square root. Four lanes take AVX's vsqrtpd
// through an asm statement: the builtin could not be inlined through a
// kernel's template, which is compiled for the baseline before it is inlined
// into the path for its instruction set (f64x4 appears on AVX paths only).
// Clang checks the asm operand against the baseline and refuses it, so
// there four lanes take SSE2's sqrtpd by halves. Eight lanes take halves.
SIMD_INLINE f64x2 sqrt(f64x2 v)
{
#if defined(SIMD_X86)
    return __builtin_ia32_sqrtpd(v);
#else
    return f64x2{__builtin_sqrt(v[0]), __builtin_sqrt(v[1])};
#endif
}
SIMD_INLINE f64x4 sqrt(f64x4 v)
{
#if defined(SIMD_X86) && !defined(__clang__)
    f64x4 r;
    asm("vsqrtpd %1, %0" : "=x"(r) : "x"(v));
    return r;
#else
    const f64x2 lo = sqrt(f64x2(__builtin_shufflevector(v, v, 0, 1)));
    const f64x2 hi = sqrt(f64x2(__builtin_shufflevector(v, v, 2, 3)));
    return __builtin_shufflevector(lo, hi, 0, 1, 2, 3);
#endif
}
SIMD_INLINE f64x8 sqrt(f64x8 v)
{
    const f64x4 lo = sqrt(f64x4(__builtin_shufflevector(v, v, 0, 1, 2, 3)));
    const f64x4 hi = sqrt(f64x4(__builtin_shufflevector(v, v, 4, 5, 6, 7)));
    return __builtin_shufflevector(lo, hi, 0, 1, 2, 3, 4, 5, 6, 7);
}

} // namespace simd
