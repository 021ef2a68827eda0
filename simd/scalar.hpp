// The one-lane meaning of the vector operations: V = double, and the
// templates that also serve the vector extensions' types (whose lanes,
// comparisons and ?: behave as a double's, lane by lane).
#pragma once

namespace simd {

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

// Lane l = p[l] for l < count, fill for the others; reads p[0 .. count-1]
// only, so a run's end needs no padding.
template <class V> SIMD_INLINE V load_first(const double* p, int count, double fill)
{
    double lane[lanes<V>];
    for (int l = 0; l < lanes<V>; ++l) lane[l] = l < count ? p[l] : fill;
    return load<V>(lane);
}

// p[l] = lane l of v for l < count (at most W): writes nothing beyond.
template <class V> SIMD_INLINE void store_first(double* p, int count, const V& v)
{
    double lane[lanes<V>];
    store(lane, v);
    for (int l = 0; l < lanes<V> && l < count; ++l) p[l] = lane[l];
}

// V, or a vector of four lanes when V has eight. Comparisons of eight lanes
// reach AVX-512 through a kernel's template lane by lane (GCC compiles the
// template for the baseline first, and AVX-512 compares into mask
// registers), so a kernel that compares runs four lanes on that path, with
// the AVX-512 encoding and registers.
template <class V> struct at_most_four {
    using type = V;
};

// Correctly rounded square root.
#if defined(__GNUC__)
SIMD_INLINE double sqrt(double v) { return __builtin_sqrt(v); }
#else
SIMD_INLINE double sqrt(double v) { return std::sqrt(v); }
#endif

// p[2l] = e[l], p[2l+1] = o[l], l = 0 .. W-1: two vectors written as pairs.
SIMD_INLINE void store_interleaved(double* p, const double& e, const double& o)
{
    p[0] = e;
    p[1] = o;
}

// even[l] = p[2l], odd[l] = p[2l+1], l = 0 .. W-1: 2W doubles read as their
// even and odd lanes.
SIMD_INLINE void load_deinterleaved(const double* p, double& even, double& odd)
{
    even = p[0];
    odd = p[1];
}

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

// The lanes of v in reverse order: lane l = v[W-1-l].
SIMD_INLINE double reverse(double v) { return v; }

} // namespace simd
