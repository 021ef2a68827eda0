// Cosine-packet kernels and drivers against naive references: the defining
// sums of the DFT and the DCT-IV, and a direct fold of each block written
// from the bell's formula; then orthogonality and round trips.
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "cosine_packets/local_cosine.hpp"
#include "cosine_packets/packet_table.hpp"
#include "common/sincos.hpp"
#include "tests/kernels/cosine_packets_reference.hpp"
#include "tests/support/double_double.hpp"
#include "tests/support/simd_paths.hpp"
#include "tests/support/tolerance.hpp"
#include "tests/support/vectors.hpp"

namespace {

using Vec = std::vector<double>;
const double pi = 3.141592653589793;

// The DCT-IV of x in double-double, every angle reduced exactly in
// integers: y[k] = sqrt(2/f) sum_j x[j] cos(pi a / (4f)), a = (2j+1)(2k+1)
// mod 8f.
std::vector<DD> exact_dct4(const Vec& x)
{
    const int f = static_cast<int>(x.size());
    std::vector<DD> c(8 * f), y(f);
    for (int a = 0; a < 8 * f; ++a) {
        DD s;
        sincos_pi_dd(a, 4 * f, s, c[a]);
    }
    const DD scale = sqrt_dd(2.0 / f);
    for (int k = 0; k < f; ++k) {
        DD s{0.0, 0.0};
        for (int j = 0; j < f; ++j) s = s + c[(static_cast<long long>(2 * j + 1) * (2 * k + 1)) % (8 * f)] * x[j];
        y[k] = s * scale;
    }
    return y;
}

Vec ref_dct4(const Vec& x)
{
    Vec y;
    for (const DD& v : exact_dct4(x)) y.push_back(v.hi);
    return y;
}

int log2_of(int n)
{
    int J = 0;
    while ((1 << J) < n) ++J;
    return J;
}

// Column d of the table built directly: each block folded with its plain
// neighbours (ends untouched), then the naive DCT-IV.
Vec ref_column(const Vec& x, int D, int d)
{
    const int n = static_cast<int>(x.size()), f = n >> d, m = (n >> D) / 2;
    Vec col;
    for (int s = 0; s < n; s += f) {
        Vec w(x.begin() + s, x.begin() + s + f);
        for (int i = 0; i < m; ++i) {
            const double a = pi * (1.0 + (0.5 + i) / m) / 4.0, p = std::sin(a), q = std::cos(a);
            if (s > 0) w[i] = p * x[s + i] + q * x[s - 1 - i];
            if (s + f < n) w[f - 1 - i] = p * x[s + f - 1 - i] - q * x[s + f + i];
        }
        const Vec y = ref_dct4(w);
        col.insert(col.end(), y.begin(), y.end());
    }
    return col;
}

// The table and the scratch start as NaN: the drivers write every value
// before they read it, whatever the output and scratch hold.
Vec analysis(const Vec& x, int D)
{
    const int n = static_cast<int>(x.size());
    Vec T(static_cast<size_t>(n) * (D + 1), std::nan("")), scratch(7 * static_cast<size_t>(n), std::nan(""));
    cosine_packet_analysis(x.data(), n, D, T.data(), scratch.data());
    return T;
}

Vec synthesis(const Vec& T, int n, int D)
{
    Vec x(n, std::nan("")), scratch(9 * static_cast<size_t>(n), std::nan(""));
    cosine_packet_synthesis(T.data(), n, D, x.data(), scratch.data());
    return x;
}

Vec column(const Vec& T, int n, int d) { return Vec(T.begin() + d * n, T.begin() + (d + 1) * n); }

double energy(const Vec& v)
{
    double s = 0.0;
    for (double a : v) s += a * a;
    return s;
}

} // namespace

