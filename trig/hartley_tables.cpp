// The tables: angles accumulated by repeated addition, then their sines and
// cosines W at a time (common/sincos.hpp, within 1 ulp, no library call).
#include "trig/hartley_tables.hpp"

#include <initializer_list>

#include "simd/simd.hpp"
#include "common/sincos.hpp"
#include "trig/constants.hpp"
#include "trig/hartley.hpp"

namespace trig {
namespace {

using simd::lanes;
using simd::load;
using simd::store;

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

// angles[0] = first, angles[k+1] = angles[k] + step (rounded), k < count - 1:
// the angles of a table, accumulated by repeated addition. Within a binade
// every sum rounds to the same grid, so while no addition is a tie the
// differences a[k+1] - a[k] all equal one D, and a[k+j] = a[k] + j D
// exactly. Such candidates are written W at a time and each is checked
// against the rounded sum of its predecessor; the first chunk that fails
// (at a binade's end, or where step lies halfway between two grid points)
// takes one addition in order, and the run starts again from there.
struct angles {
    template <class V> SIMD_INLINE static void run(long count, double first, double step, double* a)
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
            const double x = a[k], D = (x + step) - x;
            long j = 1;
            for (; k + j + W <= count; j += W) {
                // Each lane's predecessor by the same operations on the same
                // values, so the very double stored before it.
                const V4 c = x + (lane + static_cast<double>(j - 1)) * D;
                const V4 before = x + (lane + static_cast<double>(j - 2)) * D;
                store(a + k + j, c);
                if (!simd::all(before + step == c)) break;
            }
            k += j - 1;
            if (k + 1 < count) {
                a[k + 1] = a[k] + step;
                ++k;
            }
        }
    }
};

// Each table's angles are accumulated first (stored where their values
// go), then their sines and cosines are taken W at a time.
struct hartley_tables {
    template <class V> SIMD_INLINE static void run(int n, double* q)
    {
        const long t = n / 8 - 1;
        double *C1 = q + 1, *S1 = C1 + t, *C3 = S1 + t, *S3 = C3 + t;
        q[0] = n;
        const double step = kTwoPi / n;
        angles::run<V>(t, step, step, C1);
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
    template <class V> SIMD_INLINE static void run(int n, double* q)
    {
        const long h = n / 2;
        double* A = q + h;
        double* B = q + n;
        angles::run<V>(h, 0.0, kPi / (2 * n), A);
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

} // namespace

void build_hartley_tables(int n, double* tables) { simd::dispatch<hartley_tables>(n, tables); }
void build_rotation_tables(int n, double* tables) { simd::dispatch<rotation_tables>(n, tables); }

} // namespace trig

void accumulate_angles(long count, double first, double step, double* angles)
{
    simd::dispatch<trig::angles>(count, first, step, angles);
}
