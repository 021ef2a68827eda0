// Hartley kernel against a plain O(n^2) evaluation of its sum; small literal
// cases of the cosine routines; the table buffer and its tag; writes kept
// inside the buffers; the accuracy the helps state.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "tests/support/double_double.hpp"
#include "tests/support/simd_paths.hpp"
#include "tests/support/tolerance.hpp"
#include "tests/kernels/trig_accuracy.hpp"
#include "tests/kernels/trig_reference.hpp"
#include "tests/support/vectors.hpp"
#include "trig/hartley.hpp"
#include "trig/sine.hpp"
#include "simd/simd.hpp"

namespace {

using Vec = std::vector<double>;
using Step = void (*)(double* x, int log2n, double* partner, double* tables);

const double kPi = 3.14159265358979323846;
const double r2 = 1.0 / std::sqrt(2.0);

// cos(pi r / (2n)) for r = 0 .. 4n-1: every angle of the sums below reduced
// exactly modulo 2 pi before the cosine is taken.
Vec quarter_cosines(int n)
{
    Vec c(4 * n);
    for (int r = 0; r < 4 * n; ++r) c[r] = std::cos(kPi * r / (2.0 * n));
    return c;
}

Vec ref_hartley(const Vec& x)
{
    const int n = static_cast<int>(x.size());
    const Vec c = quarter_cosines(n);
    Vec y(n, 0.0);
    for (int k = 0; k < n; ++k) {
        for (int j = 0; j < n; ++j) {
            const long r = 4L * j * k % (4L * n); // 2 pi jk / n in units of pi / (2n)
            const long s = (r + 3L * n) % (4L * n); // sin a = cos(a - pi/2)
            y[k] += x[j] * (c[r] + c[s]);
        }
        y[k] /= std::sqrt(static_cast<double>(n));
    }
    return y;
}

// Runs a step on a copy of x with fresh zero-filled buffers.
Vec run(Step step, Vec x)
{
    const int n = static_cast<int>(x.size());
    int log2n = 0;
    while ((1 << log2n) < n) ++log2n;
    Vec partner(n, 0.0), tables(std::max(3 * n / 2, 1), 0.0);
    step(x.data(), log2n, partner.data(), tables.data());
    return x;
}

void hartley_step(double* x, int log2n, double*, double* tables) { hartley_transform(x, log2n, tables); }

const struct {
    const char* name;
    Step step;
} kTrig[] = {
    {"dct2", cosine_transform_type2},
    {"dct3", cosine_transform_type3},
    {"dst2", sine_transform_type2},
    {"dst3", sine_transform_type3},
};

} // namespace

// The cosine and sine routines meet their defining sums through the
// plug-ins (tests/plugins/trig_test.cpp); the Hartley transform is met here.
TEST(TrigKernels, HartleyAgreesWithItsSumAndIsItsOwnInverse)
{
    for (int n = 1; n <= 4096; n *= 2) {
        const Vec x = random_vec(n, 17u + n);
        const Vec y = run(hartley_step, x);
        EXPECT_CLOSE(y, ref_hartley(x)) << "n=" << n;
        EXPECT_CLOSE(run(hartley_step, y), x) << "n=" << n;
    }
}

TEST(TrigKernels, SmallLengthsByHand)
{
    for (Step s : {hartley_step, kTrig[0].step, kTrig[1].step, kTrig[2].step, kTrig[3].step})
        EXPECT_EQ(run(s, {-2.5}), Vec{-2.5});
    for (Step s : {hartley_step, kTrig[0].step, kTrig[1].step})
        EXPECT_CLOSE(run(s, {3, 1}), (Vec{4 * r2, 2 * r2}));
    // The truncated 1/sqrt2 = 0.707106781186547 is the length-2 factor, exactly.
    EXPECT_EQ(run(hartley_step, {1, 0}), (Vec{0.707106781186547, 0.707106781186547}));
    EXPECT_CLOSE(run(hartley_step, {1, 2, 4, 8}), (Vec{7.5, -4.5, -2.5, 1.5}));

    for (int n : {8, 64, 1024}) {
        Vec impulse(n, 0.0), constant(n, -1.5), expected(n, 0.0);
        impulse[0] = 1.0;
        expected[0] = -1.5 * std::sqrt(static_cast<double>(n));
        EXPECT_CLOSE(run(hartley_step, impulse), Vec(n, 1.0 / std::sqrt(static_cast<double>(n)))) << n;
        EXPECT_CLOSE(run(cosine_transform_type2, constant), expected) << n;
    }
}

