// Operations written once over the others, the same for every backend.
#pragma once

namespace simd {

// The even or the odd lanes of 2W doubles (load_deinterleaved keeping one
// of the two); with one lane they read only p[0] or p[1].
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

#if defined(SIMD_VECTORS)
template <> struct at_most_four<f64x8> {
    using type = f64x4;
};
#endif

// min(a, b) = b < a ? b : a and max(a, b) = a < b ? b : a, lane by lane: the
// select of a comparison, so a NaN in b gives a, a NaN in a gives a, and
// of two zeros the first is kept (whatever their signs).
template <class V> SIMD_INLINE V min(const V& a, const V& b) { return select(b < a, b, a); }
template <class V> SIMD_INLINE V max(const V& a, const V& b) { return select(a < b, b, a); }

} // namespace simd