TEST(ComplexAndRealFft, AgainstTheDefiningSum)
{
    for (int K = 1; K <= 512; K *= 2) {
        Vec z = random_vec(2 * K, K), ref(2 * K, 0.0);
        for (int k = 0; k < K; ++k)
            for (int j = 0; j < K; ++j) {
                const double a = 2.0 * pi * ((static_cast<long long>(j) * k) % K) / K;
                ref[2 * k] += z[2 * j] * std::cos(a) - z[2 * j + 1] * std::sin(a);
                ref[2 * k + 1] += z[2 * j] * std::sin(a) + z[2 * j + 1] * std::cos(a);
            }
        complex_fft(z.data(), K);
        EXPECT_CLOSE(z, ref) << "K=" << K;
    }
    for (int N = 4; N <= 1024; N *= 2) {
        Vec d = random_vec(N, N + 1), ref(N, 0.0);
        for (int k = 0; k <= N / 2; ++k) {
            double re = 0.0, im = 0.0;
            for (int j = 0; j < N; ++j) {
                const double a = 2.0 * pi * ((static_cast<long long>(j) * k) % N) / N;
                re += d[j] * std::cos(a);
                im += d[j] * std::sin(a);
            }
            if (k == 0) ref[0] = re;
            else if (k == N / 2) ref[1] = re;
            else ref[2 * k] = re, ref[2 * k + 1] = im;
        }
        real_fft(d.data(), N);
        EXPECT_CLOSE(d, ref) << "N=" << N;
    }
}

TEST(CosineTransformType4, DefiningSumSelfInverseAndScratch)
{
    for (int f = 1; f <= 1024; f *= 2) {
        const Vec x = random_vec(f, 3 * f);
        Vec y(f), z(f), buf(8 * f + 1, 5.0);
        buf[8 * f] = 99.0;  // one past the scratch: must stay untouched
        cosine_transform_type4(x.data(), f, y.data(), buf.data());
        EXPECT_CLOSE(y, ref_dct4(x)) << "f=" << f;
        cosine_transform_type4(y.data(), f, z.data(), buf.data());
        EXPECT_CLOSE(z, x) << "f=" << f;
        EXPECT_EQ(buf[8 * f], 99.0);
    }
    const Vec one{-2.5};
    Vec y(1), buf(8);
    cosine_transform_type4(one.data(), 1, y.data(), buf.data());
    EXPECT_NEAR(y[0], -2.5, 1e-15);
}

// Relative L2 error of the fast DCT-IV and of the real FFT it replaced,
// both against the defining sum in double-double, for every block length up
// to 2^12: the fast one may differ from the old by rounding only, and its
// error is no larger.
TEST(CosineTransformType4, AsAccurateAsTheRealFftItReplaces)
{
    for (int f = 1; f <= 4096; f *= 2) {
        const Vec x = random_vec(f, 5 * f + 1);
        const std::vector<DD> exact = exact_dct4(x);
        Vec fast(f), old(f), buf(8 * f);
        cosine_transform_type4(x.data(), f, fast.data(), buf.data());
        reference_cosine_transform_type4(x.data(), f, old.data(), buf.data());
        double e_fast = 0, e_old = 0, norm = 0;
        for (int k = 0; k < f; ++k) {
            const double d_fast = (fast[k] - exact[k].hi) - exact[k].lo, d_old = (old[k] - exact[k].hi) - exact[k].lo;
            e_fast += d_fast * d_fast;
            e_old += d_old * d_old;
            norm += exact[k].hi * exact[k].hi;
        }
        EXPECT_LE(e_fast, e_old) << "f=" << f << " errors " << std::sqrt(e_fast / norm) << " and "
                                 << std::sqrt(e_old / norm);
        EXPECT_LE(relative_error(fast, old), 1e-13) << "f=" << f;
    }
}

// The sine and cosine of pi p/q that the bell and the tables are made of,
// within 1 ulp of the correctly rounded values (references in double-double):
// every bell entry up to half-width 2^12, and random fractions in every
// quadrant, with negative p, the quadrant boundaries and q up to 2^50.
TEST(SineOfPiFractions, BellAndFractionsWithinOneUlp)
{
    for (int m = 1; m <= 4096; m *= 2) {
        Vec bp(m), bm(m);
        make_bell(m, bp.data(), bm.data());
        for (int i = 0; i < m; ++i) {
            DD s, c;
            sincos_pi_dd(2 * m + 2 * i + 1, 8 * m, s, c);
            ASSERT_LE(ulps_from_rounded(bp[i], s), 1.0) << "m=" << m << " i=" << i;
            ASSERT_NEAR(bp[i] * bp[i] + bm[i] * bm[i], 1.0, 1e-15) << "m=" << m << " i=" << i;
        }
    }
    std::mt19937_64 gen(3);
    for (long long q : {1LL, 2LL, 3LL, 7LL, 64LL, 1000LL, 4096LL, 1LL << 20, 1000003LL, (1LL << 33) + 5, 1LL << 40,
                        (1LL << 50) - 1}) {
        std::vector<long long> ps;
        for (long long k = -8; k <= 8; ++k)
            for (long long d = -1; d <= 1; ++d) ps.push_back(k * q / 4 + d);
        for (int r = 0; r < 4000; ++r) ps.push_back(static_cast<long long>(gen() % (6 * q + 1)) - 3 * q);
        for (long long p : ps) {
            const SinCos<double> v = sincos_pi_fraction(p, q);
            DD s, c;
            sincos_pi_dd(p, q, s, c);
            ASSERT_LE(ulps_from_rounded(v.s, s), 1.0) << "sin pi " << p << "/" << q;
            ASSERT_LE(ulps_from_rounded(v.c, c), 1.0) << "cos pi " << p << "/" << q;
        }
    }
}

