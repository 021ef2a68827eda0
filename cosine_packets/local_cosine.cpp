#include "local_cosine.hpp"

#include <cmath>
#include <cstddef>
#include <memory>
#include <mutex>

#include "cosine_packets/dct4_lanes.hpp"
#include "common/bit_reversal.hpp"
#include "common/sincos.hpp"

namespace {

// out[k] = (gr + i gi) w[k], k < count, complex values interleaved.
struct rotate_roots {
    template <class V>
    SIMD_INLINE static void run(const double* w, std::ptrdiff_t count, double gr, double gi, double* out)
    {
        constexpr std::ptrdiff_t W = simd::lanes<V>;
        std::ptrdiff_t k = 0;
        for (; k + W <= count; k += W) {
            V fr, fi;
            simd::load_deinterleaved(w + 2 * k, fr, fi);
            simd::store_interleaved(out + 2 * k, gr * fr - gi * fi, gr * fi + gi * fr);
        }
        // The same doubles as gr fr - gi fi, written as a sum: GCC would
        // otherwise pair the two lines of an AVX-512 or FMA build into one
        // fused multiply-add-subtract, which rounds once (-ffp-contract=off
        // does not stop it).
        const double minus_gi = -gi;
        for (; k < count; ++k) {
            const double fr = w[2 * k], fi = w[2 * k + 1];
            out[2 * k] = gr * fr + minus_gi * fi;
            out[2 * k + 1] = gr * fi + gi * fr;
        }
    }
};

// p[j] = s p[j], j < count.
struct scale_doubles {
    template <class V> SIMD_INLINE static void run(double* p, std::ptrdiff_t count, double s)
    {
        constexpr std::ptrdiff_t W = simd::lanes<V>;
        std::ptrdiff_t j = 0;
        for (; j + W <= count; j += W) simd::store(p + j, simd::load<V>(p + j) * s);
        for (; j < count; ++j) p[j] *= s;
    }
};

// w[k] = e^(-i pi (c0 + c1 k) / den) for k < count, interleaved (cos, -sin).
// A sine and cosine per entry would dominate a level; instead k = hi L + lo
// splits the angle into a fine part (the first L entries, evaluated) and a
// coarse part (one evaluation per hi), multiplied together.
void fill_roots(double* w, std::ptrdiff_t count, std::ptrdiff_t c0, std::ptrdiff_t c1, std::ptrdiff_t den)
{
    std::ptrdiff_t L = 1;
    while (L * L < count) L *= 2;
    const PiOver unit = pi_over(den);
    for (std::ptrdiff_t lo = 0; lo < L && lo < count; ++lo) {
        const SinCos<double> a = sincos_pi_fraction(c0 + c1 * lo, unit);
        w[2 * lo] = a.c;
        w[2 * lo + 1] = -a.s;
    }
    for (std::ptrdiff_t hi = 1; hi * L < count; ++hi) {
        const SinCos<double> a = sincos_pi_fraction(c1 * L * hi, unit);
        const std::ptrdiff_t run = count - hi * L < L ? count - hi * L : L;
        simd::dispatch<rotate_roots, kCosinePacketWidest>(static_cast<const double*>(w), run, a.c, -a.s,
                                                          w + 2 * hi * L);
    }
}

} // namespace

void make_bell(int m, double* bp, double* bm)
{
    // pi (1 + (0.5 + i)/m) / 4 = pi/2 - (2m - 2i - 1) pi/(8m): bp[i] is the
    // cosine of the second angle, which lies in (0, pi/4) (what
    // sincos_pi_fraction would reduce the first to), in units of pi/(8m).
    const PiOver unit = pi_over(4 * static_cast<long long>(m));
    for (int i = 0; i < m; ++i) {
        double r, l;
        angle_in_units(2.0 * (m - i) - 1.0, unit, r, l);
        bp[i] = sincos_near_zero<true>(r, l).c;
        bm[i] = std::sqrt(1.0 - bp[i] * bp[i]);
    }
}

void make_type4_tables(int f, double* tables, double* scratch)
{
    if (f < 2) return;
    const std::ptrdiff_t F = f, K = F / 2;
    fill_roots(tables, K, 0, 4, 4 * F);     // pre: e^(-i pi j/f)
    fill_roots(tables + F, K, 1, 4, 4 * F); // post: e^(-i pi (4p+1)/(4f))
    const double s = std::sqrt(2.0 / f);
    simd::dispatch<scale_doubles, kCosinePacketWidest>(tables + F, F, s);
    double* tw = tables + 2 * F;
    for (std::ptrdiff_t L = K; L >= 4; L /= 4) {
        // w^k, w^2k, w^3k for k < L/4 from the roots e^(-2 pi i j/L), j < 3L/4,
        // as six arrays of L/4 (the layout of dct4_lanes.hpp).
        const std::ptrdiff_t q = L / 4;
        const double* roots = scratch;
        fill_roots(scratch, 3 * q, 0, 2, L);
        for (std::ptrdiff_t k = 0; k < q; ++k) {
            const double r1r = roots[2 * k], r1i = roots[2 * k + 1];
            const double r2r = roots[4 * k], r2i = roots[4 * k + 1];
            const double r3r = roots[6 * k], r3i = roots[6 * k + 1];
            tw[k] = r1r, tw[q + k] = r1i, tw[2 * q + k] = r2r, tw[3 * q + k] = r2i;
            tw[4 * q + k] = r3r, tw[5 * q + k] = r3i;
        }
        tw += 6 * q;
    }
}

