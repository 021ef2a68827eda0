// Pyramid kernels: the three-way merge and staged sort against direct block
// sorting, the median predictors against medians of quadratics measured by
// dense sampling, the linear rules on linear and quadratic data, and the
// drivers against block statistics computed directly from the signal.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "pyramid/average.hpp"
#include "pyramid/block_medians.hpp"
#include "pyramid/median.hpp"
#include "pyramid/pyramid.hpp"
#include "pyramid/refine.hpp"
#include "pyramid/staged_merge.hpp"
#include "tests/support/simd_paths.hpp"
#include "tests/support/tolerance.hpp"

namespace {

using Vec = std::vector<double>;

int pow3(int k)
{
    int p = 1;
    while (k-- > 0) p *= 3;
    return p;
}

// 3^(k/2), the scale of a level k below the finest, correctly rounded: the
// square root of the exact double 3^k is, on every platform.
double level_scale(int k) { return std::sqrt(static_cast<double>(pow3(k))); }

// Values drawn from a few levels only, so that ties are everywhere.
Vec tied_values(int n, int levels, unsigned seed)
{
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> u(0, levels - 1);
    Vec v(n);
    for (double& x : v) x = u(gen) * 0.5 - 1.0;
    return v;
}

Vec random_values(int n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::normal_distribution<double> g;
    Vec v(n);
    for (double& x : v) x = g(gen);
    return v;
}

// Median of block k (length d) of x, by sorting a copy of the block.
double block_median(const Vec& x, int d, int k)
{
    Vec b(x.begin() + k * d, x.begin() + (k + 1) * d);
    std::sort(b.begin(), b.end());
    return b[(d - 1) / 2];
}

// Median over [u, v] of f(s) = c2 s^2 + c1 s + c0, from a dense midpoint grid.
double sampled_median(double c2, double c1, double c0, double u, double v)
{
    const int N = 60001;
    Vec s(N);
    for (int i = 0; i < N; ++i) {
        const double x = u + (v - u) * (i + 0.5) / N;
        s[i] = (c2 * x + c1) * x + c0;
    }
    std::nth_element(s.begin(), s.begin() + N / 2, s.end());
    return s[N / 2];
}

using Rule = void (*)(double, double, double, double*, double*, double*);

Vec predict(Rule rule, double a, double b, double c)
{
    Vec out(3);
    rule(a, b, c, &out[0], &out[1], &out[2]);
    return out;
}

} // namespace

TEST(MedianMerge, TiesGoToTheLaterRunAndNaNsToTheLaterComparand)
{
    // Equal heads: C first, then B, then A.
    const double A[] = {1.0}, B[] = {1.0}, C[] = {1.0};
    int ia = 0, ib = 0, ic = 0;
    take_smallest_head(A, B, C, 1, ia, ib, ic);
    EXPECT_EQ(ic, 1);
    EXPECT_EQ(ib + ia, 0);
    take_smallest_head(A, B, C, 1, ia, ib, ic);
    EXPECT_EQ(ib, 1);
    EXPECT_EQ(ia, 0);
    take_smallest_head(A, B, C, 1, ia, ib, ic);
    EXPECT_EQ(ia, 1);

    // A NaN head in A loses the comparison with B, and C's NaN wins against a number.
    const double An[] = {NAN}, Bn[] = {2.0}, Cn[] = {5.0};
    ia = ib = ic = 0;
    EXPECT_EQ(take_smallest_head(An, Bn, Cn, 1, ia, ib, ic), 2.0);
    EXPECT_EQ(ib, 1);
    const double Cnan[] = {NAN};
    ia = ib = ic = 0;
    EXPECT_TRUE(std::isnan(take_smallest_head(Bn, Cn, Cnan, 1, ia, ib, ic)));
    EXPECT_EQ(ic, 1);

    // Exhausted runs: with A and B spent only C is read.
    ia = ib = 1;
    ic = 0;
    EXPECT_EQ(take_smallest_head(An, Bn, Cn, 1, ia, ib, ic), 5.0);
}

