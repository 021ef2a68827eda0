// The cosine and sine transforms of types II and III on the Hartley
// transform: with h = n/2 and A, B the rotation tables,
//   type II:  p = (x[0], x[2], .., x[n-2], x[n-1], x[n-3], .., x[1]) (the reorder),
//             p <- Hartley(p), y[0] = p[0], y[h] = p[h],
//             y[i] = A[i] p[i] + B[i] p[n-i], y[n-i] = B[i] p[i] - A[i] p[n-i] (the rotation);
//   type III: the same rotation of x into p, Hartley(p), the reorder undone.
// The sine transforms negate the odd-indexed entries and reverse the order,
// folded into the reorder and the rotation.
#include "simd/simd.hpp"
#include "trig/bit_reversal.hpp"
#include "trig/hartley.hpp"
#include "trig/hartley_tables.hpp"
#include "trig/sine.hpp"
#include "trig/split_radix.hpp"

namespace {

using simd::lanes;
using simd::load;
using simd::store;

// Even-indexed values ascending, then odd-indexed values descending:
// p[i] = x[2i], p[n/2 + i] = x[n-1-2i], the latter negated if `negate`.
struct reorder {
    template <class V> SIMD_INLINE static void run(const double* x, long n, bool negate, double* p)
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

// The rotation, pairing index i with n - i for i = 1 .. n/2-1: with
// a = x[i], b = x[n-i], y[i] <- A[i] a + B[i] b, y[n-i] <- B[i] a - A[i] b.
// A reflected array holds index k at n-1-k (a from x[n-1-i], b from
// x[i-1], and likewise for y). x and y may be the same array when both are
// reflected or neither is.
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
    SIMD_INLINE static void run(const double* x, bool x_reflected, long n, const double* A, const double* B, double* y,
                                bool y_reflected)
    {
        const long h = n / 2;
        long i = 1;
        for (; i + lanes<V> <= h; i += lanes<V>) {
            const V a = low<V>(x, n, i, x_reflected), b = high<V>(x, n, i, x_reflected);
            const V Ai = load<V>(A + i), Bi = load<V>(B + i);
            put(y, n, i, y_reflected, Ai * a + Bi * b, Bi * a - Ai * b);
        }
        for (; i < h; ++i) {
            const double a = low<double>(x, n, i, x_reflected), b = high<double>(x, n, i, x_reflected);
            put(y, n, i, y_reflected, A[i] * a + B[i] * b, B[i] * a - A[i] * b);
        }
    }
};

// y <- the DCT-II of x, or (sine) the DST-II: the DCT-II of x with its
// odd-indexed entries negated, written in reverse order. x is read only
// before y is first written, so it may be y itself.
//
// The Hartley result is read through the bit-reversal permutation instead
// of having it applied: with r = rev(i), rev(n - i) = n - 1 - rev(i - 1)
// and, for i < n/2, rev(n/2 + i) = r + 1.
void type2(const double* x, int log2n, bool sine, double* y, double* p, double* q)
{
    const long n = 1L << log2n, h = n / 2;
    if (n == 1) {
        y[0] = x[0];
        return;
    }
    if (!trig::tables_built(q, static_cast<int>(n))) trig::build_rotation_tables(static_cast<int>(n), q);
    const double* A = q + h;
    const double* B = q + n;

    simd::dispatch<reorder>(x, n, sine, p);
    trig::hartley_bit_reversed(p, log2n, q, y);

    if (n >= 64) {
        trig::bit_reversed_copy(p, n, sine, y);
        simd::dispatch<rotation>(static_cast<const double*>(y), sine, n, A, B, y, sine);
        return;
    }
    const auto at = [&](long k) -> double& { return y[sine ? n - 1 - k : k]; };
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

// y <- the DCT-III of x, or (sine) the DST-III: the DCT-III of x in
// reverse order, its odd-indexed entries then negated. x may be y.
void type3(const double* x, int log2n, bool sine, double* y, double* p, double* q)
{
    const long n = 1L << log2n, h = n / 2;
    if (!trig::tables_built(q, static_cast<int>(n))) trig::build_rotation_tables(static_cast<int>(n), q);
    const double* A = q + h;
    const double* B = q + n;

    if (n == 1) {
        y[0] = x[0];
        return;
    }
    p[0] = x[sine ? n - 1 : 0];
    p[h] = x[sine ? h - 1 : h];
    simd::dispatch<rotation>(x, sine, n, A, B, p, false);
    trig::hartley_bit_reversed(p, log2n, q, y);

    long r = 0;
    for (long i = 0; i < h; ++i) {
        y[2 * i] = p[r];
        y[n - 1 - 2 * i] = sine ? -p[r + 1] : p[r + 1];
        r = next_reversed(r, h);
    }
}

} // namespace

void cosine_transform_type2(double* x, int log2n, double* partner, double* tables)
{
    type2(x, log2n, false, x, partner, tables);
}
void cosine_transform_type3(double* x, int log2n, double* partner, double* tables)
{
    type3(x, log2n, false, x, partner, tables);
}
void sine_transform_type2(double* x, int log2n, double* partner, double* tables)
{
    type2(x, log2n, true, x, partner, tables);
}
void sine_transform_type3(double* x, int log2n, double* partner, double* tables)
{
    type3(x, log2n, true, x, partner, tables);
}

void cosine_transform_type2(const double* x, int log2n, double* y, double* partner, double* tables)
{
    type2(x, log2n, false, y, partner, tables);
}
void cosine_transform_type3(const double* x, int log2n, double* y, double* partner, double* tables)
{
    type3(x, log2n, false, y, partner, tables);
}
void sine_transform_type2(const double* x, int log2n, double* y, double* partner, double* tables)
{
    type2(x, log2n, true, y, partner, tables);
}
void sine_transform_type3(const double* x, int log2n, double* y, double* partner, double* tables)
{
    type3(x, log2n, true, y, partner, tables);
}
