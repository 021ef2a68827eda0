// The intrinsics backend's primitives: per width W, the native register
// type, its mask, and the instructions every operation of
// simd/intrinsics_vectors.hpp is built from. Each is the instruction the
// vector extensions' operator compiles to, so the doubles are the same:
// + - * / sqrt round correctly; a < b and a <= b are the ordered
// signalling compares (false where a lane is NaN), a == b ordered quiet,
// a != b unordered quiet (true where a lane is NaN); -a flips the sign bit.
//
// GCC and Clang compile an intrinsic only inside a function built for its
// set: the four- and eight-lane primitives carry that set's target when
// the baseline lacks it (they are then reached from that set's functions
// only); Microsoft's compiler takes them anywhere.
#pragma once

#include <immintrin.h>

#if defined(__GNUC__) && !defined(__AVX2__)
#define SIMD_ON_AVX2 SIMD_TARGET_AVX2
#else
#define SIMD_ON_AVX2
#endif
#if defined(__GNUC__) && !defined(__AVX512F__)
#define SIMD_ON_AVX512 SIMD_TARGET_AVX512
#else
#define SIMD_ON_AVX512
#endif
#define SIMD_ON_SSE2

namespace simd {

template <int W> struct native;

template <> struct native<2> {
    using type = __m128d;
    using mask = __m128d; // all bits set in a lane where true
    static SIMD_INLINE type set1(double x) { return _mm_set1_pd(x); }
    static SIMD_INLINE type add(type a, type b) { return _mm_add_pd(a, b); }
    static SIMD_INLINE type sub(type a, type b) { return _mm_sub_pd(a, b); }
    static SIMD_INLINE type mul(type a, type b) { return _mm_mul_pd(a, b); }
    static SIMD_INLINE type div(type a, type b) { return _mm_div_pd(a, b); }
    static SIMD_INLINE type neg(type a) { return _mm_xor_pd(a, _mm_set1_pd(-0.0)); }
    static SIMD_INLINE type sqrt(type a) { return _mm_sqrt_pd(a); }
    static SIMD_INLINE mask lt(type a, type b) { return _mm_cmplt_pd(a, b); }
    static SIMD_INLINE mask le(type a, type b) { return _mm_cmple_pd(a, b); }
    static SIMD_INLINE mask eq(type a, type b) { return _mm_cmpeq_pd(a, b); }
    static SIMD_INLINE mask ne(type a, type b) { return _mm_cmpneq_pd(a, b); }
    static SIMD_INLINE mask both(mask a, mask b) { return _mm_and_pd(a, b); }
    static SIMD_INLINE mask either(mask a, mask b) { return _mm_or_pd(a, b); }
    static SIMD_INLINE mask differ(mask a, mask b) { return _mm_xor_pd(a, b); }
    static SIMD_INLINE mask invert(mask a) { return _mm_xor_pd(a, _mm_castsi128_pd(_mm_set1_epi32(-1))); }
    static SIMD_INLINE int bits(mask m) { return _mm_movemask_pd(m); }
    static SIMD_INLINE type blend(mask m, type a, type b) { return _mm_or_pd(_mm_and_pd(m, a), _mm_andnot_pd(m, b)); }
    // minpd(x, y) = x < y ? x : y, maxpd(x, y) = x > y ? x : y.
    static SIMD_INLINE type min_pd(type x, type y) { return _mm_min_pd(x, y); }
    static SIMD_INLINE type max_pd(type x, type y) { return _mm_max_pd(x, y); }
};

template <> struct native<4> {
    using type = __m256d;
    using mask = __m256d;
    static SIMD_INLINE SIMD_ON_AVX2 type set1(double x) { return _mm256_set1_pd(x); }
    static SIMD_INLINE SIMD_ON_AVX2 type add(type a, type b) { return _mm256_add_pd(a, b); }
    static SIMD_INLINE SIMD_ON_AVX2 type sub(type a, type b) { return _mm256_sub_pd(a, b); }
    static SIMD_INLINE SIMD_ON_AVX2 type mul(type a, type b) { return _mm256_mul_pd(a, b); }
    static SIMD_INLINE SIMD_ON_AVX2 type div(type a, type b) { return _mm256_div_pd(a, b); }
    static SIMD_INLINE SIMD_ON_AVX2 type neg(type a) { return _mm256_xor_pd(a, _mm256_set1_pd(-0.0)); }
    static SIMD_INLINE SIMD_ON_AVX2 type sqrt(type a) { return _mm256_sqrt_pd(a); }
    static SIMD_INLINE SIMD_ON_AVX2 mask lt(type a, type b) { return _mm256_cmp_pd(a, b, _CMP_LT_OS); }
    static SIMD_INLINE SIMD_ON_AVX2 mask le(type a, type b) { return _mm256_cmp_pd(a, b, _CMP_LE_OS); }
    static SIMD_INLINE SIMD_ON_AVX2 mask eq(type a, type b) { return _mm256_cmp_pd(a, b, _CMP_EQ_OQ); }
    static SIMD_INLINE SIMD_ON_AVX2 mask ne(type a, type b) { return _mm256_cmp_pd(a, b, _CMP_NEQ_UQ); }
    static SIMD_INLINE SIMD_ON_AVX2 mask both(mask a, mask b) { return _mm256_and_pd(a, b); }
    static SIMD_INLINE SIMD_ON_AVX2 mask either(mask a, mask b) { return _mm256_or_pd(a, b); }
    static SIMD_INLINE SIMD_ON_AVX2 mask differ(mask a, mask b) { return _mm256_xor_pd(a, b); }
    static SIMD_INLINE SIMD_ON_AVX2 mask invert(mask a)
    {
        return _mm256_xor_pd(a, _mm256_castsi256_pd(_mm256_set1_epi64x(-1)));
    }
    static SIMD_INLINE SIMD_ON_AVX2 int bits(mask m) { return _mm256_movemask_pd(m); }
    static SIMD_INLINE SIMD_ON_AVX2 type blend(mask m, type a, type b) { return _mm256_blendv_pd(b, a, m); }
    static SIMD_INLINE SIMD_ON_AVX2 type min_pd(type x, type y) { return _mm256_min_pd(x, y); }
    static SIMD_INLINE SIMD_ON_AVX2 type max_pd(type x, type y) { return _mm256_max_pd(x, y); }
};

template <> struct native<8> {
    using type = __m512d;
    using mask = __mmask8; // bit l for lane l
    static SIMD_INLINE SIMD_ON_AVX512 type set1(double x) { return _mm512_set1_pd(x); }
    static SIMD_INLINE SIMD_ON_AVX512 type add(type a, type b) { return _mm512_add_pd(a, b); }
    static SIMD_INLINE SIMD_ON_AVX512 type sub(type a, type b) { return _mm512_sub_pd(a, b); }
    static SIMD_INLINE SIMD_ON_AVX512 type mul(type a, type b) { return _mm512_mul_pd(a, b); }
    static SIMD_INLINE SIMD_ON_AVX512 type div(type a, type b) { return _mm512_div_pd(a, b); }
    static SIMD_INLINE SIMD_ON_AVX512 type neg(type a)
    {
        return _mm512_castsi512_pd(
            _mm512_xor_si512(_mm512_castpd_si512(a), _mm512_set1_epi64(static_cast<long long>(0x8000000000000000ULL))));
    }
    static SIMD_INLINE SIMD_ON_AVX512 type sqrt(type a) { return _mm512_maskz_sqrt_pd(0xFF, a); }
    static SIMD_INLINE SIMD_ON_AVX512 mask lt(type a, type b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OS); }
    static SIMD_INLINE SIMD_ON_AVX512 mask le(type a, type b) { return _mm512_cmp_pd_mask(a, b, _CMP_LE_OS); }
    static SIMD_INLINE SIMD_ON_AVX512 mask eq(type a, type b) { return _mm512_cmp_pd_mask(a, b, _CMP_EQ_OQ); }
    static SIMD_INLINE SIMD_ON_AVX512 mask ne(type a, type b) { return _mm512_cmp_pd_mask(a, b, _CMP_NEQ_UQ); }
    static SIMD_INLINE mask both(mask a, mask b) { return static_cast<mask>(a & b); }
    static SIMD_INLINE mask either(mask a, mask b) { return static_cast<mask>(a | b); }
    static SIMD_INLINE mask differ(mask a, mask b) { return static_cast<mask>(a ^ b); }
    static SIMD_INLINE mask invert(mask a) { return static_cast<mask>(~a); }
    static SIMD_INLINE int bits(mask m) { return m; }
    static SIMD_INLINE SIMD_ON_AVX512 type blend(mask m, type a, type b) { return _mm512_mask_blend_pd(m, b, a); }
    static SIMD_INLINE SIMD_ON_AVX512 type min_pd(type x, type y) { return _mm512_maskz_min_pd(0xFF, x, y); }
    static SIMD_INLINE SIMD_ON_AVX512 type max_pd(type x, type y) { return _mm512_maskz_max_pd(0xFF, x, y); }
    // Lanes 0 .. count-1 of p, fill elsewhere; the others are not read.
    static SIMD_INLINE SIMD_ON_AVX512 type load_first(const double* p, int count, double fill)
    {
        return _mm512_mask_loadu_pd(_mm512_set1_pd(fill), first_lanes(count), p);
    }
    static SIMD_INLINE SIMD_ON_AVX512 void store_first(double* p, int count, type v)
    {
        _mm512_mask_storeu_pd(p, first_lanes(count), v);
    }
    static SIMD_INLINE mask first_lanes(int count)
    {
        return count >= 8 ? mask(0xFF) : count <= 0 ? mask(0) : static_cast<mask>((1u << count) - 1);
    }
};

} // namespace simd