TEST(MedianMerge, ThreeSortedRunsMergeIntoTheSortedWhole)
{
    for (int m : {1, 2, 5, 27}) {
        Vec A = tied_values(m, 4, 1 + m), B = tied_values(m, 4, 2 + m), C = random_values(m, 3 + m);
        std::sort(A.begin(), A.end());
        std::sort(B.begin(), B.end());
        std::sort(C.begin(), C.end());
        Vec out(3 * m + 4, 99.0);
        merge_three_runs(A.data(), B.data(), C.data(), m, out.data() + 2);
        Vec all = A;
        all.insert(all.end(), B.begin(), B.end());
        all.insert(all.end(), C.begin(), C.end());
        std::sort(all.begin(), all.end());
        EXPECT_EQ(Vec(out.begin() + 2, out.begin() + 2 + 3 * m), all) << "m=" << m;
        EXPECT_EQ(out[0], 99.0);
        EXPECT_EQ(out[1], 99.0);
        EXPECT_EQ(out[3 * m + 2], 99.0);
        EXPECT_EQ(out[3 * m + 3], 99.0);
    }
}

TEST(MedianMerge, StagedSortGivesTheMediansOfDirectBlockSorting)
{
    for (int J = 1; J <= 7; ++J) {
        const int n = pow3(J);
        for (const Vec& x0 : {tied_values(n, 3, 10 + J), tied_values(n, 40, 20 + J), random_values(n, 30 + J)}) {
            Vec x = x0;
            for (int j = J; j >= 1; --j) {
                ASSERT_TRUE(merge_sort_stage(x.data(), J, j));
                const int d = pow3(J - j + 1), e = n / d;
                Vec medians(e), expected(e);
                block_middles(x.data(), n, d, medians.data());
                for (int k = 0; k < e; ++k) expected[k] = block_median(x0, d, k);
                EXPECT_EQ(medians, expected) << "J=" << J << " j=" << j;
                for (int k = 0; k < e; ++k) {
                    Vec block(x0.begin() + k * d, x0.begin() + (k + 1) * d);
                    std::sort(block.begin(), block.end());
                    EXPECT_TRUE(std::equal(block.begin(), block.end(), x.begin() + k * d));
                }
            }
        }
    }
}

TEST(MedianFactors, ContinuousAtEveryIntervalBound)
{
    using F = double (*)(double);
    const struct {
        F f;
        std::vector<double> bounds;
    } cases[] = {
        {interior_left_factor, {7.0 / 3, 5, 1.0 / 5, 3.0 / 7, -3, -1.0 / 3, -11}},
        {interior_middle_factor, {-10.0 / 7, -7.0 / 10, -3, -1.0 / 3}},
        {edge_first_factor, {7.0 / 3, 5, 1.0 / 5, 3.0 / 7, -3, -1.0 / 3, 23.0 / 11}},
        {edge_middle_factor, {7.0 / 3, 57.0 / 20, 51.0 / 14, 5}},
        {edge_last_factor, {7.0 / 3, 5, 1.0 / 5, 3.0 / 7, -3, -1.0 / 3, 13}},
    };
    for (const auto& c : cases) {
        for (double b : c.bounds) {
            const double below = c.f(std::nextafter(b, -INFINITY)), at = c.f(b), above = c.f(std::nextafter(b, INFINITY));
            EXPECT_NEAR(below, at, 1e-9) << "bound " << b;
            EXPECT_NEAR(above, at, 1e-9) << "bound " << b;
        }
    }
    EXPECT_NEAR(interior_left_factor(-3), 10.0 / 9, 1e-15);
    EXPECT_NEAR(edge_middle_factor(57.0 / 20), -1.0 / 20, 1e-15);
    EXPECT_NEAR(edge_middle_factor(51.0 / 14), -1.0 / 14, 1e-15);
}

