// Periodic two-channel kernels against a plain modular-index evaluation of
// their formulas, plus transposes and round trips.
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "tests/support/tolerance.hpp"
#include "tests/support/vectors.hpp"
#include "wavelet/dyadic.hpp"
#include "wavelet/invariant.hpp"
#include "wavelet/packets.hpp"
#include "wavelet/periodic.hpp"
#include "wavelet/square.hpp"

namespace {

using Vec = std::vector<double>;

Vec ref_down_lo(const Vec& x, const Vec& h)
{
    const int n = static_cast<int>(x.size());
    Vec y(n / 2, 0.0);
    for (int i = 0; i < n / 2; ++i)
        for (size_t k = 0; k < h.size(); ++k) y[i] += h[k] * x[mod(2 * i + static_cast<int>(k), n)];
    return y;
}

Vec ref_down_hi(const Vec& x, const Vec& g)
{
    const int n = static_cast<int>(x.size());
    Vec y(n / 2, 0.0);
    for (int i = 0; i < n / 2; ++i)
        for (size_t k = 0; k < g.size(); ++k) y[i] += g[k] * x[mod(2 * i + 1 - static_cast<int>(k), n)];
    return y;
}

Vec ref_up_lo(const Vec& c, const Vec& h)
{
    const int nc = static_cast<int>(c.size()), m = static_cast<int>(h.size());
    Vec y(2 * nc, 0.0);
    for (int i = 0; i < nc; ++i) {
        for (int k = 0; 2 * k < m; ++k) y[2 * i] += h[2 * k] * c[mod(i - k, nc)];
        for (int k = 0; 2 * k + 1 < m; ++k) y[2 * i + 1] += h[2 * k + 1] * c[mod(i - k, nc)];
    }
    return y;
}

Vec ref_up_hi(const Vec& d, const Vec& g)
{
    const int nc = static_cast<int>(d.size()), m = static_cast<int>(g.size());
    Vec y(2 * nc, 0.0);
    for (int i = 0; i < nc; ++i) {
        for (int k = 0; 2 * k < m; ++k) y[2 * i + 1] += g[2 * k] * d[mod(i + k, nc)];
        for (int k = 0; 2 * k + 1 < m; ++k) y[2 * i] += g[2 * k + 1] * d[mod(i + k, nc)];
    }
    return y;
}

const double r2 = 1.0 / std::sqrt(2.0);

} // namespace

TEST(MirrorFilter, AlternatesSignsStartingPositive)
{
    Vec h{1, 2, 3, 4, 5}, g(5);
    mirror_filter(h.data(), g.data(), 5);
    EXPECT_EQ(g, (Vec{1, -2, 3, -4, 5}));
}

TEST(PeriodicKernels, MatchModularReferenceForAllFilterAndSignalLengths)
{
    for (int m = 0; m <= 9; ++m) {
        for (int n = 2; n <= 32; n += 2) {
            SCOPED_TRACE("m=" + std::to_string(m) + " n=" + std::to_string(n));
            const Vec h = random_vec(m, 17u * m + 1), x = random_vec(n, 31u * n + m);
            Vec g(m);
            mirror_filter(h.data(), g.data(), m);

            Guarded lo(n / 2), hi(n / 2);
            downsample_lowpass_periodic(x.data(), n, h.data(), m, lo.data());
            downsample_highpass_periodic(x.data(), n, g.data(), m, hi.data());
            EXPECT_CLOSE(lo.inside(), ref_down_lo(x, h));
            EXPECT_CLOSE(hi.inside(), ref_down_hi(x, g));

            const int nc = n / 2;
            const Vec c = random_vec(nc, 7u * n + m);
            Guarded ulo(2 * nc), uhi(2 * nc);
            upsample_lowpass_periodic(c.data(), nc, h.data(), m, ulo.data());
            upsample_highpass_periodic(c.data(), nc, g.data(), m, uhi.data());
            EXPECT_CLOSE(ulo.inside(), ref_up_lo(c, h));
            EXPECT_CLOSE(uhi.inside(), ref_up_hi(c, g));
            EXPECT_TRUE(lo.guards_intact() && hi.guards_intact() && ulo.guards_intact() && uhi.guards_intact());
        }
    }
}

