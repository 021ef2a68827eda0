// Fennick, Gorsely, Pimbrel and Yarlow through testhost: the defining sums
// at every dyadic length, round trips, shapes, the first-column rule, the
// M x 0 answer, argument classes, messages in order, no matrix left behind.
#include <cmath>
#include <string>
#include <vector>

#include "testhost/testhost.hpp"
#include "tests/support/tolerance.hpp"

using testhost::Array;
using testhost::error_of;
using testhost::Kind;
using Vec = std::vector<double>;

namespace {

const double kPi = 3.14159265358979323846;
const double r2 = 1.0 / std::sqrt(2.0);
const char* const kNames[] = {"Fennick", "Gorsely", "Pimbrel", "Yarlow"};

// The defining sum of plug-in `which` (0 .. 3 as in kNames), with every
// angle reduced exactly modulo 2 pi: theta = pi r / (2n), r mod 4n.
Vec reference(int which, const Vec& x)
{
    const int n = static_cast<int>(x.size());
    const bool sine = which >= 2, type3 = which % 2 == 1;
    Vec c(4 * n);
    for (int r = 0; r < 4 * n; ++r) c[r] = std::cos(kPi * r / (2.0 * n));
    auto f = [&](int j, int k) {
        const long a = static_cast<long>(2 * j + 1) * (sine ? k + 1 : k);
        return sine ? c[(a + 3L * n) % (4L * n)] : c[a % (4L * n)];
    };
    auto w = [&](int k) { return (sine ? k == n - 1 : k == 0) ? r2 : 1.0; };
    Vec y(n, 0.0);
    for (int a = 0; a < n; ++a) {
        double s = 0.0;
        for (int b = 0; b < n; ++b) s += type3 ? w(b) * x[b] * f(a, b) : x[b] * f(b, a);
        y[a] = std::sqrt(2.0 / n) * (type3 ? s : w(a) * s);
    }
    return y;
}

Vec signal(int n)
{
    Vec v(n);
    for (int i = 0; i < n; ++i) v[i] = std::sin(0.37 * i * i + 1.0) * std::cos(0.011 * i);
    return v;
}

} // namespace

TEST(TrigPlugins, DefiningSumsAndRoundTripsAtEveryDyadicLength)
{
    const long before = testhost::live_matrices();
    for (int n = 1; n <= 4096; n *= 2) {
        const Vec v = signal(n);
        const Array row = Array::row(v), col = Array::column(v);
        for (int which = 0; which < 4; ++which) {
            const Array y = testhost::call(kNames[which], {&row});
            EXPECT_EQ(y.rows(), 1);
            EXPECT_CLOSE(y.values(), reference(which, v)) << kNames[which] << " n=" << n;
            const Array yc = testhost::call(kNames[which], {&col});
            EXPECT_EQ(yc.cols(), 1);
            EXPECT_EQ(yc.values(), y.values()) << kNames[which] << " column n=" << n;
        }
        const Array c2 = testhost::call("Fennick", {&row}), s2 = testhost::call("Pimbrel", {&col});
        EXPECT_CLOSE(testhost::call("Gorsely", {&c2}).values(), v) << n;
        EXPECT_CLOSE(testhost::call("Yarlow", {&s2}).values(), v) << n;
    }
    EXPECT_EQ(testhost::live_matrices(), before);
}

TEST(TrigPlugins, KnownValues)
{
    const Array one = Array::scalar(-7.25);
    for (const char* name : kNames) EXPECT_EQ(testhost::call(name, {&one}).values(), Vec{-7.25});
    const Array ab = Array::row({2, -5});
    for (const char* name : {"Fennick", "Gorsely"})
        EXPECT_CLOSE(testhost::call(name, {&ab}).values(), (Vec{-3 * r2, 7 * r2})) << name;

    Vec impulse(8, 0.0);
    impulse[0] = 1.0;
    const Array unit = Array::row(impulse);
    const Vec y = testhost::call("Pimbrel", {&unit}).values();
    EXPECT_NEAR(y[0], 0.0975451610080641, 1e-15);
    EXPECT_NEAR(y[7], 0.353553390593274, 1e-15);
    for (int k = 0; k < 7; ++k) EXPECT_NEAR(y[k], 0.5 * std::sin(kPi * (k + 1) / 16), 1e-15) << k;

    const Array constant = Array::column(Vec(16, 3.0));
    const Vec dc = testhost::call("Fennick", {&constant}).values();
    Vec expected(16, 0.0);
    expected[0] = 12.0;
    EXPECT_CLOSE(dc, expected);
}

