// The split-radix stages, taken depth first: a block of s values is one
// L-butterfly (split_radix_butterflies.hpp), then its first half (s/2) and
// its last two quarters (s/4 each) as blocks of their own. Stage by stage,
// every stage would end by dividing all n values by sqrt2; here a block
// divides its own values after its butterfly, and its quarters once more
// for the stage they sit out. Every value is thus divided as often, in the
// same order against its other operations. Blocks of kLeaf values or fewer
// are finished in registers, W blocks of a size side by side, down to the
// length-2 butterflies and the last division of every value.
#include "trig/split_radix.hpp"

#include "simd/simd.hpp"
#include "simd/narrower.hpp"
#include "simd/transpose.hpp"
#include "trig/bit_reversal.hpp"
#include "trig/hartley.hpp"
#include "trig/hartley_tables.hpp"
#include "trig/split_radix_butterflies.hpp"
#include "trig/sqrt2_division.hpp"

namespace trig {
namespace {

using simd::lanes;
using simd::load;
using simd::store;

// p[0], p[stride], ..., p[(W-1) stride] as one vector.
template <class V> SIMD_INLINE V load_strided(const double* p, long stride)
{
    if (stride == 1) return load<V>(p);
    double lane[lanes<V>];
    for (int l = 0; l < lanes<V>; ++l) lane[l] = p[l * stride];
    return load<V>(lane);
}

// Twiddled pairs j .. j+W-1 of the block at x and their mirrors
// qtr - j - l: the mirrored run is loaded from its lowest index and
// reversed. Fused division, done again by the divider if a lane was tiny.
template <class V> SIMD_INLINE void twiddled_pairs(double* x, long j, long qtr, Twiddles w)
{
    const long m = qtr - j - (lanes<V> - 1);
    V o1 = load<V>(x + j), o2 = load<V>(x + j + qtr), o3 = load<V>(x + j + 2 * qtr), o4 = load<V>(x + j + 3 * qtr);
    V o5 = simd::reverse(load<V>(x + m)), o6 = simd::reverse(load<V>(x + m + qtr)),
      o7 = simd::reverse(load<V>(x + m + 2 * qtr)), o8 = simd::reverse(load<V>(x + m + 3 * qtr));
    const double* k = w.base + (j - 1) * w.stride;
    const V c1 = load_strided<V>(k, w.stride), s1 = load_strided<V>(k + w.run, w.stride),
            c3 = load_strided<V>(k + 2 * w.run, w.stride), s3 = load_strided<V>(k + 3 * w.run, w.stride);
    twiddled_butterfly(o1, o2, o3, o4, o5, o6, o7, o8, c1, s1, c3, s3);
    V r1 = o1, r2 = o2, r3 = o3, r4 = o4, r5 = o5, r6 = o6, r7 = o7, r8 = o8;
    Fused<V> fused;
    stage_division(r1, r2, r3, r4, r5, r6, r7, r8, fused);
    if (fused.tiny_seen()) {
        Divider divider;
        r1 = o1, r2 = o2, r3 = o3, r4 = o4, r5 = o5, r6 = o6, r7 = o7, r8 = o8;
        stage_division(r1, r2, r3, r4, r5, r6, r7, r8, divider);
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
template <class V> SIMD_INLINE void twiddled_run(double* x, long j, long eighth, long qtr, Twiddles w)
{
    for (; j + lanes<V> <= eighth; j += lanes<V>) twiddled_pairs<V>(x, j, qtr, w);
    if constexpr (lanes<V> > 1) twiddled_run<typename simd::narrower<V>::type>(x, j, eighth, qtr, w);
}

// The L-butterfly of one block of s >= 8 values at x, with its division.
template <class V> SIMD_INLINE void butterfly(double* x, long s, Twiddles w)
{
    Divider divider;
    first_quarter_pairs(x, s / 4, s / 8, divider);
    twiddled_run<V>(x, 1, s / 8, s / 4, w);
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
        first_quarter_pairs(y, qtr, eighth, d);
        const Twiddles w = *tw;
        for (long j = 1; j < eighth; ++j) {
            const long m = qtr - j;
            const double* k = w.base + (j - 1) * w.stride;
            V &t1 = y[j], &t2 = y[j + qtr], &t3 = y[j + 2 * qtr], &t4 = y[j + 3 * qtr];
            V &t5 = y[m], &t6 = y[m + qtr], &t7 = y[m + 2 * qtr], &t8 = y[m + 3 * qtr];
            twiddled_butterfly(t1, t2, t3, t4, t5, t6, t7, t8, k[0], k[w.run], k[2 * w.run], k[3 * w.run]);
            stage_division(t1, t2, t3, t4, t5, t6, t7, t8, d);
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
            simd::transpose(y + k);
        }
    };
    LeafDivision<V> leaves;
    leaves.start();
    gather();
    leaf_tree<s>(y, tw, leaves.division);
    if (leaves.missed(y)) {
        Divider divider;
        gather();
        leaf_tree<s>(y, tw, divider);
    }
    for (long k = 0; k < s; k += W) {
        simd::transpose(y + k);
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

} // namespace

void hartley_bit_reversed(double* x, int log2n, double* tables, double* spare)
{
    const long n = 1L << log2n;
    if (n <= 4) {
        hartley_transform(x, log2n, tables);
        bit_reverse(x, n);
        return;
    }
    if (!tables_built(tables, static_cast<int>(n))) build_hartley_tables(static_cast<int>(n), tables);
    simd::dispatch<split_radix>(x, n, static_cast<const double*>(tables), spare);
}

} // namespace trig

void hartley_transform(double* x, int log2n, double* tables)
{
    const long n = 1L << log2n;
    if (n == 1) return;
    // n = 2 and 4 need no Hartley tables. The rotation tables a cosine
    // routine just built for this n sit where those of a longer n were; the
    // tag is cleared so that such a length builds them again.
    if (n <= 4) tables[0] = 0.0;
    if (n == 2) {
        const double s = trig::kHalfSqrt2 * (x[0] + x[1]);
        x[1] = trig::kHalfSqrt2 * (x[0] - x[1]);
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
    trig::hartley_bit_reversed(x, log2n, tables, nullptr);
    trig::bit_reverse(x, n);
}