TEST(MedianPredict, ThirdsAreTheMediansOfTheQuadraticWithTheseBlockMedians)
{
    // Quadratics whose ratio t of block medians falls in every row of the
    // tables (monotone ones, and ones bending inside a block).
    const double quadratics[][3] = {
        {0.0, 1.0, 0.0},  {0.5, 0.1, -0.3}, {-0.4, 1.0, 0.2}, {1.0, -3.2, 0.5}, {1.0, -2.6, 0.0},
        {-1.0, 3.4, 1.0}, {1.0, -1.2, 0.1}, {1.0, -3.8, 2.0}, {0.3, -0.2, 1.0}, {-1.0, 2.9, 0.0},
        {1.0, -1.9, 0.0}, {2.0, -1.0, 0.0}, {1.0, -4.4, 0.0}, {1.0, -3.0, 0.0}, {-1.0, 4.1, 0.3},
        {1.0, -0.3, 0.0}, {1.0, -1.0, 0.0}, {1.0, -1.7, 0.0}, {1.0, -2.3, 0.0}, {1.0, -2.1, 0.0},
        {1.0, -1.4, 0.0},
    };
    std::vector<std::vector<double>> cases;
    for (const auto& f : quadratics) {
        cases.push_back({f[0], f[1], f[2]});
        // f(3 - s): the block medians reversed, so t becomes 1/t.
        cases.push_back({f[0], -6 * f[0] - f[1], 9 * f[0] + 3 * f[1] + f[2]});
    }
    for (const auto& f : cases) {
        const double a = sampled_median(f[0], f[1], f[2], 0, 1), b = sampled_median(f[0], f[1], f[2], 1, 2),
                     c = sampled_median(f[0], f[1], f[2], 2, 3);
        Vec interior(3), edge(3);
        for (int k = 0; k < 3; ++k) {
            interior[k] = sampled_median(f[0], f[1], f[2], 1 + k / 3.0, 1 + (k + 1) / 3.0);
            edge[k] = sampled_median(f[0], f[1], f[2], k / 3.0, (k + 1) / 3.0);
        }
        const double t = (c - b) / (b - a), scale = std::fabs(b - a) + std::fabs(c - b);
        const Vec pi = predict(median_predict_interior, a, b, c), pe = predict(median_predict_edge, a, b, c);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(pi[k], interior[k], 2e-4 * scale) << "interior third " << k << " t=" << t;
            EXPECT_NEAR(pe[k], edge[k], 2e-4 * scale) << "edge third " << k << " t=" << t;
        }
    }
}

TEST(MedianPredict, LinearFlatMirroredAndZeroRatio)
{
    // t = 1: thirds of a linear function.
    EXPECT_CLOSE(predict(median_predict_interior, 2, 5, 8), (Vec{4, 5, 6}));
    EXPECT_CLOSE(predict(median_predict_edge, 2, 5, 8), (Vec{1, 2, 3}));
    // Flat triples (within 1e-14) give the first value three times.
    EXPECT_EQ(predict(median_predict_interior, 3, 3 + 5e-15, 3 - 5e-15), (Vec{3, 3, 3}));
    EXPECT_EQ(predict(median_predict_edge, -1, -1, -1 + 9e-15), (Vec{-1, -1, -1}));
    // a = b, c != b: the mirrored triple (-c, -b, -a) has t = 0, mirrored back.
    EXPECT_CLOSE(predict(median_predict_interior, 1, 1, 0), (Vec{1 + 1.0 / 9, 1, 1 - 2.0 / 9}));
    EXPECT_CLOSE(predict(median_predict_edge, 1, 1, 0), (Vec{1 + 1.0 / 9, 1, 1 - 2.0 / 9}));
    // t = 0 exactly: right third a + 10 (b - a)/9; left (7/9), middle 1.
    EXPECT_CLOSE(predict(median_predict_interior, 0, 9, 9), (Vec{7, 9, 10}));
    // Mirror symmetry: reversing and negating a triple reverses the thirds.
    const Vec p = predict(median_predict_interior, 0.3, 1.1, -0.7), m = predict(median_predict_interior, 0.7, -1.1, -0.3);
    EXPECT_CLOSE(p, (Vec{-m[2], -m[1], -m[0]}));
}

