// Vectors of doubles for kernels that compute several outputs at once, and
// the run-time choice of instruction set.
//
// A kernel is written once, as a struct with a static member template
//
//     struct my_kernel {
//         template <class V> SIMD_INLINE static void run(const double* x, ..., double* y);
//     };
//
// whose body uses V as "W doubles side by side": arithmetic with the usual
// operators (a scalar operand is broadcast), load<V>/store for contiguous
// lanes, load_deinterleaved for the even and odd doubles of 2W, transpose_block
// for W rows of W doubles, reverse for the lanes backwards.
// simd::dispatch<my_kernel>(x, ..., y) runs it with the widest vector the
// processor has:
//
//     isa      V        lanes   compiled for
//     avx512   f64x8    8       target("avx512f")
//     avx2     f64x4    4       target("avx2")
//     sse2     f64x2    2       x86-64 baseline; off x86 the compiler's own
//                               two-lane vectors (NEON on 64-bit ARM)
//     scalar   double   1       any compiler; the fallback off GCC/Clang
//
// Isa::sse2 is the two-lane path on every processor; isa_name gives the
// name of the unit that runs it.
//
// Lanes never talk to each other in arithmetic, so lane l of a vector sum is
// the very double the scalar loop gives for that output: the paths differ in
// speed only. The choice is made on each call from a cached processor query;
// force_isa is the switch the tests use to run every path in turn.
//
// Every build compiles with -ffp-contract=off: AVX-512F has fused
// multiply-add, and a contracted a*b + c would round once instead of twice.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstring>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define SIMD_X86 1
#endif

#if defined(__GNUC__)
#define SIMD_INLINE inline __attribute__((always_inline))
#else
#define SIMD_INLINE inline
#endif

// SIMD_UNROLL(n) before a loop: unroll it n times under GCC and Clang;
// other compilers take the loop as written (the order of the arithmetic
// is the same either way).
#if defined(__GNUC__)
#define SIMD_PRAGMA(text) _Pragma(#text)
#define SIMD_UNROLL(n) SIMD_PRAGMA(GCC unroll n)
#else
#define SIMD_UNROLL(n)
#endif

// Before a function that uses the intrinsics of one instruction set, so
// that GCC and Clang compile it for that set whatever the build's baseline.
// Microsoft's compiler accepts every intrinsic in any function.
#if defined(SIMD_X86)
#define SIMD_TARGET_AVX512 __attribute__((target("avx512f")))
#define SIMD_TARGET_AVX2 __attribute__((target("avx2")))
#else
#define SIMD_TARGET_AVX512
#define SIMD_TARGET_AVX2
#endif

