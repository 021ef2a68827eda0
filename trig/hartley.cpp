#include "hartley.hpp"
#include "sine.hpp"

#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "host/simd.hpp"
#include "host/sincos.hpp"

#if defined(SIMD_X86)
#include <immintrin.h>
#endif

namespace {

using simd::lanes;
using simd::load;
using simd::store;

// The constants the transforms are defined with: sqrt2 and 1/sqrt2 cut at
// fifteen decimals, not the fully rounded doubles.
const double kSqrt2 = 1.414213562373095;
const double kHalfSqrt2 = 0.707106781186547;
const double kPi = 3.141592653589793;
const double kTwoPi = 6.283185307179586;

// Divisions by sqrt2 = 1.414213562373095, each correctly rounded, in two
// kinds. Divider: the hardware divider, on every path. Fused: on eight
// lanes (AVX-512F, GCC) a multiply and one fused multiply-add, after
// Brisebarre, Muller and Raina (IEEE Trans. Computers 53(8), 2004): with
// b = 1.414213562373095, zh = RN(1/b) and zl = RN(1/b - zh),
// q = RN(v zh + RN(v zl)) = RN(v/b) for 2^-966 <= |v| <= DBL_MAX.
// Proof, scaled to v in [1, 2) (exact while everything stays normal):
// zl = 0x1.08b2fb1366eabp-56 > 0 and |1/b - zh - zl| < 2^-110.7, so with
// v zl < 2^-54 (rounded with error <= 2^-107) the sum s = v zh + RN(v zl),
// taken exactly by the fma, is within 2^-107 + 2^-109.7 < 2^-106.7 of v/b.
// b = B 2^-50 with B odd, so for a rounding midpoint m = (2k+1) 2^-54 or
// (2k+1) 2^-53, v - b m is a nonzero multiple of 2^-104, and v/b is at
// least 2^-104/b > 2^-104.5 from every midpoint: s and v/b round alike.
// Zeros (same-signed sum), infinities (zl > 0) and NaN come out right as
// they are. Lanes with 0 < |v| < 2^-960 are only noted (first); a batch
// of work that tiny_seen() afterwards is done again with the Divider. A
// quotient of a value that was not tiny is at least 2^-960.5 (again needs
// no note). Below eight lanes, and under Clang (which will not pass an
// eight-lane vector to a function that is not inlined outside an AVX-512
// context), Fused is the divider.
struct Divider {
    template <class V> SIMD_INLINE V first(V v) { return v / kSqrt2; }
    template <class V> SIMD_INLINE V again(V v) { return v / kSqrt2; }
};

#if defined(SIMD_X86) && !defined(__clang__)
#define WAVETIDE_FUSED_DIVISION 1
typedef unsigned long long u64x8 __attribute__((vector_size(64)));
#endif

struct Fused {
    template <class V> SIMD_INLINE V first(V v) { return v / kSqrt2; }
    template <class V> SIMD_INLINE V again(V v) { return v / kSqrt2; }
#if defined(WAVETIDE_FUSED_DIVISION)
    // The least 2|v| - 1 (as an unsigned integer, a zero wrapping round to
    // the top) of the lanes noted.
    u64x8 least = ~u64x8{};
    static constexpr unsigned long long kTiny = 2 * 0x03f0000000000000ULL - 1; // 2 * bits(2^-960) - 1