TEST(LinearRules, LinearConstantQuadraticAndAverages)
{
    EXPECT_CLOSE(predict(average_predict_interior, 4, 5, 6), (Vec{5 - 1.0 / 3, 5, 5 + 1.0 / 3}));
    EXPECT_CLOSE(predict(average_predict_edge, 4, 5, 6), (Vec{4 - 1.0 / 3, 4, 4 + 1.0 / 3}));
    EXPECT_CLOSE(predict(lagrange_predict_interior, 4, 5, 6), (Vec{5 - 1.0 / 3, 5, 5 + 1.0 / 3}));
    EXPECT_CLOSE(predict(lagrange_predict_edge, 4, 5, 6), (Vec{4 - 1.0 / 3, 4, 4 + 1.0 / 3}));
    // Point rules reproduce s^2 at i - 1/3, i, i + 1/3 (samples at 2, 3, 4).
    auto sq = [](double s) { return s * s; };
    EXPECT_CLOSE(predict(lagrange_predict_interior, 4, 9, 16), (Vec{sq(3 - 1.0 / 3), 9, sq(3 + 1.0 / 3)}));
    EXPECT_CLOSE(predict(lagrange_predict_edge, 4, 9, 16), (Vec{sq(2 - 1.0 / 3), 4, sq(2 + 1.0 / 3)}));
    // Average rules keep each block's average; exact averages of s^2 over thirds.
    auto avg_sq = [](double u, double v) { return (v * v * v - u * u * u) / (3 * (v - u)); };
    const double a = avg_sq(0, 1), b = avg_sq(1, 2), c = avg_sq(2, 3);
    Vec interior(3), edge(3);
    for (int k = 0; k < 3; ++k) {
        interior[k] = avg_sq(1 + k / 3.0, 1 + (k + 1) / 3.0);
        edge[k] = avg_sq(k / 3.0, (k + 1) / 3.0);
    }
    EXPECT_CLOSE(predict(average_predict_interior, a, b, c), interior);
    EXPECT_CLOSE(predict(average_predict_edge, a, b, c), edge);
}

TEST(Refine, DegreesEndsAndUntouchedOutput)
{
    using R = refine_step;
    const Vec lin = {0, 1, 2, 3, 4}, sq = {0, 1, 4, 9, 16};
    Vec lin3, sq3;
    for (int i = 0; i < 15; ++i) {
        const double s = i / 3.0 - 1.0 / 3;
        lin3.push_back(s);
        sq3.push_back(s * s);
    }
    for (R refine : {median_refine, average_refine, lagrange_refine}) {
        Vec w(15, 7.0);
        refine(lin.data(), 5, 2, w.data());
        EXPECT_CLOSE(w, lin3);
        Vec c(9, 7.0);
        const Vec constant(3, -2.5);
        refine(constant.data(), 3, 2, c.data());
        EXPECT_EQ(c, Vec(9, -2.5));
        Vec t(6, 7.0);
        refine(lin.data(), 2, 0, t.data());
        EXPECT_EQ(t, (Vec{0, 0, 0, 1, 1, 1}));
        for (int degree : {1, 3, -2}) {
            Vec u(15, 7.0);
            refine(sq.data(), 5, degree, u.data());
            EXPECT_EQ(u, Vec(15, 7.0)) << "degree " << degree;
        }
        Vec short2(6, 7.0);
        refine(lin.data(), 2, 2, short2.data());
        EXPECT_EQ(short2, Vec(6, 7.0));
    }
    // Quadratics through the point rule, ends included; samples kept.
    Vec w(15);
    lagrange_refine(sq.data(), 5, 2, w.data());
    EXPECT_CLOSE(w, sq3);
    // Average refinement keeps every block average, ends included.
    const Vec v = random_values(7, 5);
    Vec a(21);
    average_refine(v.data(), 7, 2, a.data());
    Vec means(7);
    for (int i = 0; i < 7; ++i) means[i] = (a[3 * i] + a[3 * i + 1] + a[3 * i + 2]) / 3;
    EXPECT_CLOSE(means, v);
}

namespace {

// An unsigned integer below 2^256 in 32-bit limbs, least significant first:
// just enough to square 54-bit integers and compare them with 3^k 2^s.
struct Wide {
    std::uint32_t limb[8] = {};