TEST(TrigKernels, ReusedTableBufferGivesTheSameResults)
{
    for (const auto& t : kTrig) {
        for (int n : {2, 4, 8, 16, 256}) {
            int log2n = 0;
            while ((1 << log2n) < n) ++log2n;
            const Vec fresh = run(t.step, random_vec(n, 3u));
            Vec p(n), q(3 * n / 2, 0.0);
            for (int call = 0; call < 3; ++call) {
                Vec x = random_vec(n, 3u);
                t.step(x.data(), log2n, p.data(), q.data());
                EXPECT_EQ(x, fresh) << t.name << " n=" << n << " call " << call;
            }
        }
        // A buffer left by another length is rebuilt, in both directions.
        Vec p(64), q(96, 0.0);
        for (int m : {4, 6, 3, 5}) {
            const int n = 1 << m;
            Vec x = random_vec(n, 9u);
            t.step(x.data(), m, p.data(), q.data());
            EXPECT_EQ(x, run(t.step, random_vec(n, 9u))) << t.name << " n=" << n << " after another length";
        }
    }
}

TEST(TrigKernels, TagRule)
{
    // hartley_transform tags its buffer with n for n >= 8 only.
    for (int m = 0; m <= 6; ++m) {
        const int n = 1 << m;
        Vec x = random_vec(n, 1u), q(std::max(3 * n / 2, 1), 0.0);
        hartley_transform(x.data(), m, q.data());
        EXPECT_EQ(q[0], n >= 8 ? n : 0.0) << n;
    }
    // A tag whose truncation is n makes both routines trust the tables in q:
    // spoiled tables then spoil the result. A tag that truncates to another
    // length makes them rebuild.
    const int m = 5, n = 32;
    const Vec x0 = random_vec(n, 2u), good = run(cosine_transform_type2, x0);
    for (double tag : {32.0, 32.9, 31.9, 33.0, -32.0, double(NAN)}) {
        for (int spoiled : {2, n / 2 + 3, n + 5}) { // a Hartley twiddle, an A entry, a B entry
            Vec x = x0, p(n), q(3 * n / 2, 0.0);
            q[0] = tag;
            q[spoiled] = 0.25;
            cosine_transform_type2(x.data(), m, p.data(), q.data());
            if (std::trunc(tag) == n)
                EXPECT_GT(relative_error(x, good), 1e-6) << "tag " << tag << " slot " << spoiled;
            else
                EXPECT_EQ(x, good) << "tag " << tag << " slot " << spoiled;
        }
    }
}

// A transform from a copy of x into x, whose old values are spoiled first.
template <void (*from)(const double*, int, double*, double*, double*)>
void from_copy(double* x, int log2n, double* partner, double* tables)
{
    const Vec in(x, x + (1 << log2n));
    std::fill(x, x + (1 << log2n), NAN);
    from(in.data(), log2n, x, partner, tables);
}

void same_doubles_as_the_defining_algorithm()
{
    const struct {
        Step fast, reference;
    } pairs[] = {
        {hartley_step,
         [](double* x, int log2n, double*, double* tables) {
             reference_trig::reference_hartley_transform(x, log2n, tables);
         }},
        {cosine_transform_type2, reference_trig::reference_cosine_transform_type2},
        {cosine_transform_type3, reference_trig::reference_cosine_transform_type3},
        {sine_transform_type2, reference_trig::reference_sine_transform_type2},
        {sine_transform_type3, reference_trig::reference_sine_transform_type3},
        {from_copy<cosine_transform_type2>, reference_trig::reference_cosine_transform_type2},
        {from_copy<cosine_transform_type3>, reference_trig::reference_cosine_transform_type3},
        {from_copy<sine_transform_type2>, reference_trig::reference_sine_transform_type2},
        {from_copy<sine_transform_type3>, reference_trig::reference_sine_transform_type3},
    };
    std::mt19937 gen(8);
    for (int m = 0; m <= 14; ++m)
    for (const bool near_underflow : {false, true}) {
        // Values near underflow send whole blocks to the divider.
        const int n = 1 << m;
        Vec x = random_vec(n, 40u + m);
        for (int i = 0; i < n; ++i)
            x[i] = std::ldexp(x[i], static_cast<int>(gen() % 200) - (near_underflow ? 1060 : 100));
        const double specials[] = {NAN, INFINITY, -INFINITY, 0.0, -0.0, 4.9e-324, -2.2e-308};
        if (m >= 5 && !near_underflow)
            for (double v : specials) x[gen() % n] = v;
        for (const auto& pr : pairs) {
            Vec a = x, b = x, p(n), q(std::max(3 * n / 2, 1), 0.0);
            pr.fast(a.data(), m, p.data(), q.data());
            pr.reference(b.data(), m, p.data(), q.data());
            ASSERT_TRUE(same_bits(a, b)) << "n=" << n << (near_underflow ? " near underflow" : "");
        }
    }
}

