#include "periodic.hpp"

#include <algorithm>

#include "common/filter_taps.hpp"
#include "simd/simd.hpp"

// Every sum below keeps the order of its formula: one accumulator per
// output, started at 0.0, taps added in ascending k. A vector V holds W
// neighbouring outputs, each in its own lane, so the vector paths give the
// doubles the one-output-at-a-time loop gives. The analysis kernels read
// tap k of W neighbouring outputs (W values two apart) as one lane set of
// 2W contiguous values split into even and odd lanes.

namespace {

// Output i of either analysis kernel where its taps may wrap, the signal
// delayed by `delay` (0 or 1) samples: the running index t starts at
// 2i - delay (rising, lowpass) or 2i + 1 - delay (falling, highpass) and is
// set back into 0 .. n-1 by one addition or subtraction of n.
double lowpass_wrapped(const double* x, int n, int delay, const double* h, int m, int i)
{
    int t = 2 * i - delay;
    if (t < 0) t += n;
    double s = 0.0;
    for (int k = 0; k < m; ++k) {
        if (t >= n) t -= n;
        s += h[k] * x[t];
        ++t;
    }
    return s;
}

double highpass_wrapped(const double* x, int n, int delay, const double* g, int m, int i)
{
    int t = 2 * i + 1 - delay;
    double s = 0.0;
    for (int k = 0; k < m; ++k) {
        if (t < 0) t += n;
        s += g[k] * x[t];
        --t;
    }
    return s;
}

// Outputs i .. i+W-1 of both analysis halves (either may be null), all
// taps inside x; both sums are formed before either is stored.
template <class V>
SIMD_INLINE void analysis_direct(const double* x, int delay, const double* h, const double* g, int m, int i,
                                 double* lo, double* hi)
{
    const V l = rising_taps<V>(x + 2 * i - delay, h, m);
    const V r = falling_taps<V>(x + 2 * i - delay + 1, g, m);
    if (lo) simd::store(lo + i, l);
    if (hi) simd::store(hi + i, r);
}

// lo[i] = sum_k h[k] x[(2i + k - delay) mod n], hi[i] = sum_k g[k] x[(2i + 1 - k - delay) mod n],
// i = 0 .. n/2-1 (either output may be null; delay 0, or 1 for the signal
// delayed by one sample).
struct analysis_kernel {
    template <class V>
    SIMD_INLINE static void run(const double* x, int n, int delay, const double* h, const double* g, int m,
                                double* lo, double* hi)
    {
        constexpr int W = simd::lanes<V>;
        const int half = n / 2;
        // Outputs i .. i+W-1 are direct when every value read is inside.
        // The taps are read as whole lane pairs, reach = m rounded up to
        // even values: x[2i + 2 - reach - delay] (highpass) to
        // x[2(i + W - 1) + reach - 1 - delay] (lowpass).
        const int reach = m + m % 2;
        const int first = std::min((reach + delay - 1) / 2, half);
        int i = first;
        const auto direct = [&](int at) { return 2 * (at + W - 1) + std::max(reach - delay, 2) <= n; };
        if (m == 2) { // two taps (the Haar filter): loops unrolled, taps held in registers
            const double h2[2] = {h[0], h[1]}, g2[2] = {g[0], g[1]};
            for (; direct(i); i += W) analysis_direct<V>(x, delay, h2, g2, 2, i, lo, hi);
        } else
            for (; direct(i); i += W) analysis_direct<V>(x, delay, h, g, m, i, lo, hi);
        for (int k = 0; k < half; ++k) {
            if (k == first) k = i;
            if (k >= half) break;
            if (lo) lo[k] = lowpass_wrapped(x, n, delay, h, m, k);
            if (hi) hi[k] = highpass_wrapped(x, n, delay, g, m, k);
        }
    }
};

// Which halves a synthesis step computes.
enum Halves { lowpass_half = 1, highpass_half = 2, both_halves = 3 };

// The pair y[2i], y[2i+1] of outputs i .. i+W-1 (H says which halves are
// summed, lowpass first), all taps inside the input:
//   lowpass  y[2i] = sum_k h[2k] c[i-k],   y[2i+1] = sum_k h[2k+1] c[i-k]
//   highpass y[2i+1] = sum_k g[2k] d[i+k], y[2i] = sum_k g[2k+1] d[i+k]
template <class V, int H>
SIMD_INLINE void synthesis_pair(const double* c, const double* d, const double* h, const double* g, int m, int i,
                                double* y)
{
    const int mo = (m + 1) / 2, me = m / 2;
    V even = V{}, odd = V{};
    if (H & lowpass_half) {
        int k = 0;
        for (; k < me; ++k) {
            const V ck = simd::load<V>(c + i - k);
            even = even + h[2 * k] * ck;
            odd = odd + h[2 * k + 1] * ck;
        }
        if (k < mo) even = even + h[2 * k] * simd::load<V>(c + i - k);
    }
    if (H & highpass_half) {
        V hodd = V{}, heven = V{};
        int k = 0;
        for (; k < me; ++k) {
            const V dk = simd::load<V>(d + i + k);
            hodd = hodd + g[2 * k] * dk;
            heven = heven + g[2 * k + 1] * dk;
        }
        if (k < mo) hodd = hodd + g[2 * k] * simd::load<V>(d + i + k);
        join_channels<(H & lowpass_half) != 0>(even, odd, heven, hodd);
    }
    simd::store_interleaved(y + 2 * i, even, odd);
}

// The same pair for an i whose taps wrap around the input.
template <int H>
void synthesis_pair_wrapped(const double* c, const double* d, int nc, const double* h, const double* g, int m, int i,
                            double* y)
{
    const int mo = (m + 1) / 2, me = m / 2;
    double even = 0.0, odd = 0.0;
    if (H & lowpass_half) {
        int t = i;
        for (int k = 0; k < mo; ++k) {
            even += h[2 * k] * c[t];
            if (--t < 0) t += nc;
        }
        t = i;
        for (int k = 0; k < me; ++k) {
            odd += h[2 * k + 1] * c[t];
            if (--t < 0) t += nc;
        }
    }
    if (H & highpass_half) {
        double hodd = 0.0, heven = 0.0;
        int t = i;
        for (int k = 0; k < mo; ++k) {
            hodd += g[2 * k] * d[t];
            if (++t >= nc) t -= nc;
        }
        t = i;
        for (int k = 0; k < me; ++k) {
            heven += g[2 * k + 1] * d[t];
            if (++t >= nc) t -= nc;
        }
        join_channels<(H & lowpass_half) != 0>(even, odd, heven, hodd);
    }
    y[2 * i] = even;
    y[2 * i + 1] = odd;
}

template <int H> struct synthesis_kernel {
    template <class V>
    SIMD_INLINE static void run(const double* c, const double* d, int nc, const double* h, const double* g, int m,
                                double* y)
    {
        constexpr int W = simd::lanes<V>;
        const int mo = (m + 1) / 2;
        // Direct for i in [lo, hi): c[i - k] needs i >= mo - 1, d[i + k] needs i <= nc - mo.
        const int lo = std::min(H & lowpass_half ? std::max(mo - 1, 0) : 0, nc);
        const int hi = std::max(lo, H & highpass_half ? std::min(nc - mo + 1, nc) : nc);
        int i = lo;
        for (; i + W <= hi; i += W) synthesis_pair<V, H>(c, d, h, g, m, i, y);
        for (; i < hi; ++i) synthesis_pair<double, H>(c, d, h, g, m, i, y);
        for (i = 0; i < lo; ++i) synthesis_pair_wrapped<H>(c, d, nc, h, g, m, i, y);
        for (i = hi; i < nc; ++i) synthesis_pair_wrapped<H>(c, d, nc, h, g, m, i, y);
    }
};

} // namespace