namespace simd {

enum class Isa { scalar, sse2, avx2, avx512 };

#if defined(__GNUC__)
// GCC/Clang vector types.
typedef double f64x2 __attribute__((vector_size(16)));
typedef double f64x4 __attribute__((vector_size(32)));
typedef double f64x8 __attribute__((vector_size(64)));

// load returns a vector by value; it and the kernels that call it are
// always inlined into one function compiled for the vector's target. GCC and Clang note that such a call would change the
// calling convention against code built for another target; no such call
// is left after inlining, so the note is switched off where this is included.
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

// Number of doubles in V.
template <class V> constexpr int lanes = sizeof(V) / sizeof(double);

// The W doubles p[0 .. W-1] as one vector (any alignment).
template <class V> SIMD_INLINE V load(const double* p)
{
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// p[0 .. W-1] = the lanes of v.
template <class V> SIMD_INLINE void store(double* p, const V& v) { std::memcpy(p, &v, sizeof v); }

// p[2l] = e[l], p[2l+1] = o[l], l = 0 .. W-1: two vectors written as pairs.
SIMD_INLINE void store_interleaved(double* p, const double& e, const double& o)
{
    p[0] = e;
    p[1] = o;
}
#if defined(__GNUC__)
SIMD_INLINE void store_interleaved(double* p, const f64x2& e, const f64x2& o)
{
    store(p, f64x2(__builtin_shufflevector(e, o, 0, 2)));
    store(p + 2, f64x2(__builtin_shufflevector(e, o, 1, 3)));
}
SIMD_INLINE void store_interleaved(double* p, const f64x4& e, const f64x4& o)
{
    store(p, f64x4(__builtin_shufflevector(e, o, 0, 4, 1, 5)));
    store(p + 4, f64x4(__builtin_shufflevector(e, o, 2, 6, 3, 7)));
}
SIMD_INLINE void store_interleaved(double* p, const f64x8& e, const f64x8& o)
{
    store(p, f64x8(__builtin_shufflevector(e, o, 0, 8, 1, 9, 2, 10, 3, 11)));
    store(p + 8, f64x8(__builtin_shufflevector(e, o, 4, 12, 5, 13, 6, 14, 7, 15)));
}
#endif

// Every lane equal to x.
template <class V> SIMD_INLINE V splat(double x)
{
    V v;
    if constexpr (lanes<V> == 1)
        v = x;
    else
        for (int l = 0; l < lanes<V>; ++l) v[l] = x;
    return v;
}

// Lane-wise choice by a mask from a comparison (a bool for double): where
// the mask is set, the lane of a, else that of b.
template <class M, class V> SIMD_INLINE V select(const M& mask, const V& a, const V& b) { return mask ? a : b; }

// V, or a vector of four lanes when V has eight. Comparisons of eight lanes
// reach AVX-512 through a kernel's template lane by lane (GCC compiles the
// template for the baseline first, and AVX-512 compares into mask
// registers), so a kernel that compares runs four lanes on that path, with
// the AVX-512 encoding and registers.
template <class V> struct at_most_four {
    using type = V;
};
#if defined(__GNUC__)
template <> struct at_most_four<f64x8> {
    using type = f64x4;
};
#endif

// Whether any lane of a comparison's mask is set.
template <class M> SIMD_INLINE bool any(const M& mask)
{
    if constexpr (sizeof(M) <= sizeof(long long)) {
        return mask != 0;
    } else {
        long long set = 0;
        for (int l = 0; l < static_cast<int>(sizeof(M) / sizeof(long long)); ++l) set |= mask[l];
        return set != 0;
    }
}

// Whether every lane of a comparison's mask is set.
template <class M> SIMD_INLINE bool all(const M& mask)
{
    if constexpr (sizeof(M) <= sizeof(long long)) {
        return mask != 0;
    } else {
        long long set = -1;
        for (int l = 0; l < static_cast<int>(sizeof(M) / sizeof(long long)); ++l) set &= mask[l];
        return set != 0;
    }
}

// Lane-wise correctly rounded square root. Four lanes take AVX's vsqrtpd
// through an asm statement: the builtin could not be inlined through a
// kernel's template, which is compiled for the baseline before it is inlined
// into the path for its instruction set (f64x4 appears on AVX paths only).
// Clang checks the asm operand against the baseline and refuses it, so
// there four lanes take SSE2's sqrtpd by halves. Eight lanes take halves.
#if !defined(__GNUC__)
SIMD_INLINE double sqrt(double v) { return std::sqrt(v); }
#else
SIMD_INLINE double sqrt(double v) { return __builtin_sqrt(v); }
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
#endif

// even[l] = p[2l], odd[l] = p[2l+1], l = 0 .. W-1: 2W doubles read as their
// even and odd lanes. load_even and load_odd keep one of the two; with one
// lane they read only p[0] or p[1].
SIMD_INLINE void load_deinterleaved(const double* p, double& even, double& odd)
{
    even = p[0];
    odd = p[1];
}
#if defined(__GNUC__)
SIMD_INLINE void load_deinterleaved(const double* p, f64x2& even, f64x2& odd)
{
    const f64x2 a = load<f64x2>(p), b = load<f64x2>(p + 2);
    even = __builtin_shufflevector(a, b, 0, 2);
    odd = __builtin_shufflevector(a, b, 1, 3);
}
SIMD_INLINE void load_deinterleaved(const double* p, f64x4& even, f64x4& odd)
{
    const f64x4 a = load<f64x4>(p), b = load<f64x4>(p + 4);
    even = __builtin_shufflevector(a, b, 0, 2, 4, 6);
    odd = __builtin_shufflevector(a, b, 1, 3, 5, 7);
}
SIMD_INLINE void load_deinterleaved(const double* p, f64x8& even, f64x8& odd)
{
    const f64x8 a = load<f64x8>(p), b = load<f64x8>(p + 8);
    even = __builtin_shufflevector(a, b, 0, 2, 4, 6, 8, 10, 12, 14);
    odd = __builtin_shufflevector(a, b, 1, 3, 5, 7, 9, 11, 13, 15);
}
#endif
template <class V> SIMD_INLINE V load_even(const double* p)
{
    V even, odd;
    load_deinterleaved(p, even, odd);
    return even;
}
template <class V> SIMD_INLINE V load_odd(const double* p)
{
    V even, odd;
    load_deinterleaved(p, even, odd);
    return odd;
}
template <> SIMD_INLINE double load_even<double>(const double* p) { return p[0]; }
template <> SIMD_INLINE double load_odd<double>(const double* p) { return p[1]; }

// a[l] = p[3l], b[l] = p[3l+1], c[l] = p[3l+2], l = 0 .. W-1: 3W doubles
// read as the first, second and third of each triple.
SIMD_INLINE void load_deinterleaved(const double* p, double& a, double& b, double& c)
{
    a = p[0];
    b = p[1];
    c = p[2];
}
// p[3l] = a[l], p[3l+1] = b[l], p[3l+2] = c[l]: three vectors written as triples.
SIMD_INLINE void store_interleaved(double* p, const double& a, const double& b, const double& c)
{
    p[0] = a;
    p[1] = b;
    p[2] = c;
}
#if defined(__GNUC__)
SIMD_INLINE void load_deinterleaved(const double* p, f64x2& a, f64x2& b, f64x2& c)
{
    const f64x2 x0 = load<f64x2>(p), x1 = load<f64x2>(p + 2), x2 = load<f64x2>(p + 4);
    a = __builtin_shufflevector(x0, x1, 0, 3);
    b = __builtin_shufflevector(x0, x2, 1, 2);
    c = __builtin_shufflevector(x1, x2, 0, 3);
}
SIMD_INLINE void load_deinterleaved(const double* p, f64x4& a, f64x4& b, f64x4& c)
{
    const f64x4 x0 = load<f64x4>(p), x1 = load<f64x4>(p + 4), x2 = load<f64x4>(p + 8);
    // Lanes 0 .. 2 from x0 and x1 (values 0 .. 7), lane 3 from x2.
    const f64x4 a01 = __builtin_shufflevector(x0, x1, 0, 3, 6, 6), b01 = __builtin_shufflevector(x0, x1, 1, 4, 7, 7),
                c01 = __builtin_shufflevector(x0, x1, 2, 5, 5, 5);
    a = __builtin_shufflevector(a01, x2, 0, 1, 2, 5);
    b = __builtin_shufflevector(b01, x2, 0, 1, 2, 6);
    c = __builtin_shufflevector(c01, x2, 0, 1, 4, 7);
}
SIMD_INLINE void load_deinterleaved(const double* p, f64x8& a, f64x8& b, f64x8& c)
{
    const f64x8 x0 = load<f64x8>(p), x1 = load<f64x8>(p + 8), x2 = load<f64x8>(p + 16);
    // The lanes holding values 0 .. 15 from x0 and x1, the rest from x2.
    const f64x8 a01 = __builtin_shufflevector(x0, x1, 0, 3, 6, 9, 12, 15, 15, 15),
                b01 = __builtin_shufflevector(x0, x1, 1, 4, 7, 10, 13, 13, 13, 13),
                c01 = __builtin_shufflevector(x0, x1, 2, 5, 8, 11, 14, 14, 14, 14);
    a = __builtin_shufflevector(a01, x2, 0, 1, 2, 3, 4, 5, 10, 13);
    b = __builtin_shufflevector(b01, x2, 0, 1, 2, 3, 4, 8, 11, 14);
    c = __builtin_shufflevector(c01, x2, 0, 1, 2, 3, 4, 9, 12, 15);
}
SIMD_INLINE void store_interleaved(double* p, const f64x2& a, const f64x2& b, const f64x2& c)
{
    store(p, f64x2(__builtin_shufflevector(a, b, 0, 2)));
    store(p + 2, f64x2(__builtin_shufflevector(c, a, 0, 3)));
    store(p + 4, f64x2(__builtin_shufflevector(b, c, 1, 3)));
}
SIMD_INLINE void store_interleaved(double* p, const f64x4& a, const f64x4& b, const f64x4& c)
{
    // a0 b0 c0 a1 | b1 c1 a2 b2 | c2 a3 b3 c3
    const f64x4 ab0 = __builtin_shufflevector(a, b, 0, 4, 0, 1), ab1 = __builtin_shufflevector(a, b, 5, 5, 2, 6),
                ab2 = __builtin_shufflevector(a, b, 3, 3, 7, 7);
    store(p, f64x4(__builtin_shufflevector(ab0, c, 0, 1, 4, 3)));
    store(p + 4, f64x4(__builtin_shufflevector(ab1, c, 0, 5, 2, 3)));
    store(p + 8, f64x4(__builtin_shufflevector(ab2, c, 6, 1, 2, 7)));
}
SIMD_INLINE void store_interleaved(double* p, const f64x8& a, const f64x8& b, const f64x8& c)
{
    // a0 b0 c0 a1 b1 c1 a2 b2 | c2 a3 b3 c3 a4 b4 c4 a5 | b5 c5 a6 b6 c6 a7 b7 c7
    const f64x8 ab0 = __builtin_shufflevector(a, b, 0, 8, 0, 1, 9, 0, 2, 10),
                ab1 = __builtin_shufflevector(a, b, 0, 3, 11, 0, 4, 12, 0, 5),
                ab2 = __builtin_shufflevector(a, b, 13, 0, 6, 14, 0, 7, 15, 0);
    store(p, f64x8(__builtin_shufflevector(ab0, c, 0, 1, 8, 3, 4, 9, 6, 7)));
    store(p + 8, f64x8(__builtin_shufflevector(ab1, c, 10, 1, 2, 11, 4, 5, 12, 7)));
    store(p + 16, f64x8(__builtin_shufflevector(ab2, c, 0, 13, 2, 3, 14, 5, 6, 15)));
}
#endif

// The lanes of v in reverse order: lane l = v[W-1-l].
SIMD_INLINE double reverse(double v) { return v; }
#if defined(__GNUC__)
SIMD_INLINE f64x2 reverse(f64x2 v) { return __builtin_shufflevector(v, v, 1, 0); }
SIMD_INLINE f64x4 reverse(f64x4 v) { return __builtin_shufflevector(v, v, 3, 2, 1, 0); }
SIMD_INLINE f64x8 reverse(f64x8 v) { return __builtin_shufflevector(v, v, 7, 6, 5, 4, 3, 2, 1, 0); }
#endif

// dst[c * dst_stride + l] = src[l * src_stride + c], l, c = 0 .. W-1: a W x W
// block of doubles transposed (lanes of a row become a column).
template <class V>
SIMD_INLINE void transpose_block(const double* src, std::ptrdiff_t src_stride, double* dst, std::ptrdiff_t dst_stride)
{
    constexpr int W = lanes<V>;
#if defined(__GNUC__)
    if constexpr (W == 2) {
        const f64x2 r0 = load<f64x2>(src), r1 = load<f64x2>(src + src_stride);
        store(dst, f64x2(__builtin_shufflevector(r0, r1, 0, 2)));
        store(dst + dst_stride, f64x2(__builtin_shufflevector(r0, r1, 1, 3)));
        return;
    } else if constexpr (W == 4) {
        const f64x4 r0 = load<f64x4>(src), r1 = load<f64x4>(src + src_stride), r2 = load<f64x4>(src + 2 * src_stride),
                    r3 = load<f64x4>(src + 3 * src_stride);
        const f64x4 t0 = __builtin_shufflevector(r0, r1, 0, 4, 2, 6), t1 = __builtin_shufflevector(r0, r1, 1, 5, 3, 7),
                    t2 = __builtin_shufflevector(r2, r3, 0, 4, 2, 6), t3 = __builtin_shufflevector(r2, r3, 1, 5, 3, 7);
        store(dst, f64x4(__builtin_shufflevector(t0, t2, 0, 1, 4, 5)));
        store(dst + dst_stride, f64x4(__builtin_shufflevector(t1, t3, 0, 1, 4, 5)));
        store(dst + 2 * dst_stride, f64x4(__builtin_shufflevector(t0, t2, 2, 3, 6, 7)));
        store(dst + 3 * dst_stride, f64x4(__builtin_shufflevector(t1, t3, 2, 3, 6, 7)));
        return;
    }
#endif
    for (int c = 0; c < W; ++c)
        for (int l = 0; l < W; ++l) dst[c * dst_stride + l] = src[l * src_stride + c];
}

// The instruction set forced by force_isa, or -1 for the processor's own.
inline int forced_isa = -1;

// The widest instruction set this processor runs. A build defining
// WAVETIDE_VECTORS_OF_16_BYTES stops at two lanes: GCC on Windows, where
// the stack is aligned to 16 bytes only, may spill wider vectors to it with
// aligned moves, and without an assembler that makes those moves unaligned
// (-muse-unaligned-vector-move) the wider paths could fault there.
inline Isa best_isa()
{
#if defined(SIMD_X86) && defined(WAVETIDE_VECTORS_OF_16_BYTES)
    return Isa::sse2;
#elif defined(SIMD_X86)
    static const Isa best = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f")) return Isa::avx512;
        if (__builtin_cpu_supports("avx2")) return Isa::avx2;
        return Isa::sse2;
    }();
    return best;
#elif defined(__GNUC__)
    return Isa::sse2; // 2-lane generic vectors, lowered by the compiler
#else
    return Isa::scalar;
#endif
}

// The path's name: the two-lane path as the processor calls its unit.
inline const char* isa_name(Isa isa)
{
    switch (isa) {
    case Isa::scalar: return "scalar";
    case Isa::avx2: return "avx2";
    case Isa::avx512: return "avx512";
    default: break;
    }
#if defined(SIMD_X86)
    return "sse2";
#elif defined(__aarch64__) || defined(_M_ARM64)
    return "neon";
#else
    return "two lanes";
#endif
}

// Test-only switch: later kernel calls run the given path, which must not be
// wider than best_isa(). Returns false (and changes nothing) if it is.
inline bool force_isa(Isa isa)
{
    if (static_cast<int>(isa) > static_cast<int>(best_isa())) return false;
    forced_isa = static_cast<int>(isa);
    return true;
}

// Back to the processor's own choice.
inline void unforce_isa() { forced_isa = -1; }

// The path the next kernel call takes.
inline Isa current_isa() { return forced_isa >= 0 ? static_cast<Isa>(forced_isa) : best_isa(); }

// One instantiation of Kernel::run per path, each compiled for its target.
#if defined(SIMD_X86)
template <class Kernel, class... A> __attribute__((target("avx512f"))) void run_avx512(A... a)
{
    Kernel::template run<f64x8>(a...);
}
template <class Kernel, class... A> __attribute__((target("avx2"))) void run_avx2(A... a)
{
    Kernel::template run<f64x4>(a...);
}
#endif
template <class Kernel, class... A> void run_sse2(A... a)
{
#if defined(__GNUC__)
    Kernel::template run<f64x2>(a...);
#else
    Kernel::template run<double>(a...);
#endif
}
template <class Kernel, class... A> void run_scalar(A... a) { Kernel::template run<double>(a...); }

// Kernel::run<V>(a...) with V the vector of the current path.
template <class Kernel, class... A> void dispatch(A... a)
{
    switch (current_isa()) {
#if defined(SIMD_X86)
    case Isa::avx512: run_avx512<Kernel>(a...); return;
    case Isa::avx2: run_avx2<Kernel>(a...); return;
#endif
    case Isa::scalar: run_scalar<Kernel>(a...); return;
    default: run_sse2<Kernel>(a...); return;
    }
}

} // namespace simd
