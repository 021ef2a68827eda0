// Periodic two-channel kernels against a plain modular-index evaluation of
// their formulas, plus transposes and round trips.
#include <cmath>
#include <random>
#include <vector>

#include "tests/support/tolerance.hpp"
#include "wavelet/dyadic.hpp"
#include "wavelet/periodic.hpp"

namespace {

using Vec = std::vector<double>;

int mod(int t, int n) { return ((t % n) + n) % n; }

Vec random_vec(int n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    Vec v(n);
    for (double& x : v) x = u(gen);
    return v;
}

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

// Output buffer with guard cells on both sides, to catch writes out of range.
struct Guarded {
    static constexpr double kGuard = 12345.0;
    Vec cells;
    int size;
    explicit Guarded(int n) : cells(n + 4, kGuard), size(n) {}
    double* data() { return cells.data() + 2; }
    Vec inside() const { return Vec(cells.begin() + 2, cells.begin() + 2 + size); }
    bool guards_intact() const
    {
        return cells[0] == kGuard && cells[1] == kGuard && cells[size + 2] == kGuard && cells[size + 3] == kGuard;
    }
};

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
