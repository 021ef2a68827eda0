// The periodic two-channel sums, written once for the plain and the centred
// filter banks and for signals filtered one at a time or side by side.
//
// A block of n values is one period: index t stands for t mod n. Analysis
// splits it into n/2 lowpass and n/2 highpass values,
//
//     lo[i] = sum_{j<lowpass_taps}  lowpass[j]  x[(2i + lowpass_offset + j) mod n]
//     hi[i] = sum_{j<highpass_taps} highpass[j] x[(2i + highpass_offset - j) mod n]
//
// (plain: offsets -delay and 1 - delay; centred: -floor(taps/2) and
// ceil(taps/2)). Synthesis upsamples each channel of n values to 2n and
// filters it; only every other tap meets a sample, so each output of a pair
// is a sum over one phase of the filter. A channel's phase split comes from
// its offset t: q = floor(t/2), r = t - 2q, and for pair i
//
//     lowpass  y[2i]   = sum_{j<n1} lowpass[r + 2j]      c[(q + i - j) mod n]
//              y[2i+1] = sum_{j<n2} lowpass[1 - r + 2j]  c[(q + i + r - j) mod n]
//     highpass y[2i+1] = sum_{j<n1} highpass[r + 2j]     d[(q + i + r + j) mod n]
//              y[2i]   = sum_{j<n2} highpass[1 - r + 2j] d[(q + i + j) mod n]
//
// with n1 = (taps + 1 - r)/2 and n2 = (taps + r)/2, the taps that exist
// (plain: t = 0 for both channels; centred: ceil(taps/2) - 1 for the lowpass,
// ceil(taps/2) + 2n - taps for the highpass). A pair holds the lowpass sums
// plus the highpass sums, in that order.
//
// Every output is one accumulator, started at 0.0, its taps added in
// ascending j; a vector V holds W neighbouring outputs (or, with a stride,
// the same output of W signals side by side), each in its own lane, so every
// path gives the doubles of the one-output-at-a-time loop. Outputs whose taps
// all lie inside the block take plain indices, W at a time; the others
// reduce a running index by one compare per tap, so a filter may be longer
// than the block and wrap as often as it needs. Outputs are overwritten,
// never accumulated; nothing outside the output range is written.
#pragma once

#include <algorithm>

#include "common/filter_taps.hpp"
#include "simd/simd.hpp"