TEST(Bell, ValuesForFourAndNothingForZero)
{
    Vec bp(4), bm(4);
    make_bell(4, bp.data(), bm.data());
    EXPECT_CLOSE(bp, (Vec{0.773010453362737, 0.881921264348355, 0.956940335732209, 0.995184726672197}));
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(bp[i] * bp[i] + bm[i] * bm[i], 1.0, 1e-15);
    Vec none{3.0};
    make_bell(0, none.data(), none.data());
    EXPECT_EQ(none[0], 3.0);
}

// From half-width 2^26 on, the last bell entry is bp = 1, bm = 0 (the sine
// of pi (4m - 1) / (8m) is 1 - 1.7e-17, which rounds to 1): the edge
// extension must still give the end of the signal back unchanged.
TEST(Bell, WidestEntryAtTheEdges)
{
    const long long m = 1 << 26, i = m - 1;
    const double bp = sincos_pi_fraction(2 * m + 2 * i + 1, 8 * m).s, bm = std::sqrt(1.0 - bp * bp);
    ASSERT_EQ(bm, 0.0);
    const Vec v{0.75, -2.0};
    Vec ext(2), w(2);
    edge_extension(v.data(), 2, 1, &bp, &bm, Side::left, ext.data());
    edge_extension(v.data(), 2, 1, &bp, &bm, Side::right, ext.data());
    fold_block(v.data(), ext.data(), ext.data(), 2, 1, &bp, &bm, w.data());
    EXPECT_EQ(w, v);
}

TEST(FoldUnfold, PlainCopiesWithoutBellAndTrivialEnds)
{
    const int f = 8;
    const Vec cur = random_vec(f, 11), left = random_vec(f, 12), right = random_vec(f, 13);
    Vec w(f), c(f), lp(f, 4.0), rp(f, 4.0);
    fold_block(cur.data(), left.data(), right.data(), f, 0, nullptr, nullptr, w.data());
    EXPECT_EQ(w, cur);
    unfold_block(cur.data(), f, 0, nullptr, nullptr, c.data(), lp.data(), rp.data());
    EXPECT_EQ(c, cur);
    EXPECT_EQ(lp, Vec(f, 4.0));
    EXPECT_EQ(rp, Vec(f, 4.0));

    // m = f/2 with both extensions in one buffer: a lone block folds to
    // itself, and unfolding plus the edge corrections give it back.
    const int m = f / 2;
    Vec bp(m), bm(m), ext(f, 0.0), g(f);
    make_bell(m, bp.data(), bm.data());
    edge_extension(cur.data(), f, m, bp.data(), bm.data(), Side::left, ext.data());
    edge_extension(cur.data(), f, m, bp.data(), bm.data(), Side::right, ext.data());
    fold_block(cur.data(), ext.data(), ext.data(), f, m, bp.data(), bm.data(), w.data());
    EXPECT_CLOSE(w, cur);
    unfold_block(cur.data(), f, m, bp.data(), bm.data(), g.data(), lp.data(), rp.data());
    unfold_edge_correction(g.data(), f, m, bp.data(), Side::left);
    unfold_edge_correction(g.data(), f, m, bp.data(), Side::right);
    EXPECT_CLOSE(g, cur);

    // Between real neighbours every value of the block moves.
    fold_block(cur.data(), left.data(), right.data(), f, m, bp.data(), bm.data(), w.data());
    for (int i = 0; i < f; ++i) EXPECT_NE(w[i], cur[i]) << i;
}