    __attribute__((target("avx512f"))) inline simd::f64x8 again(simd::f64x8 v)
    {
        const __m512d x = __m512d(v);
        return simd::f64x8(_mm512_fmadd_pd(x, _mm512_set1_pd(0x1.6a09e667f3bcdp-1),
                                           _mm512_mul_pd(x, _mm512_set1_pd(0x1.08b2fb1366eabp-56))));
    }
    __attribute__((target("avx512f"))) inline simd::f64x8 first(simd::f64x8 v)
    {
        const u64x8 bits = u64x8(__m512d(v)), twice = bits + bits - 1;
        least = twice < least ? twice : least;
        return again(v);
    }
#endif
    // Whether a noted lane was tiny (asked on the eight-lane path only).
#if defined(WAVETIDE_FUSED_DIVISION)
    __attribute__((target("avx512f"))) inline bool tiny_seen() const
    {
        return _mm512_cmplt_epu64_mask(__m512i(least), _mm512_set1_epi64(kTiny)) != 0;
    }
#else
    bool tiny_seen() const { return false; }
#endif
};

// Fused division without notes, for work that the processor's underflow
// flag watches instead. The sequence can only fail where v zl is below
// 2^-1022; such a product is tiny and inexact (its significand, the
// product of two odd ones, is longer than the subnormal grid allows), so
// it raises the flag.
struct Unnoted : Fused {
    template <class V> SIMD_INLINE V first(V v) { return again(v); }
#if defined(WAVETIDE_FUSED_DIVISION)
    using Fused::again;
    __attribute__((target("avx512f"))) inline simd::f64x8 first(simd::f64x8 v) { return again(v); }
#endif
};

bool tables_built(const double* q, int n) { return std::trunc(q[0]) == static_cast<double>(n); }

// pi/2 as the sum of two doubles, and the angle below which no reduction is
// needed: half the first, so that a - kHalfPi for larger a is exact.
const double kHalfPi = 0x1.921fb54442d18p0, kHalfPiTail = 0x1.1a62633145c07p-54;
const double kReduceAbove = kHalfPi / 2;

// Sine and cosine of every lane, 0 <= a <= 3pi/4, each within 1 ulp. Above
// kReduceAbove: a = pi/2 + r, sin a = cos r, cos a = -sin r, with r taken
// as r + l to twice the precision (t = a - kHalfPi is exact).
template <class V> SIMD_INLINE SinCos<V> sincos_of(V a, bool reduce)
{
    if (!reduce) return sincos_near_zero<false>(a, a);
    const V t = a - kHalfPi, r = t - kHalfPiTail, l = (t - r) - kHalfPiTail;
    const SinCos<V> near = sincos_near_zero<true>(r, l);
    return {near.c, -near.s};
}

// The vector of half the lanes (a single double below two lanes).
template <class V> struct narrower {
    using type = double;
};
#if defined(SIMD_VECTORS)
template <> struct narrower<simd::f64x8> {
    using type = simd::f64x4;
};
template <> struct narrower<simd::f64x4> {
    using type = simd::f64x2;
};
#endif

// p[0], p[stride], ..., p[(W-1) stride] as one vector.
template <class V> SIMD_INLINE V load_strided(const double* p, long stride)
{
    if (stride == 1) return load<V>(p);
    double lane[lanes<V>];
    for (int l = 0; l < lanes<V>; ++l) lane[l] = p[l * stride];
    return load<V>(lane);
}

// p[i] <- p[i] / sqrt2, i < count.
struct division_pass {
    template <class V> SIMD_INLINE static void run(double* p, long count)
    {
        long i = 0;
        for (; i + lanes<V> <= count; i += lanes<V>) {
            const V v = load<V>(p + i);
            Fused fused;
            V q = fused.first(v);
            if constexpr (lanes<V> == 8)
                if (fused.tiny_seen()) q = Divider().first(v);
            store(p + i, q);
        }
        for (; i < count; ++i) p[i] = p[i] / kSqrt2;
    }
};

// a[0] = first, a[k+1] = a[k] + d (rounded), k < count - 1: the angles
// of a table, accumulated by repeated addition. Within a binade every sum
// rounds to the same grid, so while no addition is a tie the differences
// a[k+1] - a[k] all equal one D, and a[k+j] = a[k] + j D exactly. Such
// candidates are written W at a time and each is checked against the
// rounded sum of its predecessor; the first chunk that fails (at a binade's
// end, or where d lies halfway between two grid points) takes one addition
// in order, and the run starts again from there.
struct angles {
    template <class V> SIMD_INLINE static void run(double* a, long count, double first, double d)
    {
        using V4 = typename simd::at_most_four<V>::type;
        constexpr int W = lanes<V4>;
        if (count <= 0) return;
        a[0] = first;
        double ramp[W];
        for (int l = 0; l < W; ++l) ramp[l] = l + 1;
        const V4 lane = load<V4>(ramp);
        long k = 0;
        while (k + 1 < count) {
            const double x = a[k], D = (x + d) - x;
            long j = 1;
            for (; k + j + W <= count; j += W) {
                // Each lane's predecessor by the same operations on the same
                // values, so the very double stored before it.
                const V4 c = x + (lane + static_cast<double>(j - 1)) * D;
                const V4 before = x + (lane + static_cast<double>(j - 2)) * D;
                store(a + k + j, c);
                if (!simd::all(before + d == c)) break;
            }
            k += j - 1;
            if (k + 1 < count) {
                a[k + 1] = a[k] + d;
                ++k;
            }
        }
    }
};

// Each table's angles are accumulated first (stored where their values
// go), then their sines and cosines are taken W at a time.
struct hartley_tables {
    // C1, S1, C3, S3 (t values each) and the tag.
    template <class V> SIMD_INLINE static void run(double* q, int n)
    {
        const long t = n / 8 - 1;
        double *C1 = q + 1, *S1 = C1 + t, *C3 = S1 + t, *S3 = C3 + t;
        q[0] = n;
        const double step = kTwoPi / n;
        angles::run<V>(C1, t, step, step);
        // Triple angles past kReduceAbove (an ascending run) are reduced.
        long split = 0;
        while (split < t && !(3.0 * C1[split] > kReduceAbove)) ++split;
        for (const bool reduce : {false, true}) {
            long j = reduce ? split : 0;
            const long end = reduce ? t : split;
            for (; j + lanes<V> <= end; j += lanes<V>) {
                const V theta = load<V>(C1 + j);
                const SinCos<V> one = sincos_of(theta, false), three = sincos_of(3.0 * theta, reduce);
                store(C1 + j, one.c);
                store(S1 + j, one.s);
                store(C3 + j, three.c);
                store(S3 + j, three.s);
            }
            for (; j < end; ++j) {
                const SinCos<double> one = sincos_of(C1[j], false), three = sincos_of(3.0 * C1[j], reduce);
                C1[j] = one.c, S1[j] = one.s, C3[j] = three.c, S3[j] = three.s;
            }
        }
    }
};

struct rotation_tables {
    // A at q[n/2 ..], B at q[n ..], h = n/2 values each; the tag is not written.
    template <class V> SIMD_INLINE static void run(double* q, int n)
    {
        const long h = n / 2;
        double* A = q + h;
        double* B = q + n;
        angles::run<V>(A, h, 0.0, kPi / (2 * n));
        long i = 0;
        for (; i + lanes<V> <= h; i += lanes<V>) {
            const SinCos<V> r = sincos_of(load<V>(A + i), false);
            store(A + i, kHalfSqrt2 * (r.c - r.s));
            store(B + i, kHalfSqrt2 * (r.c + r.s));
        }
        for (; i < h; ++i) {
            const SinCos<double> r = sincos_of(A[i], false);
            A[i] = kHalfSqrt2 * (r.c - r.s);
            B[i] = kHalfSqrt2 * (r.c + r.s);
        }
    }
};

// Where the twiddles of one block size sit: cos, sin of the angle j 2pi/s
// and of its triple at w.base[(j-1) w.stride + r w.run], r = 0 .. 3, j >= 1.
struct Twiddles {
    const double* base;
    long run, stride;
};

// Stores a at p after `times` divisions by sqrt2 (each correctly rounded).
template <class V> SIMD_INLINE void store_divided(double* p, V a, int times)
{
    for (int k = 0; k < times; ++k) a = a / kSqrt2;
    store(p, a);
}

// Twiddled pairs j .. j+W-1 of an L-butterfly (see butterfly below); the
// first half's values divided once, the quarters' twice.
template <class V> SIMD_INLINE void twiddled_pairs(double* x, long j, long qtr, Twiddles w)
{
    // Pairs j + l and their mirrors qtr - j - l: the mirrored run is loaded
    // from its lowest index and reversed.
    const long m = qtr - j - (lanes<V> - 1);
    const V t1 = load<V>(x + j), t2 = load<V>(x + j + qtr), t3 = load<V>(x + j + 2 * qtr),
            t4 = load<V>(x + j + 3 * qtr);
    const V t5 = simd::reverse(load<V>(x + m)), t6 = simd::reverse(load<V>(x + m + qtr)),
            t7 = simd::reverse(load<V>(x + m + 2 * qtr)), t8 = simd::reverse(load<V>(x + m + 3 * qtr));
    const double* k = w.base + (j - 1) * w.stride;
    const V c1 = load_strided<V>(k, w.stride), s1 = load_strided<V>(k + w.run, w.stride),
            c3 = load_strided<V>(k + 2 * w.run, w.stride), s3 = load_strided<V>(k + 3 * w.run, w.stride);
    const V u = t1 - t3 + t5 - t7;
    const V v = t4 - t2 + t6 - t8;
    const V w_ = t1 - t3 - t5 + t7;
    const V z = t4 - t2 - t6 + t8;
    // The first half's outputs divided once, the quarters' twice.
    const V o1 = t1 + t3, o2 = t2 + t4, o3 = u * c1 + v * s1, o4 = w_ * c3 - z * s3;
    const V o5 = t5 + t7, o6 = t6 + t8, o7 = u * s1 - v * c1, o8 = w_ * s3 + z * c3;
    Fused fused;
    V r1 = fused.first(o1), r2 = fused.first(o2), r3 = fused.again(fused.first(o3)),
      r4 = fused.again(fused.first(o4)), r5 = fused.first(o5), r6 = fused.first(o6),
      r7 = fused.again(fused.first(o7)), r8 = fused.again(fused.first(o8));
    if constexpr (lanes<V> == 8)
        if (fused.tiny_seen()) {
            Divider d;
            r1 = d.first(o1), r2 = d.first(o2), r3 = d.again(d.first(o3)), r4 = d.again(d.first(o4));
            r5 = d.first(o5), r6 = d.first(o6), r7 = d.again(d.first(o7)), r8 = d.again(d.first(o8));
        }
    store(x + j, r1);
    store(x + j + qtr, r2);
    store(x + j + 2 * qtr, r3);
    store(x + j + 3 * qtr, r4);
    store(x + m, simd::reverse(r5));
    store(x + m + qtr, simd::reverse(r6));
    store(x + m + 2 * qtr, simd::reverse(r7));
    store(x + m + 3 * qtr, simd::reverse(r8));
}

// Twiddled pairs j .. eighth-1, W at a time, then with ever narrower vectors.
template <class V>
SIMD_INLINE void twiddled_run(double* x, long j, long eighth, long qtr, Twiddles w)
{
    for (; j + lanes<V> <= eighth; j += lanes<V>) twiddled_pairs<V>(x, j, qtr, w);
    if constexpr (lanes<V> > 1) twiddled_run<typename narrower<V>::type>(x, j, eighth, qtr, w);
}

// The L-butterfly of one block of s >= 8 values at x: the first quarter
// pair at 0 and at s/8, then the twiddled pairs j and s/4 - j. Then the stage's
// division: once for the first half, twice for the last two quarters, which
// sit out the next stage (that of the half beside them).
template <class V> SIMD_INLINE void butterfly(double* x, long s, Twiddles w)
{
    const long qtr = s / 4, eighth = s / 8;
    for (long i : {0L, eighth}) {
        const double t1 = x[i], t2 = x[i + qtr], t3 = x[i + 2 * qtr], t4 = x[i + 3 * qtr];
        store_divided(x + i, t1 + t3, 1);
        store_divided(x + i + qtr, t2 + t4, 1);
        if (i == 0) {
            store_divided(x + 2 * qtr, t1 - t3 + t2 - t4, 2);
            store_divided(x + 3 * qtr, t1 - t3 - t2 + t4, 2);
        } else {
            store_divided(x + i + 2 * qtr, kSqrt2 * (t1 - t3), 2);
            store_divided(x + i + 3 * qtr, kSqrt2 * (t2 - t4), 2);
        }
    }
    twiddled_run<V>(x, 1, eighth, qtr, w);
}

// The whole split-radix tree of one block of s >= 8 values, from its first
// stage to the last division of all n values, on elements y[0 .. s-1] of
// type V: lane l of every element belongs to block l, so W blocks of one
// size go through the same operations side by side and the twiddles are
// broadcast. Same operations, same order per value as the wide blocks
// (stage division as each value is stored, twice for the quarters); the
// closing division by sqrt2 is folded into the last operation on a value.
// tw: the twiddles of size s.
template <long s, class V, class D> SIMD_INLINE void leaf_tree(V* y, const Twiddles* tw, D& d)
{
    if constexpr (s == 2) {
        const V u = y[0], v = y[1];
        y[0] = d.first(u + v);
        y[1] = d.first(u - v);
    } else if constexpr (s == 4) {
        const V t1 = y[0], t2 = y[1], t3 = y[2], t4 = y[3];
        const V u = d.first(t1 + t3), v = d.first(t2 + t4);
        y[0] = d.first(u + v);
        y[1] = d.first(u - v);
        y[2] = d.again(d.first(t1 - t3 + t2 - t4));
        y[3] = d.again(d.first(t1 - t3 - t2 + t4));
    } else {
        const long qtr = s / 4, eighth = s / 8;
        for (long i : {0L, eighth}) {
            const V t1 = y[i], t2 = y[i + qtr], t3 = y[i + 2 * qtr], t4 = y[i + 3 * qtr];
            y[i] = d.first(t1 + t3);
            y[i + qtr] = d.first(t2 + t4);
            if (i == 0) {
                y[2 * qtr] = d.again(d.first(t1 - t3 + t2 - t4));
                y[3 * qtr] = d.again(d.first(t1 - t3 - t2 + t4));
            } else {
                y[i + 2 * qtr] = d.again(d.first(kSqrt2 * (t1 - t3)));
                y[i + 3 * qtr] = d.again(d.first(kSqrt2 * (t2 - t4)));
            }
        }
        const Twiddles w = *tw;
        for (long j = 1; j < eighth; ++j) {
            const long m = qtr - j;
            const V t1 = y[j], t2 = y[j + qtr], t3 = y[j + 2 * qtr], t4 = y[j + 3 * qtr];
            const V t5 = y[m], t6 = y[m + qtr], t7 = y[m + 2 * qtr], t8 = y[m + 3 * qtr];
            const double* k = w.base + (j - 1) * w.stride;
            const double c1 = k[0], s1 = k[w.run], c3 = k[2 * w.run], s3 = k[3 * w.run];
            const V u = t1 - t3 + t5 - t7;
            const V v = t4 - t2 + t6 - t8;
            const V w_ = t1 - t3 - t5 + t7;
            const V z = t4 - t2 - t6 + t8;
            y[j] = d.first(t1 + t3);
            y[j + qtr] = d.first(t2 + t4);
            y[j + 2 * qtr] = d.again(d.first(u * c1 + v * s1));
            y[j + 3 * qtr] = d.again(d.first(w_ * c3 - z * s3));
            y[m] = d.first(t5 + t7);
            y[m + qtr] = d.first(t6 + t8);
            y[m + 2 * qtr] = d.again(d.first(u * s1 - v * c1));
            y[m + 3 * qtr] = d.again(d.first(w_ * s3 + z * c3));
        }
        leaf_tree<s / 2>(y, tw + 1, d);
        leaf_tree<s / 4>(y + s / 2, tw + 2, d);
        leaf_tree<s / 4>(y + 3 * s / 4, tw + 2, d);
    }
}

// Blocks up to this size are finished by leaf_tree, W blocks of a size at
// a time (128 measured a little faster than 64 at 2^16).
const long kLeaf = 128;

// Blocks of one size waiting for leaf_tree: their bases, W at most.
struct LeafQueue {
    long base[8];
    int count = 0;
};

// Runs leaf_tree on the queued blocks of size s, transposed into lanes and
// back; an incomplete queue repeats its last block in the spare lanes (the
// same values computed twice and stored twice).
template <long s, class V> SIMD_INLINE void run_leaves(double* x, LeafQueue& queue, const Twiddles* tw)
{
    constexpr int W = lanes<V>;
    V y[s];
    double* from[W];
    for (int l = 0; l < W; ++l) from[l] = x + queue.base[l < queue.count ? l : queue.count - 1];
    const auto gather = [&] {
        for (long k = 0; k < s; k += W) {
            for (int l = 0; l < W; ++l) y[k + l] = load<V>(from[l] + k);
            simd::transpose_rows(y + k);
        }
    };
#if defined(WAVETIDE_FUSED_DIVISION)
    // The underflow flag, cleared before the leaves' inputs are loaded and
    // read once their results are stored (the asm statements order the
    // memory accesses, and every value computed goes to y).
    unsigned csr, after;
    asm volatile("stmxcsr %0" : "=m"(csr) : : "memory");
    const unsigned cleared = csr & ~0x10u;
    asm volatile("ldmxcsr %0" : : "m"(cleared) : "memory");
    gather();
    Unnoted fused;
    leaf_tree<s>(y, tw, fused);
    asm volatile("stmxcsr %0" : "=m"(after) : "r"(y) : "memory");
    const unsigned restored = after | (csr & 0x10u);
    asm volatile("ldmxcsr %0" : : "m"(restored) : "memory");
    const bool tiny = after & 0x10u;
#else
    gather();
    Fused fused;
    leaf_tree<s>(y, tw, fused);
    const bool tiny = fused.tiny_seen();
#endif
    if (tiny) {
        Divider divider;
        gather();
        leaf_tree<s>(y, tw, divider);
    }
    for (long k = 0; k < s; k += W) {
        simd::transpose_rows(y + k);
        for (int l = 0; l < W; ++l) store(from[l] + k, y[k + l]);
    }
    queue.count = 0;
}

// run_leaves for a queue of blocks of s = 8 .. kLeaf values.
template <class V> SIMD_INLINE void run_leaves(double* x, LeafQueue& queue, long s, const Twiddles* tw)
{
    switch (s) {
    case 8: return run_leaves<8, V>(x, queue, tw);
    case 16: return run_leaves<16, V>(x, queue, tw);
    case 32: return run_leaves<32, V>(x, queue, tw);
    case 64: return run_leaves<64, V>(x, queue, tw);
    default: return run_leaves<kLeaf, V>(x, queue, tw);
    }
}

// The split-radix stages, taken depth first: a block of s values is one
// L-butterfly, then its first half (s/2) and its last two quarters (s/4
// each) as blocks of their own. Stage by stage, every stage would end by
// dividing all n values by sqrt2; here a block divides its own values after
// its butterfly, and its quarters once more for the stage they sit out.
// Every value is thus divided as often, in the same order against its other
// operations. Blocks of kLeaf values or fewer go to leaf_tree, which ends
// with the length-2 butterflies and the last division of every value.
//
// The twiddles of size s are those of the full length at stride n/s: with
// room for them (spare, n/2 doubles), each size's four runs are first copied
// out contiguously (the very same doubles), so that the butterflies load
// them W at a time.
struct split_radix {
    template <class V> SIMD_INLINE static void run(double* x, long n, const double* q, double* spare)
    {
        const long t = n / 8 - 1;
        Twiddles tw[8 * sizeof(long)];
        int log_s = 0;
        for (long s = n; s >= 8; s /= 2, ++log_s) {
            const long e = n / s, run = s / 8 - 1;
            tw[log_s] = {q + e, t, e};
            if (spare && e > 1 && run > 0) {
                for (int r = 0; r < 4; ++r)
                    for (long j = 1; j <= run; ++j) spare[r * run + j - 1] = q[j * e + r * t];
                tw[log_s] = {spare, run, 1};
                spare += 4 * run;
            }
        }
        struct Block {
            long base, size;
            int level; // log2(n / size)
        } stack[2 * 8 * sizeof(long) + 2];
        int top = 0;
        stack[top++] = {0, n, 0};
        // Blocks of kLeaf values or fewer: of size n (n <= kLeaf), kLeaf
        // (first halves) and kLeaf/2 (quarters).
        LeafQueue queue[3];
        const Twiddles* leaf_tw[3];
        while (top > 0) {
            const Block b = stack[--top];
            if (b.size <= kLeaf) {
                const int k = b.size == n ? 0 : b.size == kLeaf ? 1 : 2;
                leaf_tw[k] = tw + b.level;
                queue[k].base[queue[k].count++] = b.base;
                if (queue[k].count == lanes<V>) run_leaves<V>(x, queue[k], b.size, leaf_tw[k]);
                continue;
            }
            butterfly<V>(x + b.base, b.size, tw[b.level]);
            stack[top++] = {b.base + 3 * b.size / 4, b.size / 4, b.level + 2};
            stack[top++] = {b.base + b.size / 2, b.size / 4, b.level + 2};
            stack[top++] = {b.base, b.size / 2, b.level + 1};
        }
        for (int k = 0; k < 3; ++k)
            if (queue[k].count > 0) run_leaves<V>(x, queue[k], k == 0 ? n : k == 1 ? kLeaf : kLeaf / 2, leaf_tw[k]);
    }
};

// Exchanges every pair of indices whose m-bit forms mirror each other.
void bit_reverse(double* x, long n)
{
    long j = 1;
    for (long i = 1; i < n; ++i) {
        if (i < j) {
            const double s = x[i - 1];
            x[i - 1] = x[j - 1];
            x[j - 1] = s;
        }
        long k = n / 2;
        while (k < j) {
            j = j - k;
            k = k / 2;
        }
        j = j + k;
    }
}

} // namespace