TEST(PeriodicKernels, UpsamplingIsTheTransposeOfDownsampling)
{
    // <down(x), c> == <x, up(c)> for every x, c.
    for (int m : {1, 4, 7, 12}) {
        for (int n : {2, 4, 8, 16}) {
            const Vec h = random_vec(m, 3u + m), x = random_vec(n, 5u + n), c = random_vec(n / 2, 9u + n);
            Vec g(m);
            mirror_filter(h.data(), g.data(), m);
            Vec lo(n / 2), hi(n / 2), ulo(n), uhi(n);
            downsample_lowpass_periodic(x.data(), n, h.data(), m, lo.data());
            downsample_highpass_periodic(x.data(), n, g.data(), m, hi.data());
            upsample_lowpass_periodic(c.data(), n / 2, h.data(), m, ulo.data());
            upsample_highpass_periodic(c.data(), n / 2, g.data(), m, uhi.data());
            double a1 = 0, b1 = 0, a2 = 0, b2 = 0;
            for (int i = 0; i < n / 2; ++i) a1 += lo[i] * c[i], a2 += hi[i] * c[i];
            for (int i = 0; i < n; ++i) b1 += x[i] * ulo[i], b2 += x[i] * uhi[i];
            EXPECT_NEAR(a1, b1, 1e-12);
            EXPECT_NEAR(a2, b2, 1e-12);
        }
    }
}

TEST(PeriodicKernels, HaarExampleAndLongFilterWrap)
{
    const Vec h{r2, r2}, x{1, 2, 3, 4};
    Vec g(2), lo(2), hi(2);
    mirror_filter(h.data(), g.data(), 2);
    downsample_lowpass_periodic(x.data(), 4, h.data(), 2, lo.data());
    downsample_highpass_periodic(x.data(), 4, g.data(), 2, hi.data());
    EXPECT_CLOSE(lo, (Vec{3 * r2, 7 * r2}));
    EXPECT_CLOSE(hi, (Vec{r2, r2}));

    // Four taps on n = 2 wrap every tap.
    const Vec h4{1, 2, 3, 4}, x2{10, 20};
    Vec y(1);
    downsample_lowpass_periodic(x2.data(), 2, h4.data(), 4, y.data());
    EXPECT_DOUBLE_EQ(y[0], 1 * 10 + 2 * 20 + 3 * 10 + 4 * 20);
}

TEST(PeriodicKernels, TinySignalsAndEmptyFiltersStayInRange)
{
    // n = 1, 2, 3 with empty and one-tap filters: nothing written past n/2
    // (or 2nc), zeros for an empty filter.
    const Vec h1{2.0};
    for (int m : {0, 1}) {
        for (int n : {1, 2, 3}) {
            const Vec x = random_vec(n, 11u + n);
            Guarded lo(n / 2), hi(n / 2);
            downsample_lowpass_periodic(x.data(), n, h1.data(), m, lo.data());
            downsample_highpass_periodic(x.data(), n, h1.data(), m, hi.data());
            EXPECT_TRUE(lo.guards_intact() && hi.guards_intact()) << "m=" << m << " n=" << n;
            if (m == 0) {
                EXPECT_EQ(lo.inside(), Vec(n / 2, 0.0));
                EXPECT_EQ(hi.inside(), Vec(n / 2, 0.0));
            }
        }
        Guarded ulo(2), uhi(2);
        const Vec c{3.0};
        upsample_lowpass_periodic(c.data(), 1, h1.data(), m, ulo.data());
        upsample_highpass_periodic(c.data(), 1, h1.data(), m, uhi.data());
        EXPECT_EQ(ulo.inside(), (m ? Vec{6.0, 0.0} : Vec{0.0, 0.0}));
        EXPECT_EQ(uhi.inside(), (m ? Vec{0.0, 6.0} : Vec{0.0, 0.0}));
        EXPECT_TRUE(ulo.guards_intact() && uhi.guards_intact());
    }
}