TEST(CosinePacketAnalysis, EveryColumnAgainstADirectFold)
{
    for (int n : {1, 2, 8, 16, 64}) {
        const int J = log2_of(n);
        const Vec x = random_vec(n, 100 + n);
        for (int D = 0; D <= J; ++D) {
            const Vec T = analysis(x, D);
            for (int d = 0; d <= D; ++d)
                EXPECT_CLOSE(column(T, n, d), ref_column(x, D, d)) << "n=" << n << " D=" << D << " d=" << d;
        }
        EXPECT_CLOSE(column(analysis(x, J), n, J), x);
    }
}

TEST(CosinePacketRoundTrip, EachColumnAloneAndTheWholeTable)
{
    for (int n = 1; n <= 4096; n *= 2) {
        const int J = log2_of(n);
        const Vec x = random_vec(n, 7 * n);
        const double ex = energy(x);
        for (int D = 0; D <= J; ++D) {
            const Vec T = analysis(x, D);
            for (int d = 0; d <= D; ++d) {
                EXPECT_NEAR(energy(column(T, n, d)), ex, 1e-12 * ex) << "n=" << n << " D=" << D << " d=" << d;
                Vec single(T.size(), 0.0);
                std::copy(T.begin() + d * n, T.begin() + (d + 1) * n, single.begin() + d * n);
                EXPECT_CLOSE(synthesis(single, n, D), x) << "n=" << n << " D=" << D << " d=" << d;
            }
            Vec scaled(x);
            for (double& v : scaled) v *= D + 1;
            EXPECT_CLOSE(synthesis(T, n, D), scaled) << "n=" << n << " D=" << D;
        }
    }
}

namespace {

// The drivers as one block at a time through the scalar pieces they are
// made of (fold_block, the DCT-IV of one block, unfold_block and the
// overlap-adds into a level accumulator): the doubles the vector paths must
// give, lane for lane.
Vec per_block_analysis(const Vec& x, int D)
{
    const int n = static_cast<int>(x.size()), m = (n >> D) / 2;
    Vec T(static_cast<size_t>(n) * (D + 1)), bp(n / 2 + 1), bm(n / 2 + 1), tables(3 * n), work(n), ext(n), w(n);
    make_bell(m, bp.data(), bm.data());
    for (int d = D; d >= 0; --d) {
        const int B = 1 << d, f = n >> d;
        make_type4_tables(f, tables.data(), work.data());
        for (int i = 0; i < B; ++i) {
            const double* cur = x.data() + i * f;
            if (i == 0) edge_extension(cur, f, m, bp.data(), bm.data(), Side::left, ext.data());
            if (i + 1 == B) edge_extension(cur, f, m, bp.data(), bm.data(), Side::right, ext.data());
            fold_block(cur, i == 0 ? ext.data() : cur - f, i + 1 == B ? ext.data() : cur + f, f, m, bp.data(),
                       bm.data(), w.data());
            cosine_transform_type4(w.data(), f, tables.data(), T.data() + d * n + i * f, work.data());
        }
    }
    return T;
}

Vec per_block_synthesis(const Vec& T, int n, int D)
{
    const int m = (n >> D) / 2;
    Vec x(n, 0.0), A(n), bp(n / 2 + 1), bm(n / 2 + 1), tables(3 * n), work(n), y(n), c(n), lp(n), rp(n);
    make_bell(m, bp.data(), bm.data());
    for (int d = D; d >= 0; --d) {
        const int B = 1 << d, f = n >> d;
        std::fill(A.begin(), A.end(), 0.0);
        make_type4_tables(f, tables.data(), work.data());
        for (int i = 0; i < B; ++i) {
            double* a = A.data() + i * f;
            cosine_transform_type4(T.data() + d * n + i * f, f, tables.data(), y.data(), work.data());
            unfold_block(y.data(), f, m, bp.data(), bm.data(), c.data(), lp.data(), rp.data());
            for (int j = 0; j < f; ++j) a[j] = a[j] + c[j];
            if (i > 0) add_overlap(lp.data(), f, m, Side::left, a - f);
            else unfold_edge_correction(a, f, m, bp.data(), Side::left);
            if (i + 1 < B) add_overlap(rp.data(), f, m, Side::right, a + f);
            else unfold_edge_correction(a, f, m, bp.data(), Side::right);
        }
        for (int j = 0; j < n; ++j) x[j] = x[j] + A[j];
    }
    return x;
}

} // namespace