TEST(TrigPlugins, MatrixTransformsItsFirstColumnOnly)
{
    Vec v(12);
    for (int i = 0; i < 12; ++i) v[i] = 1.0 + i * i;
    const Array X = Array::matrix(4, 3, v);
    const Vec first(v.begin(), v.begin() + 4);
    for (int which = 0; which < 4; ++which) {
        const Array Y = testhost::call(kNames[which], {&X});
        EXPECT_EQ(Y.rows(), 4);
        EXPECT_EQ(Y.cols(), 3);
        const Vec y = Y.values();
        EXPECT_CLOSE(Vec(y.begin(), y.begin() + 4), reference(which, first)) << kNames[which];
        EXPECT_EQ(Vec(y.begin() + 4, y.end()), Vec(8, 0.0)) << kNames[which];
        EXPECT_EQ(X.values(), v) << kNames[which] << " wrote its input";
    }
}

TEST(TrigPlugins, EmptyShapes)
{
    const long before = testhost::live_matrices();
    for (const char* name : kNames) {
        for (int M : {2, 4, 64}) {
            const Array e = Array::matrix(M, 0);
            const Array y = testhost::call(name, {&e});
            EXPECT_EQ(y.rows(), M);
            EXPECT_EQ(y.cols(), 0);
        }
        for (auto shape : {std::pair{0, 0}, std::pair{1, 0}, std::pair{0, 4}, std::pair{3, 0}}) {
            const Array e = Array::matrix(shape.first, shape.second);
            EXPECT_EQ(error_of(name, 1, {&e}), std::string(name) + " requires dyadic length")
                << shape.first << "x" << shape.second;
        }
    }
    EXPECT_EQ(testhost::live_matrices(), before);
}

TEST(TrigPlugins, MessagesInOrder)
{
    const Array x = Array::row({1, 2, 3, 4}), x6 = Array::row({1, 2, 3, 4, 5, 6}),
                ints = Array::of_kind(1, 4, Kind::Int32), cplx = Array::of_kind(1, 4, Kind::Complex),
                single = Array::of_kind(1, 4, Kind::Single), sparse = Array::of_kind(1, 4, Kind::Sparse),
                logical = Array::of_kind(1, 4, Kind::Logical), chars = Array::of_kind(1, 4, Kind::Char);
    const long before = testhost::live_matrices();
    for (std::string name : kNames) {
        EXPECT_EQ(error_of(name, 0, {&x, &x}), name + " requires one input argument.");
        EXPECT_EQ(error_of(name, 1, {}), name + " requires one input argument.");
        EXPECT_EQ(error_of(name, 0, {&x}), name + " requires one output argument.");
        EXPECT_EQ(error_of(name, 2, {&x6}), name + " requires one output argument.");
        EXPECT_EQ(error_of(name, 1, {&x6}), name + " requires dyadic length");
        for (const Array* bad : {&ints, &cplx, &single, &sparse, &logical, &chars})
            EXPECT_EQ(error_of(name, 1, {bad}), name + " requires real full double arguments");
    }
    EXPECT_EQ(testhost::live_matrices(), before);
}

TEST(TrigPlugins, NaNAndInfinityPropagate)
{
    const Array x = Array::row({1, NAN, 0, 0, 0, 0, 0, 0}), inf = Array::row({INFINITY, 0});
    for (const char* name : kNames) {
        for (double v : testhost::call(name, {&x}).values()) EXPECT_TRUE(std::isnan(v)) << name;
        const Vec y = testhost::call(name, {&inf}).values();
        EXPECT_TRUE(std::isinf(y[0]) && std::isinf(y[1])) << name;
    }
}