// The kernels against their defining algorithm, double for double: the
// reference is handed the tables the kernel left in q (their tag makes it
// reuse them), so only the butterflies, divisions and rotations are compared.
// Inputs span many binades and hold NaN, infinities, signed zeros and
// subnormals. Every instruction-set path is run in turn.
TEST(TrigKernels, SameDoublesAsTheDefiningAlgorithm)
{
    on_every_path(same_doubles_as_the_defining_algorithm);
}

// Twiddles of the Hartley tables within 1 ulp of the correctly rounded sine
// and cosine of the angles accumulated in order (references in double-double),
// for every length up to 2^20, on every path: their single angles cover
// [0, pi/4) as the rotation tables' do, and their triple angles reach 3pi/4.
TEST(TrigKernels, TablesWithinOneUlp)
{
    for (int m = 4; m <= 20; ++m) {
        const int n = 1 << m, t = n / 8 - 1;
        std::vector<DD> exact(4 * t); // C1, S1, C3, S3 as in q
        const double step = 6.283185307179586 / n;
        double theta = step;
        for (int j = 0; j < t; ++j, theta = theta + step) {
            sincos_dd(theta, exact[t + j], exact[j]);
            sincos_dd(3.0 * theta, exact[3 * t + j], exact[2 * t + j]);
        }
        on_every_path([&] {
            Vec x(n, 0.0), q(3 * n / 2, 0.0);
            hartley_transform(x.data(), m, q.data());
            for (int i = 0; i < 4 * t; ++i)
                ASSERT_LE(ulps_from_rounded(q[1 + i], exact[i]), 1.0)
                    << "n=" << n << " run " << i / t << " j=" << i % t;
        });
    }
}

// The division by sqrt2 on every path against the scalar division, on 10^8
// random doubles for the fused sequence of the AVX-512 path (10^6 for the
// paths that use the divider) (half of them random bit patterns, so every binade,
// subnormals, infinities and NaN; half in [-1, 1]) and on the edges of the
// range where the fused sequence hands over to the divider.
TEST(TrigKernels, DivisionBySqrt2IsCorrectlyRounded)
{
#if defined(__SANITIZE_ADDRESS__)
    const long fused_total = 1000000;
#else
    const long fused_total = 100000000;
#endif
    const double low = std::ldexp(1.0, -960), tiny = 4.9e-324;
    const Vec edges = {0.0, -0.0, tiny, -tiny, 2.2250738585072009e-308, 2.2250738585072014e-308, low,
                       std::nextafter(low, 0.0), std::nextafter(low, 1.0), -low, 1.7976931348623157e308,
                       -1.7976931348623157e308, INFINITY, -INFINITY, NAN, 1.0, 1.414213562373095, 2.0,
                       std::nextafter(2.0, 0.0), 3.0};
    on_every_path([&](simd::Isa isa) {
        std::mt19937_64 gen(static_cast<unsigned>(isa));
        std::uniform_real_distribution<double> unit(-1.0, 1.0);
        const long chunk = 1 << 20, total = isa == simd::Isa::avx512 ? fused_total : chunk;
        Vec x(chunk);
        for (long done = 0; done < total; done += chunk) {
            for (long i = 0; i < chunk; ++i) {
                const std::uint64_t bits = gen();
                double v;
                std::memcpy(&v, &bits, sizeof v);
                x[i] = i % 2 ? v : unit(gen);
            }
            if (done == 0) std::copy(edges.begin(), edges.end(), x.begin() + 3);
            Vec y = x;
            divide_by_sqrt2(y.data(), chunk);
            for (long i = 0; i < chunk; ++i) {
                const double e = x[i] / 1.414213562373095;
                ASSERT_TRUE(std::isnan(e) ? std::isnan(y[i]) : std::memcmp(&e, &y[i], sizeof e) == 0)
                    << x[i] << " / sqrt2 gave " << y[i] << ", not " << e;
            }
        }
    });
}

