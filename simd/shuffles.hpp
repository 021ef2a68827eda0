// The lane shuffles of both vector backends, written once over
// SIMD_SHUFFLE(a, b, i...) (lane k of the result is lane i_k of a, or of b
// for i >= W): interleaved loads and stores, reverse, the transpose of a
// block in memory (simd/transpose.hpp transposes one in registers).
#pragma once

namespace simd {

// p[2l] = e[l], p[2l+1] = o[l], l = 0 .. W-1.
SIMD_INLINE void store_interleaved(double* p, const f64x2& e, const f64x2& o)
{
    store(p, f64x2(SIMD_SHUFFLE(e, o, 0, 2)));
    store(p + 2, f64x2(SIMD_SHUFFLE(e, o, 1, 3)));
}
SIMD_INLINE void store_interleaved(double* p, const f64x4& e, const f64x4& o)
{
    store(p, f64x4(SIMD_SHUFFLE(e, o, 0, 4, 1, 5)));
    store(p + 4, f64x4(SIMD_SHUFFLE(e, o, 2, 6, 3, 7)));
}
SIMD_INLINE void store_interleaved(double* p, const f64x8& e, const f64x8& o)
{
    store(p, f64x8(SIMD_SHUFFLE(e, o, 0, 8, 1, 9, 2, 10, 3, 11)));
    store(p + 8, f64x8(SIMD_SHUFFLE(e, o, 4, 12, 5, 13, 6, 14, 7, 15)));
}

// even[l] = p[2l], odd[l] = p[2l+1], l = 0 .. W-1.
SIMD_INLINE void load_deinterleaved(const double* p, f64x2& even, f64x2& odd)
{
    const f64x2 a = load<f64x2>(p), b = load<f64x2>(p + 2);
    even = SIMD_SHUFFLE(a, b, 0, 2);
    odd = SIMD_SHUFFLE(a, b, 1, 3);
}
SIMD_INLINE void load_deinterleaved(const double* p, f64x4& even, f64x4& odd)
{
    const f64x4 a = load<f64x4>(p), b = load<f64x4>(p + 4);
    even = SIMD_SHUFFLE(a, b, 0, 2, 4, 6);
    odd = SIMD_SHUFFLE(a, b, 1, 3, 5, 7);
}
SIMD_INLINE void load_deinterleaved(const double* p, f64x8& even, f64x8& odd)
{
    const f64x8 a = load<f64x8>(p), b = load<f64x8>(p + 8);
    even = SIMD_SHUFFLE(a, b, 0, 2, 4, 6, 8, 10, 12, 14);
    odd = SIMD_SHUFFLE(a, b, 1, 3, 5, 7, 9, 11, 13, 15);
}

// a[l] = p[3l], b[l] = p[3l+1], c[l] = p[3l+2] (loads) and back (stores).
SIMD_INLINE void load_deinterleaved(const double* p, f64x2& a, f64x2& b, f64x2& c)
{
    const f64x2 x0 = load<f64x2>(p), x1 = load<f64x2>(p + 2), x2 = load<f64x2>(p + 4);
    a = SIMD_SHUFFLE(x0, x1, 0, 3);
    b = SIMD_SHUFFLE(x0, x2, 1, 2);
    c = SIMD_SHUFFLE(x1, x2, 0, 3);
}
SIMD_INLINE void load_deinterleaved(const double* p, f64x4& a, f64x4& b, f64x4& c)
{
    const f64x4 x0 = load<f64x4>(p), x1 = load<f64x4>(p + 4), x2 = load<f64x4>(p + 8);
    // Lanes 0 .. 2 from x0 and x1 (values 0 .. 7), lane 3 from x2.
    const f64x4 a01 = SIMD_SHUFFLE(x0, x1, 0, 3, 6, 6), b01 = SIMD_SHUFFLE(x0, x1, 1, 4, 7, 7),
                c01 = SIMD_SHUFFLE(x0, x1, 2, 5, 5, 5);
    a = SIMD_SHUFFLE(a01, x2, 0, 1, 2, 5);
    b = SIMD_SHUFFLE(b01, x2, 0, 1, 2, 6);
    c = SIMD_SHUFFLE(c01, x2, 0, 1, 4, 7);
}
SIMD_INLINE void load_deinterleaved(const double* p, f64x8& a, f64x8& b, f64x8& c)
{
    const f64x8 x0 = load<f64x8>(p), x1 = load<f64x8>(p + 8), x2 = load<f64x8>(p + 16);
    // The lanes holding values 0 .. 15 from x0 and x1, the rest from x2.
    const f64x8 a01 = SIMD_SHUFFLE(x0, x1, 0, 3, 6, 9, 12, 15, 15, 15),
                b01 = SIMD_SHUFFLE(x0, x1, 1, 4, 7, 10, 13, 13, 13, 13),
                c01 = SIMD_SHUFFLE(x0, x1, 2, 5, 8, 11, 14, 14, 14, 14);
    a = SIMD_SHUFFLE(a01, x2, 0, 1, 2, 3, 4, 5, 10, 13);
    b = SIMD_SHUFFLE(b01, x2, 0, 1, 2, 3, 4, 8, 11, 14);
    c = SIMD_SHUFFLE(c01, x2, 0, 1, 2, 3, 4, 9, 12, 15);
}
SIMD_INLINE void store_interleaved(double* p, const f64x2& a, const f64x2& b, const f64x2& c)
{
    store(p, f64x2(SIMD_SHUFFLE(a, b, 0, 2)));
    store(p + 2, f64x2(SIMD_SHUFFLE(c, a, 0, 3)));
    store(p + 4, f64x2(SIMD_SHUFFLE(b, c, 1, 3)));
}
SIMD_INLINE void store_interleaved(double* p, const f64x4& a, const f64x4& b, const f64x4& c)
{
    // a0 b0 c0 a1 | b1 c1 a2 b2 | c2 a3 b3 c3
    const f64x4 ab0 = SIMD_SHUFFLE(a, b, 0, 4, 0, 1), ab1 = SIMD_SHUFFLE(a, b, 5, 5, 2, 6),
                ab2 = SIMD_SHUFFLE(a, b, 3, 3, 7, 7);
    store(p, f64x4(SIMD_SHUFFLE(ab0, c, 0, 1, 4, 3)));
    store(p + 4, f64x4(SIMD_SHUFFLE(ab1, c, 0, 5, 2, 3)));
    store(p + 8, f64x4(SIMD_SHUFFLE(ab2, c, 6, 1, 2, 7)));
}
SIMD_INLINE void store_interleaved(double* p, const f64x8& a, const f64x8& b, const f64x8& c)
{
    // a0 b0 c0 a1 b1 c1 a2 b2 | c2 a3 b3 c3 a4 b4 c4 a5 | b5 c5 a6 b6 c6 a7 b7 c7
    const f64x8 ab0 = SIMD_SHUFFLE(a, b, 0, 8, 0, 1, 9, 0, 2, 10),
                ab1 = SIMD_SHUFFLE(a, b, 0, 3, 11, 0, 4, 12, 0, 5),
                ab2 = SIMD_SHUFFLE(a, b, 13, 0, 6, 14, 0, 7, 15, 0);
    store(p, f64x8(SIMD_SHUFFLE(ab0, c, 0, 1, 8, 3, 4, 9, 6, 7)));
    store(p + 8, f64x8(SIMD_SHUFFLE(ab1, c, 10, 1, 2, 11, 4, 5, 12, 7)));
    store(p + 16, f64x8(SIMD_SHUFFLE(ab2, c, 0, 13, 2, 3, 14, 5, 6, 15)));
}

// Lane l = v[W-1-l].
SIMD_INLINE f64x2 reverse(f64x2 v) { return SIMD_SHUFFLE(v, v, 1, 0); }
SIMD_INLINE f64x4 reverse(f64x4 v) { return SIMD_SHUFFLE(v, v, 3, 2, 1, 0); }
SIMD_INLINE f64x8 reverse(f64x8 v) { return SIMD_SHUFFLE(v, v, 7, 6, 5, 4, 3, 2, 1, 0); }

// dst[c * dst_stride + l] = src[l * src_stride + c], l, c = 0 .. W-1: a W x W
// block of doubles transposed (lanes of a row become a column).
template <class V>
SIMD_INLINE void transpose_block(const double* src, std::ptrdiff_t src_stride, double* dst, std::ptrdiff_t dst_stride)
{
    constexpr int W = lanes<V>;
    if constexpr (W == 2) {
        const f64x2 r0 = load<f64x2>(src), r1 = load<f64x2>(src + src_stride);
        store(dst, f64x2(SIMD_SHUFFLE(r0, r1, 0, 2)));
        store(dst + dst_stride, f64x2(SIMD_SHUFFLE(r0, r1, 1, 3)));
        return;
    } else if constexpr (W == 4) {
        const f64x4 r0 = load<f64x4>(src), r1 = load<f64x4>(src + src_stride), r2 = load<f64x4>(src + 2 * src_stride),
                    r3 = load<f64x4>(src + 3 * src_stride);
        const f64x4 t0 = SIMD_SHUFFLE(r0, r1, 0, 4, 2, 6), t1 = SIMD_SHUFFLE(r0, r1, 1, 5, 3, 7),
                    t2 = SIMD_SHUFFLE(r2, r3, 0, 4, 2, 6), t3 = SIMD_SHUFFLE(r2, r3, 1, 5, 3, 7);
        store(dst, f64x4(SIMD_SHUFFLE(t0, t2, 0, 1, 4, 5)));
        store(dst + dst_stride, f64x4(SIMD_SHUFFLE(t1, t3, 0, 1, 4, 5)));
        store(dst + 2 * dst_stride, f64x4(SIMD_SHUFFLE(t0, t2, 2, 3, 6, 7)));
        store(dst + 3 * dst_stride, f64x4(SIMD_SHUFFLE(t1, t3, 2, 3, 6, 7)));
        return;
    }
    for (int c = 0; c < W; ++c)
        for (int l = 0; l < W; ++l) dst[c * dst_stride + l] = src[l * src_stride + c];
}

} // namespace simd