void mirror_filter(const double* h, double* g, int m)
{
    int sign = 1;
    for (int k = 0; k < m; ++k) {
        g[k] = h[k] * sign;
        sign = -sign;
    }
}

void downsample_lowpass_periodic(const double* x, int n, const double* h, int m, double* y)
{
    simd::dispatch<analysis_kernel>(x, n, 0, h, h, m, y, static_cast<double*>(nullptr));
}

void downsample_highpass_periodic(const double* x, int n, const double* g, int m, double* y)
{
    simd::dispatch<analysis_kernel>(x, n, 0, g, g, m, static_cast<double*>(nullptr), y);
}

void analysis_step(const double* x, int n, const double* h, const double* g, int m, double* lo, double* hi)
{
    simd::dispatch<analysis_kernel>(x, n, 0, h, g, m, lo, hi);
}

void analysis_step_delayed(const double* x, int n, const double* h, const double* g, int m, double* lo, double* hi)
{
    simd::dispatch<analysis_kernel>(x, n, 1, h, g, m, lo, hi);
}

void upsample_lowpass_periodic(const double* c, int nc, const double* h, int m, double* y)
{
    simd::dispatch<synthesis_kernel<lowpass_half>>(c, c, nc, h, h, m, y);
}

void upsample_highpass_periodic(const double* d, int nc, const double* g, int m, double* y)
{
    simd::dispatch<synthesis_kernel<highpass_half>>(d, d, nc, g, g, m, y);
}

void synthesis_step(const double* c, const double* d, int nc, const double* h, const double* g, int m, double* y)
{
    simd::dispatch<synthesis_kernel<both_halves>>(c, d, nc, h, g, m, y);
}