// The tables' angles, accumulated W at a time, against the additions in
// order, for the steps of every length up to 2^22 (both tables' steps) and
// some steps of no particular form.
TEST(TrigKernels, AnglesAccumulateAsAdditionsInOrder)
{
    on_every_path([] {
        std::mt19937_64 gen(5);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        for (int m = 3; m <= 22; ++m) {
            const long n = 1L << m;
            for (const double first : {0.0, 6.283185307179586 / n}) {
                const double d = first == 0.0 ? 3.141592653589793 / (2 * n) : first;
                const long count = first == 0.0 ? n / 2 : n / 8 - 1;
                for (const double step : {d, d * (1.0 + unit(gen))}) {
                    Vec a(count + 1, -1.0), b(count + 1, -1.0);
                    accumulate_angles(count, first, step, a.data());
                    double v = first;
                    for (long k = 0; k < count; ++k, v = v + step) b[k] = v;
                    ASSERT_TRUE(a == b) << "n=" << n << " first=" << first << " step=" << step;
                }
            }
        }
    });
}

// A buffer used for n = 8, then 4, then 8 again: the length-4 rotation
// tables overwrite part of those of length 8, which must then be rebuilt.
TEST(TrigKernels, ShorterLengthInvalidatesTheTables)
{
    for (const auto& t : kTrig) {
        Vec p(8), q(12, 0.0);
        for (int m : {3, 2, 3}) {
            Vec x = random_vec(1 << m, 6u);
            t.step(x.data(), m, p.data(), q.data());
            EXPECT_EQ(x, run(t.step, random_vec(1 << m, 6u))) << t.name << " n=" << (1 << m);
        }
    }
}

TEST(TrigKernels, WritesStayInsideTheBuffers)
{
    const double guard = 4242.0;
    for (const auto& t : kTrig) {
        for (int m = 0; m <= 7; ++m) {
            const int n = 1 << m, nq = std::max(3 * n / 2, 1);
            Vec x(n + 2, guard), p(n + 2, guard), q(nq + 2, guard);
            const Vec v = random_vec(n, 4u);
            std::copy(v.begin(), v.end(), x.begin() + 1);
            std::fill(q.begin() + 1, q.end() - 1, 0.0);
            t.step(x.data() + 1, m, p.data() + 1, q.data() + 1);
            for (const Vec* b : {&x, &p, &q}) {
                EXPECT_EQ(b->front(), guard) << t.name << " n=" << n;
                EXPECT_EQ(b->back(), guard) << t.name << " n=" << n;
            }
        }
    }
}

// Relative L2 error of each transform at n = 2^m against its double-double
// reference, on uniform input in [-1, 1) from an integer generator, so the
// figures are the same on every platform.
double error_against_reference(int transform, int m)
{
    using RefFn = std::vector<DD> (*)(const Vec&);
    static const RefFn refs[] = {trig_accuracy::dct2, trig_accuracy::dct3, trig_accuracy::dst2, trig_accuracy::dst3};
    const Vec x = trig_accuracy::uniform_input(1L << m, 2026u + m);
    return trig_accuracy::relative_l2_error(run(kTrig[transform].step, x), refs[transform](x));
}

// The errors the helps of Fennick, Gorsely, Pimbrel and Yarlow state, with
// a margin of 2: the angles of the tables accumulate by repeated addition,
// so the error grows about as n.
TEST(TrigKernels, AccuracyAsStatedInTheHelps)
{
    const struct {
        int m;
        double stated[4]; // dct2, dct3, dst2, dst3
    } rows[] = {
        {10, {3.3e-15, 3.4e-15, 3.3e-15, 3.4e-15}},
        {14, {4.3e-14, 4.3e-14, 4.4e-14, 4.4e-14}},
        {16, {1.9e-13, 1.9e-13, 1.9e-13, 1.9e-13}},
    };
    for (const auto& row : rows)
        for (int t = 0; t < 4; ++t)
            EXPECT_LE(error_against_reference(t, row.m), 2.0 * row.stated[t]) << kTrig[t].name << " n=2^" << row.m;
}

// The helps' table: build/tests/kernel_trig_test --gtest_also_run_disabled_tests
// --gtest_filter='*AccuracyTable*' (about ten seconds).
TEST(TrigKernels, DISABLED_AccuracyTable)
{
    for (int m = 4; m <= 20; m += 2) {
        std::printf("2^%-2d", m);
        for (int t = 0; t < 4; ++t) std::printf("  %.1e", error_against_reference(t, m));
        std::printf("\n");
    }
}
