#include "centred.hpp"

#include <algorithm>

namespace {

// t reduced into 0 .. n-1 by repeated subtraction or addition of n.
int reduce(int t, int n)
{
    while (t >= n) t -= n;
    while (t < 0) t += n;
    return t;
}

// floor(t / 2), rounding towards minus infinity also for negative t.
int floor_half(int t) { return t >= 0 ? t / 2 : -((1 - t) / 2); }

// sum_{j<count} f[first + step*j] x[(start + j) mod n]. When every index lies
// inside the block the plain index is used; otherwise one compare per tap
// sets the running index back to 0 when it reaches n.
double rising_sum(const double* x, int n, const double* f, int first, int step, int count, int start)
{
    int t = reduce(start, n);
    double s = 0.0;
    if (t + count <= n) {
        const double* xt = x + t;
        for (int j = 0; j < count; ++j) s += f[first + step * j] * xt[j];
        return s;
    }
    for (int j = 0; j < count; ++j) {
        s += f[first + step * j] * x[t];
        if (++t == n) t = 0;
    }
    return s;
}

// sum_{j<count} f[first + step*j] x[(start - j) mod n], the running index
// raised by n when it drops below 0.
double falling_sum(const double* x, int n, const double* f, int first, int step, int count, int start)
{
    int t = reduce(start, n);
    double s = 0.0;
    if (t - count + 1 >= 0) {
        const double* xt = x + t;
        for (int j = 0; j < count; ++j) s += f[first + step * j] * xt[-j];
        return s;
    }
    for (int j = 0; j < count; ++j) {
        s += f[first + step * j] * x[t];
        if (--t < 0) t = n - 1;
    }
    return s;
}

} // namespace

void mirror_filter_centred(const double* src, double* dst, int L)
{
    if (L <= 0) return;
    double sign = 1.0;
    for (int k = 0; k < (L - 1) / 2; ++k) sign = -sign;
    for (int i = 0; i < L; ++i) {
        dst[i] = sign * src[i];
        sign = -sign;
    }
}

void downsample_lowpass_centred(const double* x, int n, const double* g, int L, double* out)
{
    // The first tap of output i meets x[2i - floor(L/2)] = x[n + ceil(L/2) - L + 2i].
    for (int i = 0; i < n / 2; ++i) out[i] = rising_sum(x, n, g, 0, 1, L, n + (L + 1) / 2 - L + 2 * i);
}

void downsample_highpass_centred(const double* x, int n, const double* h, int L, double* out)
{
    // The first tap of output i meets x[2i + ceil(L/2)]; later taps step back.
    for (int i = 0; i < n / 2; ++i) out[i] = falling_sum(x, n, h, 0, 1, L, (L + 1) / 2 + 2 * i);
}

// Both synthesis kernels split the filter by phase r: taps r, r + 2, ... meet
// the one output of a pair, taps 1 - r, 3 - r, ... the other. Counting only
// the taps that exist ((L + 1 - r)/2 and (L + r)/2 of them) is the
// convolution form for every length, also for even lengths whose phase is 1.

void upsample_lowpass_centred(const double* a, int m, const double* g, int L, double* out)
{
    const int t = (L + 1) / 2 - 1;
    const int q = floor_half(t);
    const int r = t - 2 * q;
    const int n1 = (L + 1 - r) / 2, n2 = (L + r) / 2;
    // Pair i reads a[c - n1 + 1 .. c] and a[c + r - n2 + 1 .. c + r], c = q + i:
    // inside the block for i in [lo, hi), where plain indices serve.
    const int lo = std::min(m, std::max(0, std::max(std::max(n1 - 1, n2 - 1 - r), 0) - q));
    const int hi = std::max(lo, std::min(m, m - r - q));
    for (int i = lo; i < hi; ++i) {
        const double* p = a + (q + i);
        double s1 = 0.0, s2 = 0.0;
        for (int j = 0; j < n1; ++j) s1 += g[r + 2 * j] * p[-j];
        for (int j = 0; j < n2; ++j) s2 += g[1 - r + 2 * j] * p[r - j];
        out[2 * i] = s1;
        out[2 * i + 1] = s2;
    }
    for (int i = 0; i < m; ++i) {
        if (i == lo) i = hi;
        if (i >= m) break;
        const int c = q + i;
        out[2 * i] = falling_sum(a, m, g, r, 2, n1, c);
        out[2 * i + 1] = falling_sum(a, m, g, 1 - r, 2, n2, c + r);
    }
}

void upsample_highpass_centred(const double* d, int m, const double* h, int L, double* out)
{
    const int t = (L + 1) / 2 + 2 * m - L;
    const int q = floor_half(t);
    const int r = t - 2 * q;
    const int n1 = (L + 1 - r) / 2, n2 = (L + r) / 2;
    // Pair i reads d[c + r .. c + r + n1 - 1] and d[c .. c + n2 - 1], c = q + i:
    // inside the block for i in [lo, hi), where plain indices serve.
    const int lo = std::min(m, std::max(0, -q));
    const int hi = std::max(lo, std::min(m, m - q - std::max(std::max(r + n1 - 1, n2 - 1), 0)));
    for (int i = lo; i < hi; ++i) {
        const double* p = d + (q + i);
        double s1 = 0.0, s2 = 0.0;
        for (int j = 0; j < n1; ++j) s1 += h[r + 2 * j] * p[r + j];
        for (int j = 0; j < n2; ++j) s2 += h[1 - r + 2 * j] * p[j];
        out[2 * i + 1] = s1;
        out[2 * i] = s2;
    }
    for (int i = 0; i < m; ++i) {
        if (i == lo) i = hi;
        if (i >= m) break;
        const int c = q + i;
        out[2 * i + 1] = rising_sum(d, m, h, r, 2, n1, c + r);
        out[2 * i] = rising_sum(d, m, h, 1 - r, 2, n2, c);
    }
}
