#include "periodic.hpp"

#include <algorithm>

#include "host/simd.hpp"

// Every sum below keeps the order of its formula: one accumulator per
// output, started at 0.0, taps added in ascending k. A vector V holds W
// neighbouring outputs, each in its own lane, so the vector paths give the
// doubles the one-output-at-a-time loop gives.
//
// The analysis kernels read the signal split by phase, e[i] = x[2i] and
// o[i] = x[2i+1], so that the tap k of W neighbouring outputs is W
// contiguous values. The natural-order kernels of the header run the same
// code one output at a time with a stride of 2 (e = x, o = x + 1).

namespace {

// x[t] of a signal held as e, o with stride S.
template <int S> SIMD_INLINE double phase_at(const double* e, const double* o, int t)
{
    return (t & 1 ? o : e)[S * (t >> 1)];
}

// sum_k h[k] x[2i + k] for outputs i .. i+W-1, all taps inside the signal;
// e and o point at phase index i: x[2i + 2j] = e[S*j], x[2i + 2j + 1] = o[S*j].
template <class V, int S> SIMD_INLINE V lowpass_taps(const double* e, const double* o, const double* h, int m)
{
    V s = V{};
    int k = 0;
    for (; k + 1 < m; k += 2) {
        s = s + h[k] * simd::load<V>(e + S * (k / 2));
        s = s + h[k + 1] * simd::load<V>(o + S * (k / 2));
    }
    if (k < m) s = s + h[k] * simd::load<V>(e + S * (k / 2));
    return s;
}

// sum_k g[k] x[2i + 1 - k]: x[2i + 1 - 2j] = o[-S*j], x[2i - 2j] = e[-S*j].
template <class V, int S> SIMD_INLINE V highpass_taps(const double* e, const double* o, const double* g, int m)
{
    V s = V{};
    int k = 0;
    for (; k + 1 < m; k += 2) {
        s = s + g[k] * simd::load<V>(o - S * (k / 2));
        s = s + g[k + 1] * simd::load<V>(e - S * (k / 2));
    }
    if (k < m) s = s + g[k] * simd::load<V>(o - S * (k / 2));
    return s;
}

// y[i] = sum_k h[k] x[(2i + k) mod n], i = 0 .. n/2-1.
template <class V, int S>
SIMD_INLINE void lowpass_outputs(const double* e, const double* o, int n, const double* h, int m, double* y)
{
    constexpr int W = simd::lanes<V>;
    const int half = n / 2;
    // Outputs 0 .. last read x[2i + k] inside the signal; clamped so that no
    // output beyond half - 1 is ever written (m = 0, or n = 1).
    int last = half - m / 2;
    if (2 * last + m - 1 >= n) --last;
    last = std::min(std::max(last, -1), half - 1);
    int i = 0;
    for (; i + W - 1 <= last; i += W) simd::store(y + i, lowpass_taps<V, S>(e + S * i, o + S * i, h, m));
    for (; i <= last; ++i) y[i] = lowpass_taps<double, S>(e + S * i, o + S * i, h, m);
    for (; i < half; ++i) {
        int t = 2 * i;
        double s = 0.0;
        for (int k = 0; k < m; ++k) {
            if (t >= n) t -= n;
            s += h[k] * phase_at<S>(e, o, t);
            ++t;
        }
        y[i] = s;
    }
}

// y[i] = sum_k g[k] x[(2i + 1 - k) mod n], i = 0 .. n/2-1.
template <class V, int S>
SIMD_INLINE void highpass_outputs(const double* e, const double* o, int n, const double* g, int m, double* y)
{
    constexpr int W = simd::lanes<V>;
    const int half = n / 2;
    // Outputs first .. half-1 read x[2i + 1 - k] inside the signal.
    int first = m / 2 - 1;
    if (2 * first + 1 - (m - 1) < 0) ++first;
    first = std::min(std::max(first, 0), half);
    int i = first;
    for (; i + W <= half; i += W) simd::store(y + i, highpass_taps<V, S>(e + S * i, o + S * i, g, m));
    for (; i < half; ++i) y[i] = highpass_taps<double, S>(e + S * i, o + S * i, g, m);
    for (i = 0; i < first; ++i) {
        int t = 2 * i + 1;
        double s = 0.0;
        for (int k = 0; k < m; ++k) {
            if (t < 0) t += n;
            s += g[k] * phase_at<S>(e, o, t);
            --t;
        }
        y[i] = s;
    }
}

struct analysis_kernel {
    template <class V>
    SIMD_INLINE static void run(const double* e, const double* o, int n, const double* h, const double* g, int m,
                                double* lo, double* hi)
    {
        lowpass_outputs<V, 1>(e, o, n, h, m, lo);
        highpass_outputs<V, 1>(e, o, n, g, m, hi);
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
        if (H & lowpass_half) {
            even = even + heven;
            odd = odd + hodd;
        } else {
            even = heven;
            odd = hodd;
        }
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
        if (H & lowpass_half) {
            even = even + heven;
            odd = odd + hodd;
        } else {
            even = heven;
            odd = hodd;
        }
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
    lowpass_outputs<double, 2>(x, x + 1, n, h, m, y);
}

void downsample_highpass_periodic(const double* x, int n, const double* g, int m, double* y)
{
    highpass_outputs<double, 2>(x, x + 1, n, g, m, y);
}

void analysis_step_split(const double* e, const double* o, int n, const double* h, const double* g, int m,
                         double* lo, double* hi)
{
    simd::dispatch<analysis_kernel>(e, o, n, h, g, m, lo, hi);
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