TEST(DyadicTransform, RoundTripsAtEveryLevelForOrthonormalFilters)
{
    const Vec haar{r2, r2};
    const Vec d4{0.4829629131445341, 0.8365163037378079, 0.2241438680420134, -0.1294095225512604};
    const Vec d8{0.2303778133088964, 0.7148465705529154, 0.6308807679298587, -0.0279837694168599,
                 -0.1870348117190931, 0.0308413818355607, 0.0328830116668852, -0.0105974017850690};
    for (const Vec& h : {haar, d4, d8}) {
        const int m = static_cast<int>(h.size());
        Vec g(m);
        mirror_filter(h.data(), g.data(), m);
        for (int J = 0; J <= 8; ++J) {
            const int n = 1 << J, count = 3;
            const Vec x = random_vec(n * count, 100u + J);
            Vec w(n * count), back(n * count), s0(n), s1(n), s2(n);
            for (int L = -2; L <= J + 3; ++L) {
                periodic_analysis(x.data(), w.data(), n, count, J, L, h.data(), g.data(), m, s0.data());
                periodic_synthesis(w.data(), back.data(), n, count, J, L, h.data(), g.data(), m, s1.data(),
                                   s2.data());
                // d8 is given to 16 digits only: orthonormal to about 1e-13.
                EXPECT_LE(relative_error(back, x), m == 8 ? 1e-11 : kTolerance) << "J=" << J << " L=" << L;
            }
        }
    }
}

TEST(DyadicTransform, HaarLayoutOfOneToEight)
{
    const Vec h{r2, r2};
    Vec g(2), x{1, 2, 3, 4, 5, 6, 7, 8}, w(8), s(8);
    mirror_filter(h.data(), g.data(), 2);
    periodic_analysis(x.data(), w.data(), 8, 1, 3, 0, h.data(), g.data(), 2, s.data());
    EXPECT_CLOSE(w, (Vec{36 / std::sqrt(8.0), 4 * std::sqrt(2.0), 2, 2, r2, r2, r2, r2}));
}

// ---- 2-D, packet and translation-invariant drivers ----

namespace {

const Vec kD4{0.4829629131445341, 0.8365163037378079, 0.2241438680420134, -0.1294095225512604};
const Vec kD8{0.2303778133088964, 0.7148465705529154, 0.6308807679298587, -0.0279837694168599,
              -0.1870348117190931, 0.0308413818355607, 0.0328830116668852, -0.0105974017850690};

Vec mirrored(const Vec& h)
{
    Vec g(h.size());
    mirror_filter(h.data(), g.data(), static_cast<int>(h.size()));
    return g;
}

// x delayed circularly by one sample: y[i] = x[i - 1 mod n].
Vec delayed(const Vec& x)
{
    Vec y(x.size());
    for (size_t i = 0; i < x.size(); ++i) y[i] = x[(i + x.size() - 1) % x.size()];
    return y;
}

Vec advanced(const Vec& x)
{
    Vec y(x.size());
    for (size_t i = 0; i < x.size(); ++i) y[i] = x[(i + 1) % x.size()];
    return y;
}

Vec slice(const Vec& v, int from, int count) { return Vec(v.begin() + from, v.begin() + from + count); }

void put(Vec& v, int at, const Vec& part) { std::copy(part.begin(), part.end(), v.begin() + at); }

// Square analysis from the modular references: split the columns, then the
// rows, of the shrinking top-left corner.
Vec ref_square_analysis(Vec W, int n, int L, const Vec& h)
{
    const Vec g = mirrored(h);
    for (int nc = n; nc >= 2 && nc > (1 << std::max(L, 0)); nc /= 2) {
        for (int c = 0; c < nc; ++c) {
            const Vec col = slice(W, c * n, nc);
            put(W, c * n, ref_down_lo(col, h));
            put(W, c * n + nc / 2, ref_down_hi(col, g));
        }
        for (int r = 0; r < nc; ++r) {
            Vec row(nc);
            for (int c = 0; c < nc; ++c) row[c] = W[r + c * n];
            const Vec lo = ref_down_lo(row, h), hi = ref_down_hi(row, g);
            for (int c = 0; c < nc / 2; ++c) W[r + c * n] = lo[c], W[r + (c + nc / 2) * n] = hi[c];
        }
    }
    return W;
}

// Packet analysis of x into all levels 0 .. D with the flip rule; the
// packet synthesis is its transpose.
Vec ref_packet_analysis(const Vec& x, int D, const Vec& h)
{
    const int n = static_cast<int>(x.size());
    const Vec g = mirrored(h);
    Vec T(static_cast<size_t>(n) * (D + 1));
    put(T, 0, x);
    for (int d = 0, len = n; d < D; ++d, len /= 2) {
        for (int b = 0; b < (n / len); ++b) {
            const Vec block = slice(T, d * n + b * len, len);
            const int flip = b % 2;
            put(T, (d + 1) * n + b * len + flip * len / 2, ref_down_lo(block, h));
            put(T, (d + 1) * n + b * len + (1 - flip) * len / 2, ref_down_hi(block, g));
        }
    }
    return T;
}

// Translation-invariant table built path by path, recursively.
void ref_paths(const Vec& block, int at, int k, int D, int n, const Vec& h, Vec& T)
{
    if (k > D) {
        put(T, at, block);
        return;
    }
    const Vec g = mirrored(h);
    const int half = static_cast<int>(block.size()) / 2;
    const Vec shifted = delayed(block);
    put(T, k * n + at, ref_down_hi(block, g));
    put(T, k * n + at + half, ref_down_hi(shifted, g));
    ref_paths(ref_down_lo(block, h), at, k + 1, D, n, h, T);
    ref_paths(ref_down_lo(shifted, h), at + half, k + 1, D, n, h, T);
}

// Block at rows `at` rebuilt from step k on: the average of the unshifted
// rebuild and the advanced delayed rebuild.
Vec ref_rebuild(const Vec& T, int at, int len, int k, int D, int n, const Vec& h)
{
    if (k > D) return slice(T, at, len);
    const Vec g = mirrored(h);
    const int half = len / 2;
    const Vec a = ref_rebuild(T, at, half, k + 1, D, n, h), b = ref_rebuild(T, at + half, half, k + 1, D, n, h);
    const Vec p = ref_up_lo(a, h), q = advanced(ref_up_lo(b, h));
    const Vec r = ref_up_hi(slice(T, k * n + at, half), g), s = advanced(ref_up_hi(slice(T, k * n + at + half, half), g));
    Vec y(len);
    for (int i = 0; i < len; ++i) y[i] = (((p[i] + q[i]) + r[i]) + s[i]) / 2;
    return y;
}

} // namespace

