#include "centred.hpp"

#include <algorithm>

#include "common/filter_taps.hpp"
#include "simd/simd.hpp"

// Every output is one accumulator, started at 0.0, taps added in ascending
// order; a vector V holds W neighbouring outputs, each in its own lane, so
// every path gives the doubles of the one-output-at-a-time loop. Outputs
// whose taps all lie inside the block take plain indices (W at a time);
// the others reduce a running index by one compare per tap. The analysis
// kernels read tap j of W neighbouring outputs (W values two apart) as the
// even or odd lanes of 2W contiguous values.

namespace {

// floor(t / 2), rounding towards minus infinity also for negative t.
SIMD_INLINE int floor_half(int t) { return t >= 0 ? t / 2 : -((1 - t) / 2); }

// t reduced into 0 .. n-1 by repeated subtraction or addition of n.
int reduce(int t, int n)
{
    while (t >= n) t -= n;
    while (t < 0) t += n;
    return t;
}

// sum_{j<count} f[first + step*j] x[(start + dir*j) mod n], dir = +1 or -1,
// the running index set back into the block by one compare per tap.
double wrapped_sum(const double* x, int n, const double* f, int first, int step, int count, int start, int dir)
{
    int t = reduce(start, n);
    double s = 0.0;
    for (int j = 0; j < count; ++j) {
        s += f[first + step * j] * x[t];
        t += dir;
        if (t == n) t = 0;
        if (t < 0) t = n - 1;
    }
    return s;
}

// lo[i] = sum_{j<Lg} g[j] x[(2i + j - floor(Lg/2)) mod n] and
// hi[i] = sum_{j<Lh} h[j] x[(2i + ceil(Lh/2) - j) mod n], i = 0 .. n/2-1
// (either output may be null).
struct analysis_kernel {
    template <class V>
    SIMD_INLINE static void run(const double* x, int n, const double* g, int Lg, const double* h, int Lh,
                                double* lo, double* hi)
    {
        constexpr int W = simd::lanes<V>;
        const int half = n / 2;
        const int alo = -(Lg / 2), ahi = (Lh + 1) / 2;
        // Outputs i .. i+W-1 are direct when every value read is inside:
        // from x[2i + alo] and x[2i + ahi - Lh] (one below the last highpass
        // tap when Lh is odd) to x[2(i + W - 1) + alo + Lg] (one past the
        // last lowpass tap when Lg is odd) and x[2(i + W - 1) + ahi + 1].
        const int below = std::max(-alo, Lh - ahi), above = std::max(alo + Lg, ahi + 1);
        const int first = std::min(half, (below + 1) / 2);
        int i = first;
        for (; 2 * (i + W - 1) + above < n; i += W) {
            if (lo) simd::store(lo + i, rising_taps<V>(x + 2 * i + alo, g, Lg));
            if (hi) simd::store(hi + i, falling_taps<V>(x + 2 * i + ahi, h, Lh));
        }
        for (int k = 0; k < half; ++k) {
            if (k == first) k = std::max(i, first);
            if (k >= half) break;
            if (lo) lo[k] = wrapped_sum(x, n, g, 0, 1, Lg, 2 * k + alo, 1);
            if (hi) hi[k] = wrapped_sum(x, n, h, 0, 1, Lh, 2 * k + ahi, -1);
        }
    }
};

// The phase split of a synthesis filter of L taps with offset t: q = floor(t/2),
// r = t - 2q; taps r, r + 2, ... (n1 of them) and 1 - r, 3 - r, ... (n2).
struct Phases {
    int q, r, n1, n2;
    Phases(int t, int L) : q(floor_half(t)), r(t - 2 * floor_half(t)), n1((L + 1 - r) / 2), n2((L + r) / 2) {}
};

// The pairs i in [first, end) of a synthesis half whose pair i reads its
// input at q + i - below .. q + i + above: those with every index inside
// 0 .. m-1. Indices count modulo m, so q becomes the one of q mod m, q mod m
// - m that leaves the most pairs direct.
void direct_range(int& q, int below, int above, int m, int& first, int& end)
{
    const int q1 = reduce(q, m), q2 = q1 - m;
    const int first1 = std::max(0, below - q1), end1 = std::min(m, m - above - q1);
    const int first2 = std::max(0, below - q2), end2 = std::min(m, m - above - q2);
    if (end2 - first2 > end1 - first1) {
        q = q2, first = first2, end = end2;
    } else {
        q = q1, first = first1, end = end1;
    }
}

// Which halves a synthesis step computes.
enum Halves { lowpass_half = 1, highpass_half = 2, both_halves = 3 };

// out[2i], out[2i+1] for the W pairs from i (H: which halves, summed
// lowpass first), all indices inside the inputs.
template <class V, int H>
SIMD_INLINE void synthesis_pairs(const double* a, const double* d, const double* g, const double* h, const Phases& pl,
                                 const Phases& ph, int i, double* out)
{
    V even = V{}, odd = V{};
    if (H & lowpass_half) {
        const double* c = a + pl.q + i;
        for (int j = 0; j < pl.n1; ++j) even = even + g[pl.r + 2 * j] * simd::load<V>(c - j);
        for (int j = 0; j < pl.n2; ++j) odd = odd + g[1 - pl.r + 2 * j] * simd::load<V>(c + pl.r - j);
    }
    if (H & highpass_half) {
        const double* c = d + ph.q + i;
        V hodd = V{}, heven = V{};
        for (int j = 0; j < ph.n1; ++j) hodd = hodd + h[ph.r + 2 * j] * simd::load<V>(c + ph.r + j);
        for (int j = 0; j < ph.n2; ++j) heven = heven + h[1 - ph.r + 2 * j] * simd::load<V>(c + j);
        join_channels<(H & lowpass_half) != 0>(even, odd, heven, hodd);
    }
    simd::store_interleaved(out + 2 * i, even, odd);
}

// The same pair for an i whose indices wrap around the inputs.
template <int H>
void synthesis_pair_wrapped(const double* a, const double* d, int m, const double* g, const double* h,
                            const Phases& pl, const Phases& ph, int i, double* out)
{
    double even = 0.0, odd = 0.0;
    if (H & lowpass_half) {
        even = wrapped_sum(a, m, g, pl.r, 2, pl.n1, pl.q + i, -1);
        odd = wrapped_sum(a, m, g, 1 - pl.r, 2, pl.n2, pl.q + i + pl.r, -1);
    }
    if (H & highpass_half) {
        const double hodd = wrapped_sum(d, m, h, ph.r, 2, ph.n1, ph.q + i + ph.r, 1);
        const double heven = wrapped_sum(d, m, h, 1 - ph.r, 2, ph.n2, ph.q + i, 1);
        join_channels<(H & lowpass_half) != 0>(even, odd, heven, hodd);
    }
    out[2 * i] = even;
    out[2 * i + 1] = odd;
}

template <int H> struct synthesis_kernel {
    template <class V>
    SIMD_INLINE static void run(const double* a, const double* d, int m, const double* g, int Lg, const double* h,
                                int Lh, double* out)
    {
        constexpr int W = simd::lanes<V>;
        Phases pl((Lg + 1) / 2 - 1, Lg), ph((Lh + 1) / 2 + 2 * m - Lh, Lh);
        int first = 0, end = m;
        if (H & lowpass_half) {
            // out[2i] = sum_j g[r+2j] a[c-j], out[2i+1] = sum_j g[1-r+2j] a[c+r-j], c = q + i
            int f, e;
            direct_range(pl.q, std::max(std::max(pl.n1 - 1, pl.n2 - 1 - pl.r), 0), pl.r, m, f, e);
            first = std::max(first, f);
            end = std::min(end, e);
        }
        if (H & highpass_half) {
            // out[2i+1] = sum_j h[r+2j] d[c+r+j], out[2i] = sum_j h[1-r+2j] d[c+j], c = q + i
            int f, e;
            direct_range(ph.q, 0, std::max(std::max(ph.r + ph.n1 - 1, ph.n2 - 1), 0), m, f, e);
            first = std::max(first, f);
            end = std::min(end, e);
        }
        first = std::min(first, m);
        end = std::max(end, first);
        int i = first;
        for (; i + W <= end; i += W) synthesis_pairs<V, H>(a, d, g, h, pl, ph, i, out);
        for (; i < end; ++i) synthesis_pairs<double, H>(a, d, g, h, pl, ph, i, out);
        for (i = 0; i < first; ++i) synthesis_pair_wrapped<H>(a, d, m, g, h, pl, ph, i, out);
        for (i = end; i < m; ++i) synthesis_pair_wrapped<H>(a, d, m, g, h, pl, ph, i, out);
    }
};

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
    simd::dispatch<analysis_kernel>(x, n, g, L, g, L, out, static_cast<double*>(nullptr));
}

