// The vector of half the lanes of V: narrower<f64x8>::type is f64x4,
// narrower<f64x4>::type is f64x2, and below two lanes a single double.
#pragma once

#include "simd/simd.hpp"

namespace simd {

template <class V> struct narrower {
    using type = double;
};
#if defined(SIMD_VECTORS)
template <> struct narrower<f64x8> {
    using type = f64x4;
};
template <> struct narrower<f64x4> {
    using type = f64x2;
};
#endif

} // namespace simd
