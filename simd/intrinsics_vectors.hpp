// The intrinsics backend: f64x2, f64x4 and f64x8 as small structs around
// __m128d, __m256d and __m512d with the operators of the vector extensions
// (a scalar operand broadcast on either side), comparisons giving masks,
// and lane reads and writes. simd::f64x8(__m512d) and __m512d(v) convert
// (likewise for the narrower ones).
#pragma once

namespace simd {

template <int W> struct vec {
    using native_type = typename native<W>::type;
    native_type v;

    vec() = default;
    explicit vec(native_type n) : v(n) {}
    explicit operator native_type() const { return v; }

    // Lane l (a copy), and lane l to assign.
    double operator[](int l) const
    {
        double lane[W];
        std::memcpy(lane, &v, sizeof lane);
        return lane[l];
    }
    double& operator[](int l) { return reinterpret_cast<double*>(&v)[l]; }
};

// What a comparison of two vec<W> gives: lane l set where it holds.
template <int W> struct vmask {
    typename native<W>::mask m;
};

using f64x2 = vec<2>;
using f64x4 = vec<4>;
using f64x8 = vec<8>;

// Lane k of the result is lane I_k of a (I < W) or of b (I - W).
#define SIMD_SHUFFLE(a, b, ...) ::simd::shuffle<__VA_ARGS__>(a, b)
template <int... I, int W> SIMD_INLINE vec<W> shuffle(const vec<W>& a, const vec<W>& b)
{
    static_assert(sizeof...(I) == W, "a shuffle gives as many lanes as it takes from each vector");
    double both[2 * W];
    std::memcpy(both, &a, sizeof a);
    std::memcpy(both + W, &b, sizeof b);
    const double picked[W] = {both[I]...};
    vec<W> out;
    std::memcpy(&out, picked, sizeof out);
    return out;
}

// a op b, a op= b, with a scalar operand broadcast.
#define SIMD_ARITHMETIC(W, ON, op, fn)                                                                                 \
    ON SIMD_INLINE vec<W> operator op(vec<W> a, vec<W> b) { return vec<W>(native<W>::fn(a.v, b.v)); }                \
    ON SIMD_INLINE vec<W> operator op(vec<W> a, double b) { return vec<W>(native<W>::fn(a.v, native<W>::set1(b))); } \
    ON SIMD_INLINE vec<W> operator op(double a, vec<W> b) { return vec<W>(native<W>::fn(native<W>::set1(a), b.v)); } \
    ON SIMD_INLINE vec<W>& operator op##=(vec<W>& a, vec<W> b) { return a = a op b; }                                \
    ON SIMD_INLINE vec<W>& operator op##=(vec<W>& a, double b) { return a = a op b; }

// a op b as fn(x, y), x and y being a and b in some order.
#define SIMD_COMPARISON(W, ON, op, fn, x, y)                                                                          \
    ON SIMD_INLINE vmask<W> operator op(vec<W> a, vec<W> b) { return {native<W>::fn(x.v, y.v)}; }                   \
    ON SIMD_INLINE vmask<W> operator op(vec<W> a, double s) { return a op vec<W>(native<W>::set1(s)); }            \
    ON SIMD_INLINE vmask<W> operator op(double s, vec<W> b) { return vec<W>(native<W>::set1(s)) op b; }

// Everything a kernel writes on vec<W> and its masks.
#define SIMD_OPERATIONS(W, ON)                                                                                        \
    SIMD_ARITHMETIC(W, ON, +, add)                                                                                    \
    SIMD_ARITHMETIC(W, ON, -, sub)                                                                                    \
    SIMD_ARITHMETIC(W, ON, *, mul)                                                                                    \
    SIMD_ARITHMETIC(W, ON, /, div)                                                                                    \
    ON SIMD_INLINE vec<W> operator-(vec<W> a) { return vec<W>(native<W>::neg(a.v)); }                                \
    SIMD_COMPARISON(W, ON, <, lt, a, b)                                                                               \
    SIMD_COMPARISON(W, ON, <=, le, a, b)                                                                              \
    SIMD_COMPARISON(W, ON, >, lt, b, a)                                                                               \
    SIMD_COMPARISON(W, ON, >=, le, b, a)                                                                              \
    SIMD_COMPARISON(W, ON, ==, eq, a, b)                                                                              \
    SIMD_COMPARISON(W, ON, !=, ne, a, b)                                                                              \
    ON SIMD_INLINE vmask<W> operator&(vmask<W> a, vmask<W> b) { return {native<W>::both(a.m, b.m)}; }                \
    ON SIMD_INLINE vmask<W> operator|(vmask<W> a, vmask<W> b) { return {native<W>::either(a.m, b.m)}; }              \
    ON SIMD_INLINE vmask<W> operator^(vmask<W> a, vmask<W> b) { return {native<W>::differ(a.m, b.m)}; }              \
    ON SIMD_INLINE vmask<W> operator~(vmask<W> a) { return {native<W>::invert(a.m)}; }                               \
    ON SIMD_INLINE vmask<W>& operator&=(vmask<W>& a, vmask<W> b) { return a = a & b; }                               \
    ON SIMD_INLINE vmask<W>& operator|=(vmask<W>& a, vmask<W> b) { return a = a | b; }                               \
    ON SIMD_INLINE vmask<W>& operator^=(vmask<W>& a, vmask<W> b) { return a = a ^ b; }                               \
    ON SIMD_INLINE bool any(vmask<W> m) { return native<W>::bits(m.m) != 0; }                                         \
    ON SIMD_INLINE bool all(vmask<W> m) { return native<W>::bits(m.m) == (1 << W) - 1; }                              \
    ON SIMD_INLINE vec<W> select(vmask<W> m, vec<W> a, vec<W> b) { return vec<W>(native<W>::blend(m.m, a.v, b.v)); } \
    ON SIMD_INLINE vec<W> sqrt(vec<W> a) { return vec<W>(native<W>::sqrt(a.v)); }                                     \
    /* select(b < a, b, a) and select(a < b, b, a), as generic.hpp defines them */                                    \
    ON SIMD_INLINE vec<W> min(vec<W> a, vec<W> b) { return vec<W>(native<W>::min_pd(b.v, a.v)); }                    \
    ON SIMD_INLINE vec<W> max(vec<W> a, vec<W> b) { return vec<W>(native<W>::max_pd(b.v, a.v)); }

SIMD_OPERATIONS(2, SIMD_ON_SSE2)
SIMD_OPERATIONS(4, SIMD_ON_AVX2)
SIMD_OPERATIONS(8, SIMD_ON_AVX512)

#undef SIMD_OPERATIONS
#undef SIMD_COMPARISON
#undef SIMD_ARITHMETIC

// Eight lanes read and written under a mask: the lanes past count are
// neither read nor written.
template <> SIMD_INLINE SIMD_ON_AVX512 f64x8 load_first<f64x8>(const double* p, int count, double fill)
{
    return f64x8(native<8>::load_first(p, count, fill));
}
template <> SIMD_INLINE SIMD_ON_AVX512 void store_first<f64x8>(double* p, int count, const f64x8& v)
{
    native<8>::store_first(p, count, v.v);
}

} // namespace simd