void downsample_highpass_centred(const double* x, int n, const double* h, int L, double* out)
{
    simd::dispatch<analysis_kernel>(x, n, h, L, h, L, static_cast<double*>(nullptr), out);
}

void analysis_step_centred(const double* x, int n, const double* g, int Lg, const double* h, int Lh, double* lo,
                           double* hi)
{
    simd::dispatch<analysis_kernel>(x, n, g, Lg, h, Lh, lo, hi);
}

// Both synthesis kernels split the filter by phase r: taps r, r + 2, ... meet
// the one output of a pair, taps 1 - r, 3 - r, ... the other. Counting only
// the taps that exist ((L + 1 - r)/2 and (L + r)/2 of them) is the
// convolution form for every length, also for even lengths whose phase is 1.

void upsample_lowpass_centred(const double* a, int m, const double* g, int L, double* out)
{
    simd::dispatch<synthesis_kernel<lowpass_half>>(a, a, m, g, L, g, L, out);
}

void upsample_highpass_centred(const double* d, int m, const double* h, int L, double* out)
{
    simd::dispatch<synthesis_kernel<highpass_half>>(d, d, m, h, L, h, L, out);
}

void synthesis_step_centred(const double* a, const double* d, int m, const double* g, int Lg, const double* h, int Lh,
                            double* out)
{
    simd::dispatch<synthesis_kernel<both_halves>>(a, d, m, g, Lg, h, Lh, out);
}