TEST(RowAccess, WalksOneRowWithTheStride)
{
    Vec a{0, 1, 2, 10, 11, 12, 20, 21, 22}, row(3);  // 3 x 3, column-major
    get_row(a.data(), 3, 3, 1, row.data());
    EXPECT_EQ(row, (Vec{1, 11, 21}));
    const Vec v{7, 8};
    set_row(v.data(), 2, 3, 2, a.data() + 3);
    EXPECT_EQ(a, (Vec{0, 1, 2, 10, 11, 7, 20, 21, 8}));
}

TEST(SquareTransform, MatchesReferenceAndRoundTripsAtEveryLevel)
{
    for (const Vec& h : {Vec{r2, r2}, kD4, kD8, Vec{0.3, -1.1, 0.7}}) {
        const int m = static_cast<int>(h.size());
        const Vec g = mirrored(h);
        for (int J = 0; J <= 5; ++J) {
            const int n = 1 << J;
            const Vec X = random_vec(n * n, 40u + J);
            Guarded W(n * n), back(n * n);
            Vec s0(n), s1(n), s2(n), s3(n);
            for (int L = -2; L <= J + 1; ++L) {
                SCOPED_TRACE("m=" + std::to_string(m) + " J=" + std::to_string(J) + " L=" + std::to_string(L));
                square_analysis(X.data(), W.data(), n, J, L, h.data(), g.data(), m, s0.data(), s1.data(), s2.data());
                EXPECT_CLOSE(W.inside(), ref_square_analysis(X, n, L, h));
                square_synthesis(W.data(), back.data(), n, J, L, h.data(), g.data(), m, s0.data(), s1.data(),
                                 s2.data(), s3.data());
                if (m != 3) {
                    EXPECT_LE(relative_error(back.inside(), X), 1e-11);
                }
                EXPECT_TRUE(W.guards_intact() && back.guards_intact());
            }
        }
    }
}