// Every path (blocks as lanes, long blocks split into lanes) gives the
// doubles of the block-at-a-time drivers for n = 2 .. 2^17 at every depth,
// and so do the level pieces run on ranges of 1, 2, 3, ... blocks in turn
// (unfolding: positions 1, 3, 7, ... wide, across block ends) with scratch
// full of NaN: a range depends on nothing but its level.
TEST(CosinePacketLevels, EveryPathAndEveryRangeGiveTheBlockByBlockDoubles)
{
    for (int J = 1; J <= 17; ++J) {
        const int n = 1 << J;
        const Vec x = random_vec(n, 40 + J);
        for (int D = 0; D <= J; ++D) {
            const Vec T = per_block_analysis(x, D), xs = per_block_synthesis(T, n, D);
            on_every_path([&] {
                ASSERT_TRUE(same_bits(analysis(x, D), T)) << "n=" << n << " D=" << D;
                ASSERT_TRUE(same_bits(synthesis(T, n, D), xs)) << "n=" << n << " D=" << D;
                if (J > 12 || D % 3 != 1) return;
                Vec byRange(T.size()), sum(n, 0.0), bell(n), tables(3 * n), y(n);
                Vec scratch(static_cast<size_t>(packet_block_scratch(n)), std::nan(""));
                make_bell((n >> D) / 2, bell.data() + n / 2, bell.data());
                for (int d = D; d >= 0; --d) {
                    const PacketLevel L =
                        make_packet_level(n, D, d, bell.data() + n / 2, bell.data(), tables.data(), scratch.data());
                    double* col = byRange.data() + d * n;
                    for (int b = 0, w = 1; b < L.B; b += w++)
                        cosine_packet_analysis_blocks(x.data(), L, b, std::min(L.B, b + w), col, scratch.data());
                    for (int b = 0, w = 1; b < L.B; b += w++)
                        cosine_packet_synthesis_transforms(col, L, b, std::min(L.B, b + w), y.data(), scratch.data());
                    for (long j = 0, w = 1; j < n; j += w, w = 2 * w + 1)
                        cosine_packet_synthesis_unfold(y.data(), L, j, std::min<long>(n, j + w), sum.data());
                }
                ASSERT_TRUE(same_bits(byRange, T)) << "n=" << n << " D=" << D;
                ASSERT_TRUE(same_bits(sum, xs)) << "n=" << n << " D=" << D;
            });
        }
    }
}

namespace {
struct LanesTaken {
    template <class V> static void run(int* lanes) { *lanes = simd::lanes<V>; }
};
} // namespace

// The cosine packets' dispatch stops at their widest path: the lanes of the
// path forced, but no more than that path's.
TEST(CosinePacketDispatch, NoWiderThanItsWidestPath)
{
    int widest = 0;
    on_every_path([&](simd::Isa isa) {
        int capped = 0, plain = 0;
        simd::dispatch<LanesTaken, kCosinePacketWidest>(&capped);
        simd::dispatch<LanesTaken>(&plain);
        if (isa == kCosinePacketWidest) widest = plain;
        EXPECT_EQ(capped, static_cast<int>(isa) > static_cast<int>(kCosinePacketWidest) ? widest : plain);
    });
}

// Tables of blocks up to 2^18 values are made once and kept; longer ones are
// made in the caller's array. Either way they are make_type4_tables's.
TEST(CosinePacketTables, KeptUpTo2To18AndMadeInPlaceBeyond)
{
    for (int e : {0, 1, 5, 12, 18, 19}) {
        const int f = 1 << e;
        Vec made(3 * f, 0.0), tables(3 * f, 0.0), scratch(f);
        make_type4_tables(f, made.data(), scratch.data());
        const double* got = type4_tables(f, tables.data(), scratch.data());
        EXPECT_EQ(got == tables.data(), e > 18) << "f=2^" << e;
        long long used = 2LL * f; // the rotations, then the twiddles of each radix-4 stage
        for (int L = f / 2; L >= 4; L /= 4) used += 6 * (L / 4);
        if (f > 1) {
            EXPECT_TRUE(std::equal(made.begin(), made.begin() + used, got)) << "f=2^" << e;
        }
        if (e <= 18) {
            EXPECT_EQ(type4_tables(f, tables.data(), scratch.data()), got) << "f=2^" << e;
        }
    }
}