namespace {

// The Hartley transform left in bit-reversed order (index i holds the
// value of index rev(i), the m-bit mirror image of i).
// spare: n/2 doubles of scratch for the twiddles, or null.
void hartley_bit_reversed(double* x, int m, double* q, double* spare)
{
    const long n = 1L << m;
    if (n <= 4) {
        hartley_transform(x, m, q);
        bit_reverse(x, n);
        return;
    }
    if (!tables_built(q, static_cast<int>(n))) simd::dispatch<hartley_tables>(q, static_cast<int>(n));
    simd::dispatch<split_radix>(x, n, static_cast<const double*>(q), spare);
}

// rev(i + 1) from r = rev(i), both in m bits, h = 2^(m-1).
long next_reversed(long r, long h)
{
    while (r & h) {
        r ^= h;
        h /= 2;
    }
    return r | h;
}

// Even-indexed values ascending, then odd-indexed values descending:
// p[i] = x[2i], p[n/2 + i] = x[n-1-2i], the latter negated if `negate`.
struct reorder {
    template <class V> SIMD_INLINE static void run(const double* x, double* p, long n, bool negate)
    {
        const long h = n / 2;
        long i = 0;
        for (; 2 * (i + lanes<V>) <= n; i += lanes<V>) {
            store(p + i, simd::load_even<V>(x + 2 * i));
            const V odd = simd::reverse(simd::load_odd<V>(x + n - 2 * i - 2 * lanes<V>));
            store(p + h + i, negate ? -odd : odd);
        }
        for (; i < h; ++i) {
            p[i] = x[2 * i];
            p[h + i] = negate ? -x[n - 1 - 2 * i] : x[n - 1 - 2 * i];
        }
    }
};

// y[i] = p[rev(i)], i = 0 .. n-1, n = 2^m >= 64 (y[n-1-i] if `reflect`):
// 8 x 8 tiles whose eight source and eight destination runs are each 8
// contiguous doubles. With i = 8(n/64) a + 8 mid + b (a, b < 8):
// rev(i) = (n/8) rev3(b) + 8 rev(mid) + rev3(a). Eight lanes move a tile
// as one transpose.
struct bit_reversed_copy {
    template <class V> SIMD_INLINE static void run(const double* p, double* y, long n, bool reflect)
    {
        static const int rev3[8] = {0, 4, 2, 6, 1, 5, 3, 7};
        const long row = n / 8;
        long r = 0;
        for (long mid = 0; mid < n / 64; ++mid) {
            if constexpr (lanes<V> == 8) {
                V t[8];
                for (int b = 0; b < 8; ++b) t[b] = load<V>(p + rev3[b] * row + 8 * r);
                simd::transpose_rows(t);
                for (int a = 0; a < 8; ++a) {
                    const long k = a * row + 8 * mid;
                    if (reflect)
                        store(y + n - 8 - k, simd::reverse(t[rev3[a]]));
                    else
                        store(y + k, t[rev3[a]]);
                }
            } else {
                for (int a = 0; a < 8; ++a)
                    for (int b = 0; b < 8; ++b) {
                        const long k = a * row + 8 * mid + b;
                        y[reflect ? n - 1 - k : k] = p[rev3[b] * row + 8 * r + rev3[a]];
                    }
            }
            r = next_reversed(r, n / 128);
        }
    }
};

// The rotation of the cosine routines, pairing index i with n - i for
// i = 1 .. n/2-1: with a = src[i], b = src[n-i],
// dst[i] <- A[i] a + B[i] b, dst[n-i] <- B[i] a - A[i] b.
// A reflected array holds index k at n-1-k (a from src[n-1-i], b from
// src[i-1], and likewise for dst). src and dst may be the same array when
// both are reflected or neither is.
struct rotation {
    // Indices i .. i+W-1 of a reflected or plain array as one vector, and
    // their mirrors n-i .. n-i-W+1.
    template <class V> SIMD_INLINE static V low(const double* y, long n, long i, bool reflected)
    {
        return reflected ? simd::reverse(load<V>(y + n - i - lanes<V>)) : load<V>(y + i);
    }
    template <class V> SIMD_INLINE static V high(const double* y, long n, long i, bool reflected)
    {
        return reflected ? load<V>(y + i - 1) : simd::reverse(load<V>(y + n - i - lanes<V> + 1));
    }
    template <class V> SIMD_INLINE static void put(double* y, long n, long i, bool reflected, V lo, V hi)
    {
        if (reflected) {
            store(y + n - i - lanes<V>, simd::reverse(lo));
            store(y + i - 1, hi);
        } else {
            store(y + i, lo);
            store(y + n - i - lanes<V> + 1, simd::reverse(hi));
        }
    }

