// Accurate references for the orthonormal DCT-II/III and DST-II/III: the
// transforms through a radix-2 complex FFT of the same length, in
// double-double arithmetic with twiddles of exactly reduced angles, good to
// about 2^-100 relative, far below the errors they measure. The DCT-II is
// the FFT of the reordered input, then rotated ("A fast cosine transform in
// one and two dimensions", 1980); the DCT-III runs those steps backwards.
// The sine transforms follow from the cosine ones by a sign alternation and
// an index reversal, which are exact.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "tests/support/double_double.hpp"

namespace trig_accuracy {

struct Complex {
    DD re, im;
};

inline Complex operator+(Complex a, Complex b) { return {a.re + b.re, a.im + b.im}; }
inline Complex operator-(Complex a, Complex b) { return {a.re - b.re, a.im - b.im}; }
inline Complex operator*(Complex a, Complex b)
{
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// a <- sum_j a_j e^(sign 2 pi i j k / n), n a power of two, unscaled.
inline void fft(std::vector<Complex>& a, int sign)
{
    const long n = static_cast<long>(a.size());
    for (long i = 1, j = 0; i < n; ++i) {
        long bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    std::vector<Complex> w(n / 2);
    for (long k = 0; k < n / 2; ++k) {
        DD s, c;
        sincos_pi_dd(2 * k, n, s, c);
        w[k] = {c, sign < 0 ? -s : s};
    }
    for (long len = 2; len <= n; len *= 2)
        for (long i = 0; i < n; i += len)
            for (long j = 0; j < len / 2; ++j) {
                const Complex u = a[i + j], v = a[i + j + len / 2] * w[j * (n / len)];
                a[i + j] = u + v;
                a[i + j + len / 2] = u - v;
            }
}

// sqrt(1/n) for k = 0, sqrt(2/n) otherwise: the orthonormal weights.
inline DD weight(long k, long n) { return sqrt_dd((k == 0 ? 1.0 : 2.0) / static_cast<double>(n)); }

inline std::vector<DD> dct2(const std::vector<double>& x)
{
    const long n = static_cast<long>(x.size());
    std::vector<Complex> v(n, Complex{{0, 0}, {0, 0}});
    for (long j = 0; j < n / 2; ++j) {
        v[j].re = {x[2 * j], 0.0};
        v[n - 1 - j].re = {x[2 * j + 1], 0.0};
    }
    if (n == 1) v[0].re = {x[0], 0.0};
    fft(v, -1);
    std::vector<DD> y(n);
    for (long k = 0; k < n; ++k) {
        DD s, c;
        sincos_pi_dd(k, 2 * n, s, c); // Re(e^(-i pi k / 2n) v_k)
        y[k] = (c * v[k].re + s * v[k].im) * weight(k, n);
    }
    return y;
}

inline std::vector<DD> dct3(const std::vector<double>& y)
{
    const long n = static_cast<long>(y.size());
    std::vector<DD> c(n + 1, DD{0, 0});
    for (long k = 0; k < n; ++k) c[k] = DD{y[k], 0.0} * weight(k, n) * (k == 0 ? 1.0 : 0.5);
    std::vector<Complex> v(n);
    for (long k = 0; k < n; ++k) {
        DD s, co;
        sincos_pi_dd(k, 2 * n, s, co); // e^(i pi k / 2n) (c_k - i c_(n-k))
        const DD a = c[k], b = k == 0 ? DD{0, 0} : c[n - k];
        v[k] = {co * a + s * b, s * a - co * b};
    }
    fft(v, 1);
    std::vector<DD> x(n);
    for (long j = 0; j < n / 2; ++j) {
        x[2 * j] = v[j].re;
        x[2 * j + 1] = v[n - 1 - j].re;
    }
    if (n == 1) x[0] = v[0].re;
    return x;
}

inline std::vector<double> alternate(std::vector<double> x)
{
    for (size_t i = 1; i < x.size(); i += 2) x[i] = -x[i];
    return x;
}

inline std::vector<DD> dst2(const std::vector<double>& x)
{
    std::vector<DD> y = dct2(alternate(x));
    return std::vector<DD>(y.rbegin(), y.rend());
}

inline std::vector<DD> dst3(const std::vector<double>& y)
{
    std::vector<DD> x = dct3(std::vector<double>(y.rbegin(), y.rend()));
    for (size_t i = 1; i < x.size(); i += 2) x[i] = -x[i];
    return x;
}

// n values uniform in [-1, 1) on the grid 2^-52, from the 64-bit Mersenne
// twister's integers alone: the same on every platform and library.
inline std::vector<double> uniform_input(long n, unsigned seed)
{
    std::mt19937_64 gen(seed);
    std::vector<double> x(n);
    for (double& v : x) v = static_cast<double>(static_cast<std::int64_t>(gen() >> 11) - (1LL << 52)) * 0x1p-52;
    return x;
}

// ||y - ref|| / ||ref||.
inline double relative_l2_error(const std::vector<double>& y, const std::vector<DD>& ref)
{
    double diff = 0.0, norm = 0.0;
    for (size_t i = 0; i < y.size(); ++i) {
        const DD d = ref[i] - DD{y[i], 0.0};
        const double r = ref[i].hi + ref[i].lo, e = d.hi + d.lo;
        diff += e * e;
        norm += r * r;
    }
    return std::sqrt(diff / norm);
}

} // namespace trig_accuracy
