// The complex FFT of the DCT-IV written once for a value type V: double for
// one block, or a vector whose lane l belongs to block (or sub-transform) l.
// Every lane does the scalar's operations in the scalar's order, so each
// path gives the same doubles.
//
// Twiddle tables: per radix-4 stage of span L = K, K/4, ... (q = L/4),
// six arrays of q doubles side by side: Re w^k, Im w^k, Re w^2k, Im w^2k,
// Re w^3k, Im w^3k (w = e^(-2 pi i/L), k < q).
#pragma once

#include <cstddef>

#include "simd/simd.hpp"

namespace dct4_lanes {

// One radix-4 decimation-in-frequency butterfly on a0 .. a3 (T is double
// or V: twiddles broadcast, or one per lane):
//   a0 = t0 + t2,  a1 = (t0 - t2) w^2k,  a2 = (t1 - i t3) w^k,  a3 = (t1 + i t3) w^3k
// with t0 = a0 + a2, t1 = a0 - a2, t2 = a1 + a3, t3 = a1 - a3.
template <class V, class T>
SIMD_INLINE void butterfly4(V& a0r, V& a0i, V& a1r, V& a1i, V& a2r, V& a2i, V& a3r, V& a3i, const T& w1r,
                            const T& w1i, const T& w2r, const T& w2i, const T& w3r, const T& w3i)
{
    const V t0r = a0r + a2r, t0i = a0i + a2i;
    const V t1r = a0r - a2r, t1i = a0i - a2i;
    const V t2r = a1r + a3r, t2i = a1i + a3i;
    const V t3r = a1r - a3r, t3i = a1i - a3i;
    const V ar = t0r - t2r, ai = t0i - t2i;
    const V br = t1r + t3i, bi = t1i - t3r;
    const V cr = t1r - t3i, ci = t1i + t3r;
    a0r = t0r + t2r;
    a0i = t0i + t2i;
    a1r = ar * w2r - ai * w2i;
    a1i = ar * w2i + ai * w2r;
    a2r = br * w1r - bi * w1i;
    a2i = br * w1i + bi * w1r;
    a3r = cr * w3r - ci * w3i;
    a3i = cr * w3i + ci * w3r;
}

// The stages of span L, L/4, ... down to the end (a last radix-2 stage when
// L reaches 2) on K complex values, each group of L values on its own; tw:
// the twiddles of stage L on. Value j is the vectors z[2jW .. 2jW+W) (real
// parts) and z[(2j+1)W .. (2j+2)W) (imaginary parts), W the lanes of V, so
// one lane reads as the interleaved complex doubles of one transform.
// Decimation in frequency: the result is left in bit-reversed order.
template <class V> SIMD_INLINE void fft_stages(double* z, std::ptrdiff_t K, std::ptrdiff_t L, const double* tw)
{
    constexpr std::ptrdiff_t W = simd::lanes<V>;
    for (; L >= 4; L /= 4) {
        const std::ptrdiff_t q = L / 4;
        for (std::ptrdiff_t b = 0; b < K; b += L) {
            double* a = z + 2 * W * b;
            for (std::ptrdiff_t k = 0; k < q; ++k) {
                double* p0 = a + 2 * W * k;
                double* p1 = p0 + 2 * W * q;
                double* p2 = p1 + 2 * W * q;
                double* p3 = p2 + 2 * W * q;
                V a0r = simd::load<V>(p0), a0i = simd::load<V>(p0 + W);
                V a1r = simd::load<V>(p1), a1i = simd::load<V>(p1 + W);
                V a2r = simd::load<V>(p2), a2i = simd::load<V>(p2 + W);
                V a3r = simd::load<V>(p3), a3i = simd::load<V>(p3 + W);
                butterfly4(a0r, a0i, a1r, a1i, a2r, a2i, a3r, a3i, tw[k], tw[q + k], tw[2 * q + k], tw[3 * q + k],
                           tw[4 * q + k], tw[5 * q + k]);
                simd::store(p0, a0r), simd::store(p0 + W, a0i);
                simd::store(p1, a1r), simd::store(p1 + W, a1i);
                simd::store(p2, a2r), simd::store(p2 + W, a2i);
                simd::store(p3, a3r), simd::store(p3 + W, a3i);
            }
        }
        tw += 6 * q;
    }
    if (L == 2) {
        for (std::ptrdiff_t b = 0; b < 2 * W * K; b += 4 * W) {
            const V ar = simd::load<V>(z + b), ai = simd::load<V>(z + b + W);
            const V br = simd::load<V>(z + b + 2 * W), bi = simd::load<V>(z + b + 3 * W);
            simd::store(z + b, ar + br);
            simd::store(z + b + W, ai + bi);
            simd::store(z + b + 2 * W, ar - br);
            simd::store(z + b + 3 * W, ai - bi);
        }
    }
}

// One radix-4 stage of span L (q = L/4 a multiple of the lanes) on K complex
// doubles z, lanes across k: W butterflies of one group at a time.
template <class V> SIMD_INLINE void fft_stage_across_k(double* z, std::ptrdiff_t K, std::ptrdiff_t L, const double* tw)
{
    const std::ptrdiff_t q = L / 4;
    for (std::ptrdiff_t b = 0; b < K; b += L) {
        double* a = z + 2 * b;
        for (std::ptrdiff_t k = 0; k < q; k += simd::lanes<V>) {
            double* p0 = a + 2 * k;
            double* p1 = p0 + 2 * q;
            double* p2 = p1 + 2 * q;
            double* p3 = p2 + 2 * q;
            V a0r, a0i, a1r, a1i, a2r, a2i, a3r, a3i;
            simd::load_deinterleaved(p0, a0r, a0i);
            simd::load_deinterleaved(p1, a1r, a1i);
            simd::load_deinterleaved(p2, a2r, a2i);
            simd::load_deinterleaved(p3, a3r, a3i);
            butterfly4(a0r, a0i, a1r, a1i, a2r, a2i, a3r, a3i, simd::load<V>(tw + k), simd::load<V>(tw + q + k),
                       simd::load<V>(tw + 2 * q + k), simd::load<V>(tw + 3 * q + k), simd::load<V>(tw + 4 * q + k),
                       simd::load<V>(tw + 5 * q + k));
            simd::store_interleaved(p0, a0r, a0i);
            simd::store_interleaved(p1, a1r, a1i);
            simd::store_interleaved(p2, a2r, a2i);
            simd::store_interleaved(p3, a3r, a3i);
        }
    }
}

} // namespace dct4_lanes