    explicit Wide(std::uint64_t v)
    {
        limb[0] = static_cast<std::uint32_t>(v);
        limb[1] = static_cast<std::uint32_t>(v >> 32);
    }
    Wide& times(std::uint32_t f)
    {
        std::uint64_t carry = 0;
        for (std::uint32_t& l : limb) {
            carry += static_cast<std::uint64_t>(l) * f;
            l = static_cast<std::uint32_t>(carry);
            carry >>= 32;
        }
        return *this;
    }
    Wide squared() const
    {
        Wide r(0);
        for (int i = 0; i < 8; ++i) {
            std::uint64_t carry = 0;
            for (int j = 0; i + j < 8; ++j) {
                carry += static_cast<std::uint64_t>(limb[i]) * limb[j] + r.limb[i + j];
                r.limb[i + j] = static_cast<std::uint32_t>(carry);
                carry >>= 32;
            }
        }
        return r;
    }
    bool operator<(const Wide& b) const
    {
        for (int i = 7; i >= 0; --i)
            if (limb[i] != b.limb[i]) return limb[i] < b.limb[i];
        return false;
    }
};

// Whether d = M 2^e (M of 53 bits, e < 0) is sqrt(3^k) correctly rounded,
// checked in integers: the root (irrational for odd k) lies inside d's
// rounding interval, (2M - 1)^2 < 4 3^k 2^(-2e) < (2M + 1)^2, where the
// interval below a power of two is half as wide: (4M - 1)^2 < 16 3^k 2^(-2e).
bool rounds_root_of_power_of_three(double d, int k)
{
    int x;
    const std::uint64_t M = static_cast<std::uint64_t>(std::ldexp(std::frexp(d, &x), 53));
    const int e = x - 53;
    const auto scaled = [&](std::uint32_t f) {
        Wide w(static_cast<std::uint64_t>(pow3(k)));
        w.times(f);
        for (int i = 0; i < -2 * e; ++i) w.times(2);
        return w;
    };
    const bool narrow = M == 1ULL << 52;
    return Wide(narrow ? 4 * M - 1 : 2 * M - 1).squared() < scaled(narrow ? 16 : 4) &&
           scaled(4) < Wide(2 * M + 1).squared();
}

} // namespace

// The level scales 3^(k/2) are the correctly rounded doubles: the exact
// powers for even k, and for odd k the roots, which their neighbours are not.
TEST(PyramidScales, CorrectlyRoundedPowersOfThree)
{
    for (int k = 0; k <= kMaxTriadicLevels; ++k) {
        const double d = half_power_of_three(k);
        if (k % 2 == 0) {
            EXPECT_EQ(d, static_cast<double>(pow3(k / 2))) << "k=" << k;
            continue;
        }
        ASSERT_LT(d, 0x1p52) << "k=" << k;
        EXPECT_TRUE(rounds_root_of_power_of_three(d, k)) << "k=" << k << ": " << d;
        EXPECT_FALSE(rounds_root_of_power_of_three(std::nextafter(d, 0.0), k)) << "k=" << k;
        EXPECT_FALSE(rounds_root_of_power_of_three(std::nextafter(d, INFINITY), k)) << "k=" << k;
    }
}

TEST(PyramidDrivers, PiecewiseConstantResidualsAgainstDirectBlockStatistics)
{
    // With D = 0 each residual is the block value less its parent's, so the
    // whole row follows from block medians / means of the signal itself.
    for (int J = 2; J <= 6; ++J) {
        const int n = pow3(J);
        const Vec x0 = tied_values(n, 7, 40 + J);
        for (int L = 1; L <= J; ++L) {
            Vec x = x0, wm(2 * n, 0.0), wa(2 * n, 0.0);
            ASSERT_TRUE(median_pyramid_forward(x.data(), n, J, L, 0, wm.data()));
            ASSERT_TRUE(average_pyramid_forward(x0.data(), n, J, L, 0, wa.data()));
            Vec em(2 * n, 0.0), ea(2 * n, 0.0);
            auto mean = [&](int d, int k) {
                double s = 0;
                for (int i = 0; i < d; ++i) s += x0[k * d + i];
                return s / d;
            };
            for (int i = 0; i < pow3(L); ++i) {
                em[i] = block_median(x0, n / pow3(L), i) * level_scale(J - L);
                ea[i] = mean(n / pow3(L), i) * level_scale(J - L);
            }
            for (int j = L + 1; j <= J; ++j) {
                const int m = pow3(j), d = n / m;
                for (int i = 0; i < m; ++i) {
                    em[m + i] = (block_median(x0, d, i) - block_median(x0, 3 * d, i / 3)) * level_scale(J - j);
                    ea[m + i] = (mean(d, i) - mean(3 * d, i / 3)) * level_scale(J - j);
                }
            }
            EXPECT_CLOSE(wm, em) << "J=" << J << " L=" << L;
            EXPECT_CLOSE(wa, ea) << "J=" << J << " L=" << L;
        }
    }
}

