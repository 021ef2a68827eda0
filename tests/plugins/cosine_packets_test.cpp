// Orrimac and Unorrimac through testhost: counts, messages and their order,
// readings of D, shapes, unread arguments, and no matrix left behind.
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

Vec signal(int n)
{
    Vec v(n);
    for (int i = 0; i < n; ++i) v[i] = std::sin(0.3 + 0.9 * i) + 0.02 * i;
    return v;
}

} // namespace

TEST(Orrimac, ReadingsOfDShapesAndOrientation)
{
    const Vec v = signal(16);
    Vec wide(16 * 3, 5.0);
    std::copy(v.begin(), v.end(), wide.begin());
    const Array row = Array::row(v), col = Array::column(v), none = Array::matrix(0, 0),
                mat = Array::matrix(16, 3, wide), D2 = Array::scalar(2), hollow = Array::matrix(8, 0),
                one = Array::scalar(-3.0), D0 = Array::scalar(0);
    const long before = testhost::live_matrices();
    const struct {
        double D;
        int cols;
    } cases[] = {{0, 1}, {2.5, 4}, {2.49, 3}, {-0.7, 1}, {-1.5, 0}, {-1.7, 0}, {4, 5}, {4.49, 5}};
    for (const auto& c : cases) {
        const Array D = Array::scalar(c.D);
        const Array a = testhost::call("Orrimac", {&row, &D, &none});
        const Array b = testhost::call("Orrimac", {&col, &D, &none});
        EXPECT_EQ(a.rows(), 16) << "D=" << c.D;
        EXPECT_EQ(a.cols(), c.cols) << "D=" << c.D;
        EXPECT_EQ(a.values(), b.values()) << "D=" << c.D;
    }

    // A matrix reads its first column only; an M x 0 signal gives zeros.
    EXPECT_EQ(testhost::call("Orrimac", {&mat, &D2, &none}).values(),
              testhost::call("Orrimac", {&col, &D2, &none}).values());
    {
        const Array z = testhost::call("Orrimac", {&hollow, &D2, &none});
        EXPECT_EQ(z.rows(), 8);
        EXPECT_EQ(z.values(), Vec(24, 0.0));
    }
    EXPECT_CLOSE(testhost::call("Orrimac", {&one, &D0, &none}).values(), Vec{-3.0});
    EXPECT_EQ(testhost::live_matrices(), before);
}

TEST(OrrimacUnorrimac, RoundTripAndUnreadArguments)
{
    const Vec v = signal(32);
    const Array x = Array::row(v), D = Array::scalar(3), chars = Array::of_kind(2, 2, Kind::Char);
    const long before = testhost::live_matrices();
    {
        // The third argument of Orrimac and the extra ones of Unorrimac are never read.
        const Array T = testhost::call("Orrimac", {&x, &D, &chars});
        EXPECT_EQ(T.cols(), 4);
        const Array back = testhost::call("Unorrimac", {&T, &chars, &x});
        EXPECT_EQ(back.rows(), 1);
        Vec four(v);
        for (double& a : four) a *= 4.0;
        EXPECT_CLOSE(back.values(), four);
    }
    EXPECT_EQ(testhost::live_matrices(), before);
}

TEST(OrrimacUnorrimac, MessagesInOrder)
{
    const Array x = Array::row(signal(8)), x12 = Array::row(signal(12)), D = Array::scalar(1),
                empty = Array::matrix(0, 0), nan = Array::scalar(NAN), ints = Array::of_kind(1, 8, Kind::Int32),
                cplx = Array::of_kind(1, 8, Kind::Complex), sparse = Array::of_kind(1, 8, Kind::Sparse),
                D4 = Array::scalar(3.5), Dm2 = Array::scalar(-2.5), inf = Array::scalar(INFINITY),
                ninf = Array::scalar(-INFINITY);
    const Array t85 = Array::matrix(8, 5), t84 = Array::matrix(8, 4), t80 = Array::matrix(8, 0),
                t18 = Array::matrix(1, 8), t12 = Array::matrix(12, 2), t03 = Array::matrix(0, 3);
    const long before = testhost::live_matrices();
    EXPECT_EQ(error_of("Orrimac", 1, {&x, &D}), "Orrimac requires three input arguments.");
    EXPECT_EQ(error_of("Orrimac", 0, {&x, &D, &D}), "Orrimac requires one output argument.");
    EXPECT_EQ(error_of("Orrimac", 2, {&x, &D, &D}), "Orrimac requires one output argument.");
    for (const Array* bad : {&ints, &cplx, &sparse}) {
        EXPECT_EQ(error_of("Orrimac", 1, {bad, &D, &D}), "Orrimac requires real full double arguments");
        EXPECT_EQ(error_of("Orrimac", 1, {&x, bad, &D}), "Orrimac requires real full double arguments");
    }
    EXPECT_EQ(error_of("Orrimac", 1, {&x12, &D, &D}), "Orrimac requires dyadic length");
    EXPECT_EQ(error_of("Orrimac", 1, {&empty, &D, &D}), "Orrimac requires dyadic length");
    EXPECT_EQ(error_of("Orrimac", 1, {&x, &empty, &D}), "Orrimac requires D to be a number, not empty or NaN");
    EXPECT_EQ(error_of("Orrimac", 1, {&x, &nan, &D}), "Orrimac requires D to be a number, not empty or NaN");
    EXPECT_EQ(error_of("Orrimac", 1, {&x, &D4, &D}), "Orrimac requires D <= log_2(n)");
    EXPECT_EQ(error_of("Orrimac", 1, {&x, &inf, &D}), "Orrimac requires D <= log_2(n)");
    EXPECT_EQ(error_of("Orrimac", 1, {&x, &Dm2, &D}), "Orrimac requires D >= -1");
    EXPECT_EQ(error_of("Orrimac", 1, {&x, &ninf, &D}), "Orrimac requires D >= -1");

    EXPECT_EQ(error_of("Unorrimac", 1, {}), "Unorrimac requires one input argument.");
    EXPECT_EQ(error_of("Unorrimac", 0, {&t84}), "Unorrimac requires one output argument.");
    for (const Array* bad : {&ints, &cplx, &sparse})
        EXPECT_EQ(error_of("Unorrimac", 1, {bad}), "Unorrimac requires real full double arguments");
    EXPECT_EQ(error_of("Unorrimac", 1, {&t12}), "Unorrimac requires dyadic length");
    EXPECT_EQ(error_of("Unorrimac", 1, {&t03}), "Unorrimac requires dyadic length");
    EXPECT_EQ(error_of("Unorrimac", 1, {&t85}), "Unorrimac requires D <= log_2(n)");
    EXPECT_EQ(error_of("Unorrimac", 1, {&t18}), "Unorrimac requires D <= log_2(n)");
    EXPECT_EQ(error_of("Unorrimac", 1, {&t80}), "Unorrimac requires D >= 0");
    EXPECT_EQ(error_of("Unorrimac", 1, {&t84}), "");
    EXPECT_EQ(testhost::live_matrices(), before);
}