// Each including source gets its own copy (an unnamed namespace), as for a
// kernel of its own: the compiler sees every call and can specialise the
// loops for a caller's constant offsets and null outputs.
namespace two_channel {
namespace {

// floor(t / 2), rounding towards minus infinity also for negative t.
SIMD_INLINE int floor_half(int t) { return t >= 0 ? t / 2 : -((1 - t) / 2); }

// t reduced into 0 .. n-1 by repeated subtraction or addition of n.
SIMD_INLINE int reduce(int t, int n)
{
    while (t >= n) t -= n;
    while (t < 0) t += n;
    return t;
}

// P vectors side by side, summed lane by lane: the same doubles as P
// separate sums, with the registers of P sums in flight (the rows of a
// tile of the square transforms). load and store move its P*W contiguous
// values.
template <class V, int P> struct Lanes {
    V v[P];
};
template <class V, int P> SIMD_INLINE Lanes<V, P> operator+(const Lanes<V, P>& a, const Lanes<V, P>& b)
{
    Lanes<V, P> s;
    for (int p = 0; p < P; ++p) s.v[p] = a.v[p] + b.v[p];
    return s;
}
template <class V, int P> SIMD_INLINE Lanes<V, P> operator*(double f, const Lanes<V, P>& a)
{
    Lanes<V, P> s;
    for (int p = 0; p < P; ++p) s.v[p] = f * a.v[p];
    return s;
}

// p[0 .. W-1] as a V, or p[0 .. P*W-1] as Lanes<V, P>: one load per vector,
// so that a Lanes never has its address taken and stays in registers.
template <class V> SIMD_INLINE V load_as(const double* p, const V*) { return simd::load<V>(p); }
template <class V, int P> SIMD_INLINE Lanes<V, P> load_as(const double* p, const Lanes<V, P>*)
{
    Lanes<V, P> s;
    for (int k = 0; k < P; ++k) s.v[k] = simd::load<V>(p + k * simd::lanes<V>);
    return s;
}
template <class V> SIMD_INLINE V load_as(const double* p) { return load_as(p, static_cast<const V*>(nullptr)); }
template <class V, int P> SIMD_INLINE void store(double* p, const Lanes<V, P>& s)
{
    for (int k = 0; k < P; ++k) simd::store(p + k * simd::lanes<V>, s.v[k]);
}

// sum_{j<count} f[first + step*j] x[((start + dir*j) mod n) * stride],
// dir = +1 or -1: the running index set back into the block by one compare
// per tap. V = double and stride 1 for one signal; a vector (or Lanes) and
// stride W for W signals interleaved value by value.
template <int dir, class V>
SIMD_INLINE V wrapped_sum(const double* x, int stride, int n, const double* f, int first, int step, int count,
                          int start)
{
    // One unsigned compare when the start lies in the block already.
    const int t0 = static_cast<unsigned>(start) < static_cast<unsigned>(n) ? start : reduce(start, n);
    int t = t0;
    V s = V{};
    for (int j = 0; j < count; ++j) {
        s = s + f[first + step * j] * load_as<V>(x + t * stride);
        if (dir > 0) {
            if (++t == n) t = 0;
        } else {
            if (--t < 0) t = n - 1;
        }
    }
    return s;
}

// The analysis filters: taps and offsets of both channels.
struct AnalysisBank {
    const double* lowpass;
    int lowpass_taps, lowpass_offset;
    const double* highpass;
    int highpass_taps, highpass_offset;
};

// The plain bank: lo[i] starts at x[2i - delay], hi[i] at x[2i + 1 - delay]
// (delay 0, or 1 for the signal delayed by one sample). The centred bank:
// each filter centred on the sample it produces, lowpass output i starting
// at x[2i - floor(taps/2)], highpass output i at x[2i + ceil(taps/2)].
inline AnalysisBank plain_analysis(const double* lowpass, const double* highpass, int taps, int delay = 0)
{
    return {lowpass, taps, -delay, highpass, taps, 1 - delay};
}
constexpr int centred_lowpass_offset(int taps) { return -(taps / 2); }
constexpr int centred_highpass_offset(int taps) { return (taps + 1) / 2; }

// lo[i] and hi[i] of output i, read with wrapping (stride as in wrapped_sum).
template <class V>
SIMD_INLINE V lowpass_wrapped(const double* x, int stride, int n, const AnalysisBank& b, int i)
{
    return wrapped_sum<+1, V>(x, stride, n, b.lowpass, 0, 1, b.lowpass_taps, 2 * i + b.lowpass_offset);
}
template <class V>
SIMD_INLINE V highpass_wrapped(const double* x, int stride, int n, const AnalysisBank& b, int i)
{
    return wrapped_sum<-1, V>(x, stride, n, b.highpass, 0, 1, b.highpass_taps, 2 * i + b.highpass_offset);
}

// lo[i], hi[i], i = 0 .. n/2-1, of one signal (either output may be null).
// adjacent: the plain bank, the highpass sum of output i starting one value
// after the lowpass sum (highpass_offset = lowpass_offset + 1) with as many
// taps, known to the compiler, so that both channels share the lane pairs
// they both read and one loop bound serves both sums.
template <bool adjacent> struct analysis_kernel {
    template <class V>
    SIMD_INLINE static void run(const double* x, int n, const double* lowpass, int lowpass_taps, int lowpass_offset,
                                const double* highpass, int highpass_taps, int highpass_offset, double* lo, double* hi)
    {
        if (adjacent) highpass_offset = lowpass_offset + 1, highpass_taps = lowpass_taps;
        const AnalysisBank b{lowpass, lowpass_taps, lowpass_offset, highpass, highpass_taps, highpass_offset};
        constexpr int W = simd::lanes<V>;
        const int half = n / 2;
        // Outputs i .. i+W-1 are direct when every value read is inside.
        // The taps are read as whole lane pairs (reach = taps rounded up to
        // even): x[2i + lowpass_offset] up to x[2(i+W-1) + lowpass_offset +
        // reach_lo - 1], and x[2i + highpass_offset + 1 - reach_hi] up to
        // x[2(i+W-1) + highpass_offset]; and output i+W-1 must exist,
        // 2(i+W-1) + 1 < n also for odd n.
        const int reach_lo = b.lowpass_taps + b.lowpass_taps % 2, reach_hi = b.highpass_taps + b.highpass_taps % 2;
        const int below = std::max(-b.lowpass_offset, reach_hi - 1 - b.highpass_offset);
        const int above = std::max(std::max(b.lowpass_offset + reach_lo - 1, b.highpass_offset), 1);
        const int first = std::min(std::max(below + 1, 0) / 2, half);
        int i = first;
        if (b.lowpass_taps == 2 && b.highpass_taps == 2) { // two taps (Haar): taps held in registers
            const double l2[2] = {b.lowpass[0], b.lowpass[1]}, h2[2] = {b.highpass[0], b.highpass[1]};
            for (; 2 * (i + W - 1) + above < n; i += W) {
                const V l = rising_taps<V>(x + 2 * i + lowpass_offset, l2, 2);
                const V r = falling_taps<V>(x + 2 * i + highpass_offset, h2, 2);
                if (lo) simd::store(lo + i, l);
                if (hi) simd::store(hi + i, r);
            }
        } else {
            for (; 2 * (i + W - 1) + above < n; i += W) {
                const V l = rising_taps<V>(x + 2 * i + lowpass_offset, b.lowpass, b.lowpass_taps);
                const V r = falling_taps<V>(x + 2 * i + highpass_offset, b.highpass, b.highpass_taps);
                if (lo) simd::store(lo + i, l);
                if (hi) simd::store(hi + i, r);
            }
        }
        for (int k = 0; k < half; ++k) {
            if (k == first) k = i;
            if (k >= half) break;
            if (lo) lo[k] = lowpass_wrapped<double>(x, 1, n, b, k);
            if (hi) hi[k] = highpass_wrapped<double>(x, 1, n, b, k);
        }
    }
};

// Which halves a synthesis step computes.
enum Halves { lowpass_half = 1, highpass_half = 2, both_halves = 3 };

// The phase split of a synthesis filter of `taps` taps with offset t.
struct Phases {
    int q, r, n1, n2;
    Phases(int t, int taps)
        : q(floor_half(t)), r(t - 2 * floor_half(t)), n1((taps + 1 - r) / 2), n2((taps + r) / 2)
    {
    }
};

// The synthesis filters with the phase split of each channel.
struct SynthesisBank {
    const double* lowpass;
    const double* highpass;
    Phases pl, ph;
};

// The plain synthesis: phase offset 0 for both channels. The centred one,
// the transposed centring on n values per channel: phase offsets
// ceil(taps/2) - 1 (lowpass) and ceil(taps/2) + 2n - taps (highpass).
inline SynthesisBank plain_synthesis(const double* lowpass, const double* highpass, int taps)
{
    return {lowpass, highpass, Phases(0, taps), Phases(0, taps)};
}
constexpr int centred_lowpass_phase(int taps) { return (taps + 1) / 2 - 1; }
constexpr int centred_highpass_phase(int n, int taps) { return (taps + 1) / 2 + 2 * n - taps; }

// The pairs i in [first, end) of a synthesis half whose pair i reads its
// input at q + i - below .. q + i + above: those with every index inside
// 0 .. n-1. Indices count modulo n, so q becomes the one of q mod n, q mod n
// - n that leaves the most pairs direct.
inline void direct_range(int& q, int below, int above, int n, int& first, int& end)
{
    const int q1 = reduce(q, n), q2 = q1 - n;
    const int first1 = std::max(0, below - q1), end1 = std::min(n, n - above - q1);
    const int first2 = std::max(0, below - q2), end2 = std::min(n, n - above - q2);
    if (end2 - first2 > end1 - first1) {
        q = q2, first = first2, end = end2;
    } else {
        q = q1, first = first1, end = end1;
    }
}

// y[2i], y[2i+1] for the W pairs from i (H: which halves, summed lowpass
// first), all indices inside the inputs. plain: both phase offsets r = 0,
// so that y[2i] and y[2i+1] read the same c[q + i - j] (d[q + i + j]) for
// j < n2: one loop over those j loads each value once for both sums, each
// sum still adding its taps in ascending j.
template <class V, int H, bool plain>
SIMD_INLINE void synthesis_pairs(const double* c, const double* d, const SynthesisBank& b, int i, double* y)
{
    V even = V{}, odd = V{};
    if (H & lowpass_half) {
        const double* a = c + b.pl.q + i;
        if (plain) {
            int j = 0;
            for (; j < b.pl.n2; ++j) {
                const V v = simd::load<V>(a - j);
                even = even + b.lowpass[2 * j] * v;
                odd = odd + b.lowpass[2 * j + 1] * v;
            }
            if (j < b.pl.n1) even = even + b.lowpass[2 * j] * simd::load<V>(a - j);
        } else {
            for (int j = 0; j < b.pl.n1; ++j) even = even + b.lowpass[b.pl.r + 2 * j] * simd::load<V>(a - j);
            for (int j = 0; j < b.pl.n2; ++j)
                odd = odd + b.lowpass[1 - b.pl.r + 2 * j] * simd::load<V>(a + b.pl.r - j);
        }
    }
    if (H & highpass_half) {
        const double* a = d + b.ph.q + i;
        V hodd = V{}, heven = V{};
        if (plain) {
            int j = 0;
            for (; j < b.ph.n2; ++j) {
                const V v = simd::load<V>(a + j);
                hodd = hodd + b.highpass[2 * j] * v;
                heven = heven + b.highpass[2 * j + 1] * v;
            }
            if (j < b.ph.n1) hodd = hodd + b.highpass[2 * j] * simd::load<V>(a + j);
        } else {
            for (int j = 0; j < b.ph.n1; ++j)
                hodd = hodd + b.highpass[b.ph.r + 2 * j] * simd::load<V>(a + b.ph.r + j);
            for (int j = 0; j < b.ph.n2; ++j) heven = heven + b.highpass[1 - b.ph.r + 2 * j] * simd::load<V>(a + j);
        }
        join_channels<(H & lowpass_half) != 0>(even, odd, heven, hodd);
    }
    simd::store_interleaved(y + 2 * i, even, odd);
}

// The same pair for an i whose indices wrap around the inputs of n values
// (stride as in wrapped_sum): even = y[2i], odd = y[2i+1].
template <class V, int H>
SIMD_INLINE void synthesis_pair_wrapped(const double* c, const double* d, int stride, int n, const SynthesisBank& b,
                                        int i, V& even, V& odd)
{
    even = V{}, odd = V{};
    const Phases &pl = b.pl, &ph = b.ph;
    if (H & lowpass_half) {
        even = wrapped_sum<-1, V>(c, stride, n, b.lowpass, pl.r, 2, pl.n1, pl.q + i);
        odd = wrapped_sum<-1, V>(c, stride, n, b.lowpass, 1 - pl.r, 2, pl.n2, pl.q + i + pl.r);
    }
    if (H & highpass_half) {
        const V hodd = wrapped_sum<+1, V>(d, stride, n, b.highpass, ph.r, 2, ph.n1, ph.q + i + ph.r);
        const V heven = wrapped_sum<+1, V>(d, stride, n, b.highpass, 1 - ph.r, 2, ph.n2, ph.q + i);
        join_channels<(H & lowpass_half) != 0>(even, odd, heven, hodd);
    }
}

// y[0 .. 2n-1] from the n coarse values c and the n details d of one
// signal, each channel's phase split from its offset. plain: both offsets
// 0, known to the compiler, so that the two outputs of a pair share the
// values they both read.
template <int H, bool plain> struct synthesis_kernel {
    template <class V>
    SIMD_INLINE static void run(const double* c, const double* d, int n, const double* lowpass, int lowpass_taps,
                                int lowpass_phase, const double* highpass, int highpass_taps, int highpass_phase,
                                double* y)
    {
        if (plain) lowpass_phase = highpass_phase = 0;
        SynthesisBank b{lowpass, highpass, Phases(lowpass_phase, lowpass_taps), Phases(highpass_phase, highpass_taps)};
        constexpr int W = simd::lanes<V>;
        int first = 0, end = n;
        if (plain) {
            // q = r = 0 and n2 <= n1: pair i reads c[i - j] and d[i + j], j < n1.
            if (H & lowpass_half) first = std::max(b.pl.n1 - 1, 0);
            if (H & highpass_half) end = n - std::max(b.ph.n1 - 1, 0);
        } else {
            if (H & lowpass_half) {
                int f, e;
                direct_range(b.pl.q, std::max(std::max(b.pl.n1 - 1, b.pl.n2 - 1 - b.pl.r), 0), b.pl.r, n, f, e);
                first = std::max(first, f);
                end = std::min(end, e);
            }
            if (H & highpass_half) {
                int f, e;
                direct_range(b.ph.q, 0, std::max(std::max(b.ph.r + b.ph.n1 - 1, b.ph.n2 - 1), 0), n, f, e);
                first = std::max(first, f);
                end = std::min(end, e);
            }
        }
        first = std::min(first, n);
        end = std::max(end, first);
        int i = first;
        if (plain && lowpass_taps == 2 && highpass_taps == 2) { // two taps (Haar): taps held in registers
            const double l2[2] = {lowpass[0], lowpass[1]}, h2[2] = {highpass[0], highpass[1]};
            SynthesisBank b2 = b;
            b2.lowpass = l2, b2.highpass = h2;
            b2.pl.n1 = b2.pl.n2 = b2.ph.n1 = b2.ph.n2 = 1;
            for (; i + W <= end; i += W) synthesis_pairs<V, H, plain>(c, d, b2, i, y);
        }
        for (; i + W <= end; i += W) synthesis_pairs<V, H, plain>(c, d, b, i, y);
        for (; i < end; ++i) synthesis_pairs<double, H, plain>(c, d, b, i, y);
        const auto wrapped = [&](int k) {
            synthesis_pair_wrapped<double, H>(c, d, 1, n, b, k, y[2 * k], y[2 * k + 1]);
        };
        for (i = 0; i < first; ++i) wrapped(i);
        for (i = end; i < n; ++i) wrapped(i);
    }
};

} // namespace
} // namespace two_channel