TEST(PyramidDrivers, RoundTripsForEveryLevelAndDegreeAndLevelsBeyondJ)
{
    for (int J = 1; J <= 6; ++J) {
        const int n = pow3(J);
        const Vec x0 = random_values(n, 60 + J);
        for (int L = 1; L <= J + 2; ++L) {
            for (int D : {0, 1, 2, 3}) {
                Vec x = x0, wm(2 * n, 0.0), wa(2 * n, 0.0), ym(n), ya(n);
                ASSERT_TRUE(median_pyramid_forward(x.data(), n, J, L, D, wm.data()));
                ASSERT_TRUE(average_pyramid_forward(x0.data(), n, J, L, D, wa.data()));
                ASSERT_TRUE(pyramid_inverse(wm.data(), n, J, L, D, median_refine, ym.data()));
                ASSERT_TRUE(pyramid_inverse(wa.data(), n, J, L, D, average_refine, ya.data()));
                EXPECT_CLOSE(ym, x0) << "J=" << J << " L=" << L << " D=" << D;
                EXPECT_CLOSE(ya, x0) << "J=" << J << " L=" << L << " D=" << D;
                if (L >= J) {
                    // No level to split: the samples, then zeros.
                    Vec e = x0;
                    e.resize(2 * n, 0.0);
                    EXPECT_EQ(wm, e);
                    EXPECT_EQ(wa, e);
                }
            }
        }
    }
}

namespace {

// Values with many ties: a small pool of levels, +0 and -0, +-Inf and, when
// asked, NaN, with normal noise in between.
Vec awkward_values(int n, unsigned seed, bool with_nan)
{
    const double pool[] = {-1.5, -0.5, -0.0, 0.0, 0.0, -0.0, 0.5, 2.0, INFINITY, -INFINITY, NAN};
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> pick(0, with_nan ? 10 : 9), kind(0, 3);
    std::normal_distribution<double> g;
    Vec v(n);
    for (double& x : v) x = kind(gen) == 0 ? g(gen) : pool[pick(gen)];
    return v;
}

// The defining refinement: one triple at a time through the scalar rules
// (refine_by_rules without vector interiors).
template <predict_rule edge, predict_rule interior> void plain_refine(const double* v, int m, int degree, double* w)
{
    refine_by_rules<edge, interior>(v, m, degree, w);
}

void reference_refine(bool median, const double* v, double* w, int m, int D)
{
    if (median)
        plain_refine<median_predict_edge, median_predict_interior>(v, m, D, w);
    else
        plain_refine<average_predict_edge, average_predict_interior>(v, m, D, w);
}

// The defining forward pyramids: block medians by the staged merge on a copy
// (or averages of triples), level by level, one predicted triple at a time.
Vec reference_forward(bool median, Vec x, int L, int D, int J)
{
    const int n = pow3(J);
    L = std::min(L, J);
    Vec w(2 * n, 0.0), fine = x, coarse(n), pred(n, 0.0);
    for (int j = J; j > L; --j) {
        const int d = pow3(J - j + 1), e = n / d, m = pow3(j);
        if (median) {
            merge_sort_stage(x.data(), J, j);
            block_middles(x.data(), n, d, coarse.data());
        } else {
            for (int i = 0; i < e; ++i) coarse[i] = (fine[3 * i] + fine[3 * i + 1] + fine[3 * i + 2]) / 3;
        }
        reference_refine(median, coarse.data(), pred.data(), e, D);
        for (int i = 0; i < m; ++i) w[m + i] = (fine[i] - pred[i]) * level_scale(J - j);
        std::copy(coarse.begin(), coarse.begin() + e, fine.begin());
    }
    for (int i = 0; i < pow3(L); ++i) w[i] = fine[i] * level_scale(J - L);
    return w;
}

Vec reference_inverse(bool median, const Vec& WC, int L, int D, int J)
{
    const int n = pow3(J);
    L = std::min(L, J);
    Vec y(n), pred(n, 0.0);
    for (int i = 0; i < pow3(L); ++i) y[i] = WC[i] / level_scale(J - L);
    for (int j = L + 1; j <= J; ++j) {
        const int m = pow3(j);
        reference_refine(median, y.data(), pred.data(), m / 3, D);
        for (int i = 0; i < m; ++i) y[i] = WC[m + i] / level_scale(J - j) + pred[i];
    }
    return y;
}

} // namespace

