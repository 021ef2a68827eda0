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
// operators (a scalar operand is broadcast), comparisons giving a mask for
// select/any/all, load<V>/store for contiguous lanes, load_first/store_first
// for the first few, load_deinterleaved for the even and odd doubles of 2W
// (or the triples of 3W), transpose_block for W rows of W doubles, reverse
// for the lanes backwards. simd::dispatch<my_kernel>(x, ..., y) runs it with
// the widest vector the processor has:
//
//     isa      V        lanes   compiled for
//     avx512   f64x8    8       target("avx512f")
//     avx2     f64x4    4       target("avx2")
//     sse2     f64x2    2       x86-64 baseline; off x86 the compiler's own
//                               two-lane vectors (NEON on 64-bit ARM)
//     scalar   double   1       any compiler; the fallback elsewhere
//
// Isa::sse2 is the two-lane path on every processor; isa_name gives the
// name of the unit that runs it.
//
// Two backends give V the same doubles lane for lane:
//   simd/gnu_vectors.hpp  GCC and Clang vector extensions, compiled for
//     each path by a target attribute on its entry. Every shipped GCC and
//     Clang build (Linux, macOS, MinGW) uses it.
//   simd/intrinsics_*.hpp wrapper structs over __m128d, __m256d, __m512d
//     and the standard intrinsics: Microsoft's compiler (also clang-cl),
//     which has no vector extensions and accepts every intrinsic in any
//     function. GCC and Clang build it when WAVETIDE_SIMD_INTRINSICS is
//     defined (CMake: -DWAVETIDE_SIMD_BACKEND=intrinsics), to test it;
//     they refuse to inline an intrinsic of a wider set into a kernel's
//     template compiled for the baseline, so such a build (and clang-cl)
//     runs the paths its baseline enables (CMake gives -mavx2: up to four
//     lanes) and no wider one.
//
// Lanes never talk to each other in arithmetic, so lane l of a vector sum is
// the very double the scalar loop gives for that output: the paths differ in
// speed only. The choice is made on each call from a cached processor query
// (simd/processor.hpp); force_isa is the switch the tests use to run every
// path in turn.
//
// Every build compiles with -ffp-contract=off: AVX-512F has fused
// multiply-add, and a contracted a*b + c would round once instead of twice.
// GCC still pairs a*b - c*d and a*b + c*d of neighbouring scalar outputs
// into vfmaddsub in code built for FMA or AVX-512; tools/check_fused.sh
// (make check) finds any such instruction in the plug-ins.
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

// The backend: SIMD_INTRINSICS or SIMD_GNU_VECTORS (either defines
// SIMD_VECTORS and the types f64x2, f64x4, f64x8; neither: doubles only),
// and SIMD_WIDEST, the widest path compiled (0 scalar .. 3 avx512).
#if defined(__x86_64__) || defined(_M_X64)
#define SIMD_X86_64 1
#endif
#if defined(SIMD_X86_64) && (defined(WAVETIDE_SIMD_INTRINSICS) || (defined(_MSC_VER) && !defined(__GNUC__)))
#define SIMD_INTRINSICS 1
#if !defined(__GNUC__) && !defined(__clang__)
#define SIMD_WIDEST 3
#elif defined(__AVX512F__)
#define SIMD_WIDEST 3
#elif defined(__AVX2__)
#define SIMD_WIDEST 2
#else
#define SIMD_WIDEST 1
#endif
#elif defined(__GNUC__)
#define SIMD_GNU_VECTORS 1
#if defined(SIMD_X86)
#define SIMD_WIDEST 3
#else
#define SIMD_WIDEST 1
#endif
#else
#define SIMD_WIDEST 0
#endif

#if defined(__GNUC__)
// load returns a vector by value; it and the kernels that call it are
// always inlined into one function compiled for the vector's target. GCC
// and Clang note that such a call would change the calling convention
// against code built for another target; no such call is left after
// inlining, so the note is switched off where this is included.
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace simd {

enum class Isa { scalar, sse2, avx2, avx512 };

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

} // namespace simd

#include "simd/scalar.hpp"
#if defined(SIMD_GNU_VECTORS)
#include "simd/gnu_vectors.hpp"
#elif defined(SIMD_INTRINSICS)
#include "simd/intrinsics_native.hpp"
#include "simd/intrinsics_vectors.hpp"
#endif
#if defined(SIMD_GNU_VECTORS) || defined(SIMD_INTRINSICS)
#define SIMD_VECTORS 1
#include "simd/shuffles.hpp"
#endif
#include "simd/generic.hpp"
#include "simd/dispatch.hpp"