    template <class V>
    SIMD_INLINE static void run(const double* src, bool src_reflected, double* dst, bool dst_reflected, long n,
                                const double* A, const double* B)
    {
        const long h = n / 2;
        long i = 1;
        for (; i + lanes<V> <= h; i += lanes<V>) {
            const V a = low<V>(src, n, i, src_reflected), b = high<V>(src, n, i, src_reflected);
            const V Ai = load<V>(A + i), Bi = load<V>(B + i);
            put(dst, n, i, dst_reflected, Ai * a + Bi * b, Bi * a - Ai * b);
        }
        for (; i < h; ++i) {
            const double a = low<double>(src, n, i, src_reflected), b = high<double>(src, n, i, src_reflected);
            put(dst, n, i, dst_reflected, A[i] * a + B[i] * b, B[i] * a - A[i] * b);
        }
    }
};

// x <- the DCT-II of in, or (sine) the DST-II: the DCT-II of in with its
// odd-indexed entries negated, written in reverse order. in is read only
// before x is first written, so it may be x itself.
//
// The Hartley result is read through the bit-reversal permutation instead
// of having it applied: with r = rev(i), rev(n - i) = n - 1 - rev(i - 1)
// and, for i < n/2, rev(n/2 + i) = r + 1.
void type2(const double* in, double* x, double* p, int m, double* q, bool sine)
{
    const long n = 1L << m, h = n / 2;
    if (n == 1) {
        x[0] = in[0];
        return;
    }
    if (!tables_built(q, static_cast<int>(n))) simd::dispatch<rotation_tables>(q, static_cast<int>(n));
    const double* A = q + h;
    const double* B = q + n;

    simd::dispatch<reorder>(in, p, n, sine);
    hartley_bit_reversed(p, m, q, x);

    if (n >= 64) {
        simd::dispatch<bit_reversed_copy>(static_cast<const double*>(p), x, n, sine);
        simd::dispatch<rotation>(static_cast<const double*>(x), sine, x, sine, n, A, B);
        return;
    }
    const auto at = [&](long k) -> double& { return x[sine ? n - 1 - k : k]; };
    at(0) = p[0];
    at(h) = p[1];
    long r_prev = 0;
    for (long i = 1; i < h; ++i) {
        const long r = next_reversed(r_prev, h);
        const double a = p[r], b = p[n - 1 - r_prev];
        at(i) = A[i] * a + B[i] * b;
        at(n - i) = B[i] * a - A[i] * b;
        r_prev = r;
    }
}

// x <- the DCT-III of in, or (sine) the DST-III: the DCT-III of in in
// reverse order, its odd-indexed entries then negated. in may be x.
void type3(const double* in, double* x, double* p, int m, double* q, bool sine)
{
    const long n = 1L << m, h = n / 2;
    if (!tables_built(q, static_cast<int>(n))) simd::dispatch<rotation_tables>(q, static_cast<int>(n));
    const double* A = q + h;
    const double* B = q + n;

    if (n == 1) {
        x[0] = in[0];
        return;
    }
    p[0] = in[sine ? n - 1 : 0];
    p[h] = in[sine ? h - 1 : h];
    simd::dispatch<rotation>(in, sine, p, false, n, A, B);
    hartley_bit_reversed(p, m, q, x);

    long r = 0;
    for (long i = 0; i < h; ++i) {
        x[2 * i] = p[r];
        x[n - 1 - 2 * i] = sine ? -p[r + 1] : p[r + 1];
        r = next_reversed(r, h);
    }
}

} // namespace