namespace {

// Triples (-1, 0, t), so that a block's ratio is exactly t, for t on and
// beside every interval bound of the factor functions, zero, the flatness
// tolerance and infinities (1/t then meets the bounds too).
Vec ratios_on_bounds()
{
    const double bounds[] = {7.0 / 3, 5, 1.0 / 5, 3.0 / 7, -3, -1.0 / 3, -11, -10.0 / 7, -7.0 / 10, 23.0 / 11,
                             57.0 / 20, 51.0 / 14, 13, 0, 1e-14, -1e-14, 2e-14, 3, 1.0 / 3, -1.0 / 11,
                             INFINITY, -INFINITY, NAN, 1e300, -1e-300};
    Vec v;
    for (double t : bounds)
        for (double u : {t, std::nextafter(t, -INFINITY), std::nextafter(t, INFINITY)}) v.insert(v.end(), {-1, 0, u});
    return v;
}

} // namespace

namespace {

using pyramid::MedianStrategy;

constexpr MedianStrategy kStrategies[] = {MedianStrategy::chosen, MedianStrategy::selection,
                                          MedianStrategy::sorted_chunks, MedianStrategy::staged_merge};

// A signal of 3^J values, the medians of its first depth levels asked for,
// and their values as the staged merge gives them.
struct MedianCase {
    int J, depth;
    Vec x;
    std::vector<Vec> expected;
};

// Up to 3^10, so that blocks of several chunks are selected too; ties,
// signed zeros, infinities and NaN, and noise.
std::vector<MedianCase> median_cases()
{
    std::vector<MedianCase> cases;
    for (int J = 1; J <= 10; ++J) {
        const int n = pow3(J);
        for (unsigned seed = 0; seed < 7; ++seed) {
            Vec x = seed >= 3 ? random_values(n, 90 + J) : awkward_values(n, 70 + 4 * J + seed, seed == 2);
            // Noise, then a ramp: narrow brackets in the first chunks, a
            // wide range of medians above them.
            if (seed == 6)
                for (int i = n / 3; i < n; ++i) x[i] = 1e-3 * i;
            // The signal's only NaN, or its only zeros (+0, -0), in its last
            // samples, which the scan for them reads one by one.
            if (seed == 4) x[n - 1] = NAN;
            if (seed == 5 && n >= 3) {
                x[n - 3] = 1.0;
                x[n - 2] = 0.0;
                x[n - 1] = -0.0;
            }
            Vec sorted = x;
            std::vector<Vec> expected(J + 1);
            for (int k = 1; k <= J; ++k) {
                merge_sort_stage(sorted.data(), J, J - k + 1);
                expected[k].resize(n / pow3(k));
                block_middles(sorted.data(), n, pow3(k), expected[k].data());
            }
            for (int depth : {J, J / 2 + 1}) cases.push_back({J, depth, x, expected});
        }
    }
    return cases;
}

// Back to the driver's own choice when a test ends, however it ends.
struct ChosenStrategyAfterwards {
    ~ChosenStrategyAfterwards() { pyramid::force_median_strategy(MedianStrategy::chosen); }
};

} // namespace

