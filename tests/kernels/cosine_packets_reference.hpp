// The DCT-IV as the cosine-packet kernels first computed it: the block on
// the odd positions of a zero-padded real FFT of length 8f, radix 2, with
// twiddles by recurrence. Kept as the reference that the faster kernel is
// held to (same values within rounding, no larger error). Its sines are
// rounded from double-double ones, so it is the same on every platform.
#pragma once

#include <cmath>
#include <cstddef>
#include <utility>

#include "tests/support/double_double.hpp"

// Z[k] = sum_j z[j] e^(+2 pi i jk/K) in place on K interleaved complex
// values (d[2j] real, d[2j+1] imaginary), K a power of two.
inline void complex_fft(double* d, std::ptrdiff_t K)
{
    // Positions p = 1 .. 2K below are 1-based: position p is d[p - 1].
    double* a = d - 1;
    const std::ptrdiff_t n2 = 2 * K;
    std::ptrdiff_t j = 1;
    for (std::ptrdiff_t i = 1; i < n2; i += 2) {
        if (i < j) {
            std::swap(a[j], a[i]);
            std::swap(a[j + 1], a[i + 1]);
        }
        std::ptrdiff_t q = K;
        while (q > 1 && q < j) {
            j -= q;
            q /= 2;
        }
        j += q;
    }
    std::ptrdiff_t span = 2;
    while (span < n2) {
        const std::ptrdiff_t stride = 2 * span;
        const double theta = 6.28318530717959 / static_cast<double>(span);
        const double h = sin_rounded(0.5 * theta);
        const double gr = -2.0 * h * h;
        const double gi = sin_rounded(theta);
        double ur = 1.0, ui = 0.0;
        for (std::ptrdiff_t s = 1; s < span; s += 2) {
            for (std::ptrdiff_t i = s; i <= n2; i += stride) {
                const std::ptrdiff_t k = i + span;
                const double tr = ur * a[k] - ui * a[k + 1];
                const double ti = ur * a[k + 1] + ui * a[k];
                a[k] = a[i] - tr;
                a[k + 1] = a[i + 1] - ti;
                a[i] = tr + a[i];
                a[i + 1] = ti + a[i + 1];
            }
            const double t = ur;
            ur = ur + (ur * gr - ui * gi);
            ui = ui + (ui * gr + t * gi);
        }
        span = stride;
    }
}

// F[k] = sum_j d[j] e^(+2 pi i jk/N), packed in place: d[0] = F[0],
// d[1] = F[N/2], d[2k] = Re F[k], d[2k+1] = Im F[k] (0 < k < N/2).
inline void real_fft(double* d, std::ptrdiff_t N)
{
    complex_fft(d, N / 2);
    const double theta = 3.141592653589793 / static_cast<double>(N / 2);
    const double h = sin_rounded(0.5 * theta);
    const double gr = -2.0 * h * h;
    const double gi = sin_rounded(theta);
    double ur = 1.0 + gr, ui = gi;
    const double k1 = 0.5, k2 = -0.5;
    for (std::ptrdiff_t k = 1; k < N / 4; ++k) {
        const std::ptrdiff_t p1 = 2 * k, p2 = 2 * k + 1, p3 = N - 2 * k, p4 = N - 2 * k + 1;
        const double ar = k1 * (d[p1] + d[p3]);
        const double ai = k1 * (d[p2] - d[p4]);
        const double br = -k2 * (d[p2] + d[p4]);
        const double bi = k2 * (d[p1] - d[p3]);
        d[p1] = ar + ur * br - ui * bi;
        d[p2] = ai + ur * bi + ui * br;
        d[p3] = ar - ur * br + ui * bi;
        d[p4] = -ai + ur * bi + ui * br;
        const double t = ur;
        ur = ur + (ur * gr - ui * gi);
        ui = ui + (ui * gr + t * gi);
    }
    const double t = d[0];
    d[0] = t + d[1];
    d[1] = t - d[1];
}

// y = DCT-IV of x (f values); buf: 8f doubles of scratch.
inline void reference_cosine_transform_type4(const double* x, int f, double* y, double* buf)
{
    const std::ptrdiff_t N = 8 * static_cast<std::ptrdiff_t>(f);
    for (std::ptrdiff_t j = 0; j < N; ++j) buf[j] = 0.0;
    for (std::ptrdiff_t j = 0; j < f; ++j) buf[2 * j + 1] = x[j];
    real_fft(buf, N);
    const double s = std::sqrt(2.0 / f);
    for (std::ptrdiff_t k = 0; k < f; ++k) y[k] = s * buf[4 * k + 2];
}