void divide_by_sqrt2(double* x, long n) { simd::dispatch<division_pass>(x, n); }

void accumulate_angles(double* a, long count, double first, double d)
{
    simd::dispatch<angles>(a, count, first, d);
}

void hartley_transform(double* x, int m, double* q)
{
    const long n = 1L << m;
    if (n == 1) return;
    // n = 2 and 4 need no Hartley tables. The rotation tables a cosine
    // routine just built for this n sit where those of a longer n were; the
    // tag is cleared so that such a length builds them again.
    if (n <= 4) q[0] = 0.0;
    if (n == 2) {
        const double s = kHalfSqrt2 * (x[0] + x[1]);
        x[1] = kHalfSqrt2 * (x[0] - x[1]);
        x[0] = s;
        return;
    }
    if (n == 4) {
        const double a = 0.5 * (x[0] + x[2]), c = 0.5 * (x[0] - x[2]);
        const double b = 0.5 * (x[1] + x[3]), d = 0.5 * (x[1] - x[3]);
        x[0] = a + b;
        x[1] = c + d;
        x[2] = a - b;
        x[3] = c - d;
        return;
    }
    hartley_bit_reversed(x, m, q, nullptr);
    bit_reverse(x, n);
}

void cosine_transform_type2(double* x, double* p, int m, double* q) { type2(x, x, p, m, q, false); }
void cosine_transform_type3(double* x, double* p, int m, double* q) { type3(x, x, p, m, q, false); }
void sine_transform_type2(double* x, double* p, int m, double* q) { type2(x, x, p, m, q, true); }
void sine_transform_type3(double* x, double* p, int m, double* q) { type3(x, x, p, m, q, true); }

void cosine_transform_type2(const double* in, double* x, double* p, int m, double* q)
{
    type2(in, x, p, m, q, false);
}
void cosine_transform_type3(const double* in, double* x, double* p, int m, double* q)
{
    type3(in, x, p, m, q, false);
}
void sine_transform_type2(const double* in, double* x, double* p, int m, double* q) { type2(in, x, p, m, q, true); }
void sine_transform_type3(const double* in, double* x, double* p, int m, double* q) { type3(in, x, p, m, q, true); }