TEST(SameDoubles, BlockMediansOfEveryStrategyOnEveryPathAsTheStagedMergeGivesThem)
{
    const std::vector<MedianCase> cases = median_cases();
    const ChosenStrategyAfterwards restore;
    // served[isa][strategy]: the forced strategy found the medians at least once.
    bool served[4][4] = {};
    on_every_path([&](simd::Isa isa) {
        for (MedianStrategy strategy : kStrategies) {
            pyramid::force_median_strategy(strategy);
            SCOPED_TRACE(std::string("strategy=") + pyramid::median_strategy_name(strategy));
            for (const MedianCase& c : cases) {
                const int n = pow3(c.J);
                Vec work(n);
                std::vector<Vec> medians(c.depth + 1);
                std::vector<double*> level(c.depth + 1);
                for (int k = 1; k <= c.depth; ++k) level[k] = (medians[k] = Vec(n / pow3(k), 7.0)).data();
                ASSERT_TRUE(triadic_block_medians(c.x.data(), c.J, c.depth, level.data(), work.data()));
                const MedianStrategy used = pyramid::median_strategy_used();
                served[static_cast<int>(isa)][static_cast<int>(strategy)] |=
                    strategy == MedianStrategy::chosen || used == strategy;
                for (int k = 1; k <= c.depth; ++k)
                    EXPECT_TRUE(same_bits(medians[k], c.expected[k]))
                        << "J=" << c.J << " depth=" << c.depth << " k=" << k << " served by "
                        << pyramid::median_strategy_name(used);
            }
        }
    });
    // Every forced strategy serves on every path this processor has; the
    // pairs it lacks are named.
    std::string not_run;
    for (simd::Isa isa : {simd::Isa::scalar, simd::Isa::sse2, simd::Isa::avx2, simd::Isa::avx512}) {
        const bool available = simd::force_isa(isa);
        simd::unforce_isa();
        for (MedianStrategy strategy : kStrategies) {
            const std::string pair = std::string(pyramid::median_strategy_name(strategy)) + "/" + simd::isa_name(isa);
            if (!available)
                not_run += (not_run.empty() ? "" : ", ") + pair;
            else
                EXPECT_TRUE(served[static_cast<int>(isa)][static_cast<int>(strategy)]) << pair << " never served";
        }
    }
    if (!not_run.empty()) GTEST_SKIP() << "strategy/path pairs not run: " << not_run;
}

TEST(SameDoubles, MedianRefinementOnEveryIntervalBound)
{
    on_every_path([] {
        const Vec v = ratios_on_bounds();
        const int m = static_cast<int>(v.size());
        Vec r(3 * m, 7.0), e(3 * m, 7.0);
        median_refine(v.data(), m, 2, r.data());
        plain_refine<median_predict_edge, median_predict_interior>(v.data(), m, 2, e.data());
        EXPECT_TRUE(same_bits(r, e));
    });
}

namespace {

// The six plug-ins' drivers and refinements against their defining form.
void all_six_transforms_against_their_defining_form()
{
    for (int J = 1; J <= 9; ++J) {
        const int n = pow3(J);
        for (unsigned seed = 0; seed < 3; ++seed) {
            const Vec x = seed == 2 ? random_values(n, 80 + J) : awkward_values(n, 50 + 3 * J + seed, seed == 1);
            for (int D : {0, 1, 2}) {
                // Olmister and Ephrandel: one refinement of the signal itself.
                Vec r(3 * n, 7.0), e(3 * n, 7.0);
                median_refine(x.data(), n, D, r.data());
                plain_refine<median_predict_edge, median_predict_interior>(x.data(), n, D, e.data());
                EXPECT_TRUE(same_bits(r, e)) << "median refine J=" << J << " D=" << D;
                lagrange_refine(x.data(), n, D, r.data());
                plain_refine<lagrange_predict_edge, lagrange_predict_interior>(x.data(), n, D, e.data());
                EXPECT_TRUE(same_bits(r, e)) << "point refine J=" << J << " D=" << D;
                for (int L = 1; L <= J; ++L) {
                    for (bool median : {true, false}) {
                        Vec copy = x, w(2 * n, 0.0), y(n);
                        ASSERT_TRUE(median ? median_pyramid_forward(copy.data(), n, J, L, D, w.data())
                                           : average_pyramid_forward(x.data(), n, J, L, D, w.data()));
                        EXPECT_TRUE(same_bits(w, reference_forward(median, x, L, D, J)))
                            << (median ? "median" : "average") << " forward J=" << J << " L=" << L << " D=" << D;
                        const refine_step refine = median ? median_refine : average_refine;
                        ASSERT_TRUE(pyramid_inverse(w.data(), n, J, L, D, refine, y.data()));
                        EXPECT_TRUE(same_bits(y, reference_inverse(median, w, L, D, J)))
                            << (median ? "median" : "average") << " inverse J=" << J << " L=" << L << " D=" << D;
                    }
                }
            }
        }
    }
}

} // namespace

TEST(SameDoubles, AllSixTransformsAgainstTheirDefiningForm)
{
    on_every_path([] { all_six_transforms_against_their_defining_form(); });
}