TEST(SquareTransform, HaarFourByFour)
{
    Vec X(16), W(16), s0(4), s1(4), s2(4);
    for (int i = 0; i < 16; ++i) X[i] = i;
    const Vec h{r2, r2}, g = mirrored(h);
    square_analysis(X.data(), W.data(), 4, 2, 1, h.data(), g.data(), 2, s0.data(), s1.data(), s2.data());
    // rows (5, 21, 4, 4), (9, 25, 4, 4), (1, 1, 0, 0), (1, 1, 0, 0)
    EXPECT_CLOSE(W, (Vec{5, 9, 1, 1, 21, 25, 1, 1, 4, 4, 0, 0, 4, 4, 0, 0}));
}

TEST(PacketKernels, AnalysisMatchesReferenceAndSynthesisIsItsTranspose)
{
    // analysis == the block-by-block reference, nothing written past the
    // table; <synthesis(T), x> == <T, analysis(x)>; for any filter, also a
    // long one.
    for (const Vec& h : {Vec{r2, r2}, kD4, Vec{0.5, -0.2, 1.3, 0.1, -0.7}}) {
        const int m = static_cast<int>(h.size());
        const Vec g = mirrored(h);
        for (int J = 0; J <= 6; ++J) {
            const int n = 1 << J;
            for (int D = 0; D <= J; ++D) {
                const Vec T = random_vec(n * (D + 1), 300u + 10 * J + D), x = random_vec(n, 77u + J);
                Guarded A(n * (D + 1)), out(n);
                packet_analysis(x.data(), n, D, h.data(), g.data(), m, A.data());
                EXPECT_EQ(A.inside(), ref_packet_analysis(x, D, h)) << "m=" << m << " J=" << J << " D=" << D;
                EXPECT_TRUE(A.guards_intact());
                Vec s0(n), s1(n), s2(n);
                packet_synthesis(T.data(), n, D, h.data(), g.data(), m, out.data(), s0.data(), s1.data(), s2.data());
                double lhs = 0, rhs = 0;
                for (int i = 0; i < n; ++i) lhs += out.inside()[i] * x[i];
                for (size_t i = 0; i < T.size(); ++i) rhs += T[i] * A.inside()[i];
                EXPECT_NEAR(lhs, rhs, 1e-12 * (1 + std::fabs(rhs))) << "m=" << m << " J=" << J << " D=" << D;
                EXPECT_TRUE(out.guards_intact());
            }
        }
    }
}

TEST(CircularShifts, DelayAndAdvanceUndoEachOther)
{
    const Vec x{1, 2, 3, 4};
    Vec r(4), l(4);
    circular_shift_right(x.data(), r.data(), 4);
    EXPECT_EQ(r, (Vec{4, 1, 2, 3}));
    circular_shift_left(r.data(), l.data(), 4);
    EXPECT_EQ(l, x);
    Vec p{3, -5};
    halve_doubles(p.data(), 2);
    EXPECT_EQ(p, (Vec{1.5, -2.5}));
}

TEST(TranslationInvariant, MatchesPathReferencesAndRoundTrips)
{
    for (const Vec& h : {Vec{r2, r2}, kD4, kD8, Vec{0.9, 0.2, -0.4}}) {
        const int m = static_cast<int>(h.size());
        const Vec g = mirrored(h);
        for (int J = 0; J <= 7; ++J) {
            const int n = 1 << J;
            const Vec x = random_vec(n, 500u + J);
            Vec scratch(6 * n);
            for (int D = 0; D <= J; ++D) {
                SCOPED_TRACE("m=" + std::to_string(m) + " J=" + std::to_string(J) + " D=" + std::to_string(D));
                Guarded T(n * (D + 1)), y(n);
                translation_invariant_analysis(x.data(), n, D, g.data(), h.data(), m, T.data(), scratch.data());
                Vec expected(n * (D + 1));
                ref_paths(x, 0, 1, D, n, h, expected);
                EXPECT_CLOSE(T.inside(), expected);
                translation_invariant_synthesis(y.data(), n, D, g.data(), h.data(), m, T.data(), scratch.data());
                EXPECT_CLOSE(y.inside(), ref_rebuild(T.inside(), 0, n, 1, D, n, h));
                if (m != 3) {
                    EXPECT_LE(relative_error(y.inside(), x), 1e-11);
                }
                EXPECT_TRUE(T.guards_intact() && y.guards_intact());
            }
        }
    }
}
