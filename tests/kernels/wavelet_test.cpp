// Periodic two-channel kernels against a plain modular-index evaluation of
// their formulas, plus transposes and round trips.
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "tests/support/simd_paths.hpp"
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
            Vec w(n * count), back(n * count), s0(n), s1(n);
            for (int L = -2; L <= J + 3; ++L) {
                periodic_analysis(x.data(), w.data(), n, count, J, L, h.data(), g.data(), m, s0.data());
                periodic_synthesis(w.data(), back.data(), n, count, J, L, h.data(), g.data(), m, s1.data());
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
            Vec scratch(kSquareScratch * n);
            for (int L = -2; L <= J + 1; ++L) {
                SCOPED_TRACE("m=" + std::to_string(m) + " J=" + std::to_string(J) + " L=" + std::to_string(L));
                square_analysis(X.data(), W.data(), n, J, L, h.data(), g.data(), m, scratch.data());
                EXPECT_CLOSE(W.inside(), ref_square_analysis(X, n, L, h));
                square_synthesis(W.data(), back.data(), n, J, L, h.data(), g.data(), m, scratch.data());
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
    Vec X(16), W(16), scratch(kSquareScratch * 4);
    for (int i = 0; i < 16; ++i) X[i] = i;
    const Vec h{r2, r2}, g = mirrored(h);
    square_analysis(X.data(), W.data(), 4, 2, 1, h.data(), g.data(), 2, scratch.data());
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
                Vec s(3 * n);
                packet_synthesis(T.data(), n, D, h.data(), g.data(), m, out.data(), s.data());
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

// The scalar kernels and drivers as they were before they computed several
// outputs at once: every fast path must give exactly their doubles.
namespace scalar {

void down_lo(const double* x, int n, const double* h, int m, double* y)
{
    const int half = n / 2;
    int last = half - m / 2;
    if (2 * last + m - 1 >= n) --last;
    last = std::min(std::max(last, -1), half - 1);
    for (int i = 0; i <= last; ++i) {
        const double* xi = x + 2 * i;
        double s = 0.0;
        for (int k = 0; k < m; ++k) s += h[k] * xi[k];
        y[i] = s;
    }
    for (int i = last + 1; i < half; ++i) {
        int t = 2 * i;
        double s = 0.0;
        for (int k = 0; k < m; ++k) {
            if (t >= n) t -= n;
            s += h[k] * x[t];
            ++t;
        }
        y[i] = s;
    }
}

void down_hi(const double* x, int n, const double* g, int m, double* y)
{
    const int half = n / 2;
    int first = m / 2 - 1;
    if (2 * first + 1 - (m - 1) < 0) ++first;
    first = std::max(first, 0);
    for (int i = first; i < half; ++i) {
        const double* xi = x + 2 * i + 1;
        double s = 0.0;
        for (int k = 0; k < m; ++k) s += g[k] * xi[-k];
        y[i] = s;
    }
    first = std::min(first, half);
    for (int i = 0; i < first; ++i) {
        int t = 2 * i + 1;
        double s = 0.0;
        for (int k = 0; k < m; ++k) {
            if (t < 0) t += n;
            s += g[k] * x[t];
            --t;
        }
        y[i] = s;
    }
}

void up_lo(const double* c, int nc, const double* h, int m, double* y)
{
    const int mo = (m + 1) / 2;
    const int me = m / 2;
    for (int i = mo; i < nc; ++i) {
        double even = 0.0;
        for (int k = 0; k < mo; ++k) even += h[2 * k] * c[i - k];
        double odd = 0.0;
        for (int k = 0; k < me; ++k) odd += h[2 * k + 1] * c[i - k];
        y[2 * i] = even;
        y[2 * i + 1] = odd;
    }
    const int wrapped = std::min(mo, nc);
    for (int i = 0; i < wrapped; ++i) {
        double even = 0.0;
        int t = i;
        for (int k = 0; k < mo; ++k) {
            even += h[2 * k] * c[t];
            if (--t < 0) t += nc;
        }
        double odd = 0.0;
        t = i;
        for (int k = 0; k < me; ++k) {
            odd += h[2 * k + 1] * c[t];
            if (--t < 0) t += nc;
        }
        y[2 * i] = even;
        y[2 * i + 1] = odd;
    }
}

void up_hi(const double* d, int nc, const double* g, int m, double* y)
{
    const int mo = (m + 1) / 2;
    const int me = m / 2;
    int i = 0;
    for (; i + mo < nc; ++i) {
        double odd = 0.0;
        for (int k = 0; k < mo; ++k) odd += g[2 * k] * d[i + k];
        double even = 0.0;
        for (int k = 0; k < me; ++k) even += g[2 * k + 1] * d[i + k];
        y[2 * i + 1] = odd;
        y[2 * i] = even;
    }
    for (i = std::max(nc - mo, 0); i < nc; ++i) {
        double odd = 0.0;
        int t = i;
        for (int k = 0; k < mo; ++k) {
            odd += g[2 * k] * d[t];
            if (++t >= nc) t -= nc;
        }
        double even = 0.0;
        t = i;
        for (int k = 0; k < me; ++k) {
            even += g[2 * k + 1] * d[t];
            if (++t >= nc) t -= nc;
        }
        y[2 * i + 1] = odd;
        y[2 * i] = even;
    }
}

void analysis(const double* x, double* w, int n, int count, int J, int L, const double* h, const double* g, int m)
{
    L = std::max(L, 0);
    Vec scratch(n);
    std::copy(x, x + n * count, w);
    for (int s = 0; s < count; ++s) {
        double* y = w + s * n;
        for (int j = J - 1, nc = n; j >= L; --j, nc /= 2) {
            std::copy(y, y + nc, scratch.data());
            down_lo(scratch.data(), nc, h, m, y);
            down_hi(scratch.data(), nc, g, m, y + nc / 2);
        }
    }
}

void synthesis(const double* w, double* out, int n, int count, int J, int L, const double* h, const double* g, int m)
{
    L = std::min(std::max(L, 0), J);
    Vec s1(n), s2(n);
    for (int s = 0; s < count; ++s) {
        const double* ws = w + s * n;
        double* x = out + s * n;
        std::copy(ws, ws + (1 << L), x);
        for (int j = L, nc = 1 << L; j < J; ++j, nc *= 2) {
            up_lo(x, nc, h, m, s1.data());
            up_hi(ws + nc, nc, g, m, s2.data());
            for (int k = 0; k < 2 * nc; ++k) x[k] = s1[k] + s2[k];
        }
    }
}

void square_analysis(const double* X, double* W, int n, int J, int L, const double* h, const double* g, int m)
{
    L = std::max(L, 0);
    Vec s0(n), s1(n), s2(n);
    std::copy(X, X + n * n, W);
    for (int j = J - 1, nc = n; j >= L; --j, nc /= 2) {
        const int half = nc / 2;
        for (int c = 0; c < nc; ++c) {
            std::copy(W + c * n, W + c * n + nc, s0.data());
            down_lo(s0.data(), nc, h, m, W + c * n);
            down_hi(s0.data(), nc, g, m, W + c * n + half);
        }
        for (int r = 0; r < nc; ++r) {
            for (int c = 0; c < nc; ++c) s0[c] = W[r + c * n];
            down_lo(s0.data(), nc, h, m, s1.data());
            down_hi(s0.data(), nc, g, m, s2.data());
            for (int c = 0; c < half; ++c) W[r + c * n] = s1[c], W[r + (half + c) * n] = s2[c];
        }
    }
}

void square_synthesis(const double* W, double* X, int n, int J, int L, const double* h, const double* g, int m)
{
    L = std::min(std::max(L, 0), J);
    Vec s0(n), s1(n), s2(n), s3(n);
    std::copy(W, W + n * n, X);
    for (int j = L, nc = 1 << L; j < J; ++j, nc *= 2) {
        const int full = 2 * nc;
        for (int r = 0; r < full; ++r) {
            for (int c = 0; c < nc; ++c) s1[c] = X[r + c * n], s2[c] = X[r + (nc + c) * n];
            up_lo(s1.data(), nc, h, m, s0.data());
            up_hi(s2.data(), nc, g, m, s3.data());
            for (int c = 0; c < full; ++c) X[r + c * n] = s0[c] + s3[c];
        }
        for (int c = 0; c < full; ++c) {
            double* col = X + c * n;
            up_lo(col, nc, h, m, s1.data());
            up_hi(col + nc, nc, g, m, s2.data());
            for (int k = 0; k < full; ++k) col[k] = s1[k] + s2[k];
        }
    }
}

void invariant_analysis(const double* x, int n, int D, const double* g, const double* h, int m, double* T)
{
    Vec S0(n), S1(n);
    std::copy(x, x + n, T);
    for (int k = 1, b = 1, c = n; k <= D; ++k, b *= 2, c /= 2) {
        for (int j = 0; j < b; ++j) {
            const int at = j * c;
            std::copy(T + at, T + at + c, S0.data());
            circular_shift_right(S0.data(), S1.data(), c);
            down_hi(S0.data(), c, g, m, T + k * n + at);
            down_hi(S1.data(), c, g, m, T + k * n + at + c / 2);
            down_lo(S0.data(), c, h, m, T + at);
            down_lo(S1.data(), c, h, m, T + at + c / 2);
        }
    }
}

void invariant_synthesis(double* y, int n, int D, const double* g, const double* h, int m, const double* T)
{
    Vec S0(n), S1(n), S2(n), S3(n), S4(n), S5(n);
    int b = 1, d = n;
    for (int k = 1; k < D; ++k) b *= 2, d /= 2;
    std::copy(T, T + n, y);
    for (int k = D; k >= 1; --k, b /= 2, d *= 2) {
        const int e = d / 2;
        for (int i = 0; i < b; ++i) {
            double* B = y + i * d;
            std::copy(T + k * n + 2 * i * e, T + k * n + (2 * i + 1) * e, S2.data());
            std::copy(T + k * n + (2 * i + 1) * e, T + k * n + (2 * i + 2) * e, S3.data());
            std::copy(y + 2 * i * e, y + (2 * i + 1) * e, S4.data());
            std::copy(y + (2 * i + 1) * e, y + (2 * i + 2) * e, S5.data());
            up_lo(S4.data(), e, h, m, S1.data());
            std::copy(S1.data(), S1.data() + d, B);
            up_lo(S5.data(), e, h, m, S1.data());
            circular_shift_left(S1.data(), S0.data(), d);
            for (int t = 0; t < d; ++t) B[t] = B[t] + S0[t];
            up_hi(S2.data(), e, g, m, S1.data());
            for (int t = 0; t < d; ++t) B[t] = B[t] + S1[t];
            up_hi(S3.data(), e, g, m, S1.data());
            circular_shift_left(S1.data(), S0.data(), d);
            for (int t = 0; t < d; ++t) B[t] = B[t] + S0[t];
            for (int t = 0; t < d; ++t) B[t] = B[t] / 2;
        }
    }
}

} // namespace scalar

TEST(FastPeriodicKernels, GiveTheScalarDoublesOnEveryPath)
{
    on_every_path([] {
        for (int m = 0; m <= 25; ++m) {
            const Vec h = special_vec(m, 5u + m), g = mirrored(h);
            for (int nc = 1; nc <= 2048; nc = nc < 40 ? nc + 1 : 2 * nc) {
                SCOPED_TRACE("m=" + std::to_string(m) + " nc=" + std::to_string(nc));
                const int n = 2 * nc;
                const Vec x = special_vec(n, 17u * n + m), c = special_vec(nc, 3u * n + m), d = special_vec(nc, n + m);
                Vec lo(nc), hi(nc), want_lo(nc), want_hi(nc);
                scalar::down_lo(x.data(), n, h.data(), m, want_lo.data());
                scalar::down_hi(x.data(), n, g.data(), m, want_hi.data());
                analysis_step(x.data(), n, h.data(), g.data(), m, lo.data(), hi.data());
                EXPECT_TRUE(same_bits(lo, want_lo) && same_bits(hi, want_hi));
                downsample_lowpass_periodic(x.data(), n, h.data(), m, lo.data());
                downsample_highpass_periodic(x.data(), n, g.data(), m, hi.data());
                EXPECT_TRUE(same_bits(lo, want_lo) && same_bits(hi, want_hi));

                Vec ulo(n), uhi(n), sum(n), want_ulo(n), want_uhi(n), want_sum(n);
                scalar::up_lo(c.data(), nc, h.data(), m, want_ulo.data());
                scalar::up_hi(d.data(), nc, g.data(), m, want_uhi.data());
                for (int k = 0; k < n; ++k) want_sum[k] = want_ulo[k] + want_uhi[k];
                upsample_lowpass_periodic(c.data(), nc, h.data(), m, ulo.data());
                upsample_highpass_periodic(d.data(), nc, g.data(), m, uhi.data());
                synthesis_step(c.data(), d.data(), nc, h.data(), g.data(), m, sum.data());
                EXPECT_TRUE(same_bits(ulo, want_ulo) && same_bits(uhi, want_uhi) && same_bits(sum, want_sum));
            }
        }
    });
}

TEST(FastPeriodicDrivers, GiveTheScalarDoublesAtEveryLevel)
{
    on_every_path([] {
        for (int m = 0; m <= 25; m += 1 + m / 4) {
            const Vec h = special_vec(m, 9u + m), g = mirrored(h);
            // Filters of up to two taps are split in tiles of 2^10: 2^17
            // takes three rounds of tiles.
            for (int J = 0; J <= (m <= 2 ? 17 : 12); ++J) {
                const int n = 1 << J, count = J < 6 ? 2 : 1;
                const Vec x = special_vec(n * count, 100u + J);
                Vec w(n * count), back(n * count), want(n * count), scratch(analysis_scratch_length(n, m)),
                    half(n / 2);
                for (int L = -1; L <= J + 1; ++L) {
                    SCOPED_TRACE("m=" + std::to_string(m) + " J=" + std::to_string(J) + " L=" + std::to_string(L));
                    periodic_analysis(x.data(), w.data(), n, count, J, L, h.data(), g.data(), m, scratch.data());
                    scalar::analysis(x.data(), want.data(), n, count, J, L, h.data(), g.data(), m);
                    EXPECT_TRUE(same_bits(w, want));
                    periodic_synthesis(x.data(), back.data(), n, count, J, L, h.data(), g.data(), m, half.data());
                    scalar::synthesis(x.data(), want.data(), n, count, J, L, h.data(), g.data(), m);
                    EXPECT_TRUE(same_bits(back, want));
                }
            }
        }
    });
}

TEST(FastSquareAndInvariantDrivers, GiveTheScalarDoublesAtEveryLevel)
{
    on_every_path([] {
        for (int m : {0, 1, 2, 5, 8, 13, 20}) {
            const Vec h = special_vec(m, 29u + m), g = mirrored(h);
            for (int J = 0; J <= 7; ++J) {
                const int n = 1 << J;
                const Vec X = special_vec(n * n, 200u + J);
                Vec W(n * n), want(n * n), scratch(kSquareScratch * n);
                for (int L = -1; L <= J; ++L) {
                    SCOPED_TRACE("m=" + std::to_string(m) + " J=" + std::to_string(J) + " L=" + std::to_string(L));
                    square_analysis(X.data(), W.data(), n, J, L, h.data(), g.data(), m, scratch.data());
                    scalar::square_analysis(X.data(), want.data(), n, J, L, h.data(), g.data(), m);
                    EXPECT_TRUE(same_bits(W, want));
                    square_synthesis(X.data(), W.data(), n, J, L, h.data(), g.data(), m, scratch.data());
                    scalar::square_synthesis(X.data(), want.data(), n, J, L, h.data(), g.data(), m);
                    EXPECT_TRUE(same_bits(W, want));
                }
                const Vec x = special_vec(8 * n, 300u + J);
                Vec T(8 * n * (J + 4)), wantT(8 * n * (J + 4)), S(4 * 8 * n);
                for (int D = 0; D <= J + 3; ++D) {
                    translation_invariant_analysis(x.data(), 8 * n, D, g.data(), h.data(), m, T.data(), S.data());
                    scalar::invariant_analysis(x.data(), 8 * n, D, g.data(), h.data(), m, wantT.data());
                    EXPECT_TRUE(same_bits(T, wantT)) << "D=" << D;
                    Vec y(8 * n), wanty(8 * n);
                    translation_invariant_synthesis(y.data(), 8 * n, D, g.data(), h.data(), m, T.data(), S.data());
                    scalar::invariant_synthesis(wanty.data(), 8 * n, D, g.data(), h.data(), m, T.data());
                    EXPECT_TRUE(same_bits(y, wanty)) << "D=" << D;
                }
            }
        }
    });
}