const double* type4_tables(int f, double* tables, double* scratch)
{
    if (f > kKeptType4TablesUpTo) {
        make_type4_tables(f, tables, scratch);
        return tables;
    }
    constexpr int kLengths = 19; // f = 2^e, e <= 18
    static_assert(kKeptType4TablesUpTo == 1 << (kLengths - 1), "one slot per kept length");
    int e = 0;
    while ((1 << e) < f) ++e;
    static std::once_flag made[kLengths];
    static std::unique_ptr<double[]> kept[kLengths];
    std::call_once(made[e], [&] {
        std::unique_ptr<double[]> t(new double[3 * static_cast<std::size_t>(f)]);
        make_type4_tables(f, t.get(), scratch);
        kept[e] = std::move(t);
    });
    return kept[e].get();
}

void cosine_transform_type4(const double* x, int f, const double* tables, double* y, double* scratch)
{
    if (f == 1) {
        y[0] = x[0];
        return;
    }
    const std::ptrdiff_t F = f, K = F / 2;
    const double* pre = tables;
    const double* post = tables + F;
    // z[j] = (x[2j] + i x[f-1-2j]) e^(-i pi j/f)
    for (std::ptrdiff_t j = 0; j < K; ++j) {
        const double re = x[2 * j], im = x[F - 1 - 2 * j];
        scratch[2 * j] = re * pre[2 * j] - im * pre[2 * j + 1];
        scratch[2 * j + 1] = re * pre[2 * j + 1] + im * pre[2 * j];
    }
    dct4_lanes::fft_stages<double>(scratch, K, K, tables + 2 * F);
    // C[p] = Z[p] s e^(-i pi (4p+1)/(4f)); y[2p] = Re C, y[f-1-2p] = -Im C.
    std::ptrdiff_t r = 0;
    for (std::ptrdiff_t p = 0; p < K; ++p) {
        const double zr = scratch[2 * r], zi = scratch[2 * r + 1];
        y[2 * p] = zr * post[2 * p] - zi * post[2 * p + 1];
        y[F - 1 - 2 * p] = -(zr * post[2 * p + 1] + zi * post[2 * p]);
        r = next_reversed(r, K / 2);
    }
}

void cosine_transform_type4(const double* x, int f, double* y, double* scratch)
{
    double* work = scratch + 3 * static_cast<std::ptrdiff_t>(f);
    make_type4_tables(f, scratch, work);
    cosine_transform_type4(x, f, scratch, y, work);
}

namespace {

// v (1 - bp) / bm. For bells of half-width 2^26 and more the last bp rounds
// to 1 and bm to 0; the quotient then takes its limit 0, not 0/0.
double extension_value(double v, double bp, double bm) { return bm == 0.0 ? 0.0 * v : v * (1.0 - bp) / bm; }

} // namespace

void edge_extension(const double* src, int f, int m, const double* bp, const double* bm, Side side, double* ext)
{
    if (side == Side::left) {
        for (int i = 0; i < m; ++i) ext[f - 1 - i] = extension_value(src[i], bp[i], bm[i]);
    } else {
        for (int i = 0; i < m; ++i) ext[i] = extension_value(-src[f - 1 - i], bp[i], bm[i]);
    }
}

void fold_block(const double* cur, const double* left, const double* right, int f, int m, const double* bp,
                const double* bm, double* w)
{
    fold_block_ends(cur, left, right, f, m, (f + 1) / 2, bp, bm, w);
}

void fold_block_ends(const double* cur, const double* left, const double* right, int f, int m, int ends,
                     const double* bp, const double* bm, double* w)
{
    for (int i = 0; i < ends; ++i) w[i] = cur[i], w[f - 1 - i] = cur[f - 1 - i];
    for (int i = 0; i < m; ++i) {
        const int r = f - 1 - i;
        w[i] = bp[i] * w[i] + bm[i] * left[r];
        w[r] = bp[i] * w[r] - bm[i] * right[i];
    }
}

void unfold_block(const double* y, int f, int m, const double* bp, const double* bm, double* c, double* lp, double* rp)
{
    for (int i = 0; i < f; ++i) c[i] = y[i];
    for (int i = 0; i < m; ++i) {
        const int r = f - 1 - i;
        lp[r] = y[i] * bm[i];
        rp[i] = y[r] * (-1.0 * bm[i]);
        c[i] = bp[i] * y[i];
        c[r] = bp[i] * y[r];
    }
}

void add_overlap(const double* piece, int f, int m, Side side, double* acc)
{
    if (side == Side::left) {
        for (int i = 0; i < m; ++i) acc[f - 1 - i] += piece[f - 1 - i];
    } else {
        for (int i = 0; i < m; ++i) acc[i] += piece[i];
    }
}

void unfold_edge_correction(double* g, int f, int m, const double* bp, Side side)
{
    for (int i = 0; i < m; ++i) {
        double& v = side == Side::left ? g[i] : g[f - 1 - i];
        v = v + v * (1.0 - bp[i]) / bp[i];
    }
}
