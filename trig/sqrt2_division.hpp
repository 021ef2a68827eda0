// Divisions by sqrt2 = 1.414213562373095, each correctly rounded: the
// division every stage of the Hartley transform applies. Two kinds:
//
// Divider: the hardware divider, on every path.
//
// Fused: a multiply and one fused multiply-add where the vector type has
// them (simd::fused_division_by_sqrt2, eight lanes), after "Accelerating
// correctly rounded floating-point division when the divisor is known in
// advance" (IEEE Trans. Computers 53(8), 2004): with b = 1.414213562373095,
// zh = RN(1/b) and zl = RN(1/b - zh), q = RN(v zh + RN(v zl)) = RN(v/b) for
// 2^-966 <= |v| <= DBL_MAX.
// Proof, scaled to v in [1, 2) (exact while everything stays normal):
// zl = 0x1.08b2fb1366eabp-56 > 0 and |1/b - zh - zl| < 2^-110.7, so with
// v zl < 2^-54 (rounded with error <= 2^-107) the sum s = v zh + RN(v zl),
// taken exactly by the fma, is within 2^-107 + 2^-109.7 < 2^-106.7 of v/b.
// b = B 2^-50 with B odd, so for a rounding midpoint m = (2k+1) 2^-54 or
// (2k+1) 2^-53, v - b m is a nonzero multiple of 2^-104, and v/b is at
// least 2^-104/b > 2^-104.5 from every midpoint: s and v/b round alike.
// Zeros (same-signed sum), infinities (zl > 0) and NaN come out right as
// they are. Lanes with 0 < |v| < 2^-960 are only noted (first); a batch
// of work that tiny_seen() afterwards is done again with the Divider. A
// quotient of a value that was not tiny is at least 2^-960.5 (again needs
// no note). Where the vector type has no fused division, Fused is the
// divider and notes nothing.
//
// Unnoted: Fused without notes, for work that the processor's underflow
// flag watches instead (LeafDivision). The sequence can only fail where
// v zl is below 2^-1022; such a product is tiny and inexact (its
// significand, the product of two odd ones, is longer than the subnormal
// grid allows), so it raises the flag.
#pragma once

#include "simd/simd.hpp"
#include "simd/sqrt2_division_avx512.hpp"
#include "simd/x86_underflow_flag.hpp"
#include "trig/constants.hpp"

namespace trig {

struct Divider {
    template <class V> SIMD_INLINE V first(V v) { return v / kSqrt2; }
    template <class V> SIMD_INLINE V again(V v) { return v / kSqrt2; }
};

template <class V> struct Fused {
    simd::TinyNote<V> tiny;
    SIMD_INLINE V first(V v)
    {
        tiny.note(v);
        return again(v);
    }
    SIMD_INLINE V again(V v) { return simd::fused_division_by_sqrt2(v); }
    // Whether a noted lane was tiny.
    SIMD_INLINE bool tiny_seen() const { return tiny.seen(); }
};

template <class V> struct Unnoted {
    SIMD_INLINE V first(V v) { return again(v); }
    SIMD_INLINE V again(V v) { return simd::fused_division_by_sqrt2(v); }
};

// The division of a batch of work done in registers (the split-radix
// leaves): where V has the fused division, Unnoted under the underflow
// watch; elsewhere Fused with its notes (that is, the divider).
// Use: start(); work with `division`; if missed(results), work again with
// the Divider.
template <class V, bool watched = simd::UnderflowWatch::available> struct LeafDivision {
    Fused<V> division;
    SIMD_INLINE void start() {}
    SIMD_INLINE bool missed(const void*) { return division.tiny_seen(); }
};
#if defined(SIMD_FUSED_SQRT2_DIVISION)
template <> struct LeafDivision<simd::f64x8, true> {
    Unnoted<simd::f64x8> division;
    simd::UnderflowWatch watch;
    SIMD_INLINE void start() { watch.start(); }
    SIMD_INLINE bool missed(const void* results) { return watch.raised(results); }
};
#endif

} // namespace trig
