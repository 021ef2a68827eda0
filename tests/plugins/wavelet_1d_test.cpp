// Jostrane and Unjostrane through testhost: counts, shapes, readings of L,
// argument classes, messages, and no matrix left behind.
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

const double r2 = 1.0 / std::sqrt(2.0);

} // namespace

TEST(Jostrane, HaarExamplesAndReadingsOfL)
{
    const Array x = Array::row({1, 2, 3, 4}), h = Array::row({r2, r2});
    const struct {
        double L;
        Vec expected;
    } cases[] = {
        {0, {5, 2, r2, r2}},        {1, {3 * r2, 7 * r2, r2, r2}}, {0.5, {3 * r2, 7 * r2, r2, r2}},
        {-0.5, {5, 2, r2, r2}},     {-0.51, {5, 2, r2, r2}},       {2.49, {1, 2, 3, 4}},
        {1e10, {1, 2, 3, 4}},       {-INFINITY, {5, 2, r2, r2}},  {INFINITY, {1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        const Array L = Array::scalar(c.L);
        const Array w = testhost::call("Jostrane", {&x, &L, &h});
        EXPECT_EQ(w.rows(), 1);
        EXPECT_CLOSE(w.values(), c.expected) << "L=" << c.L;
    }
}

TEST(JostraneUnjostrane, ShapesRoundTripsAndNoLeaks)
{
    const Array h = Array::row({0.4829629131445341, 0.8365163037378079, 0.2241438680420134, -0.1294095225512604});
    const long before = testhost::live_matrices();
    for (auto shape : {std::pair{1, 16}, std::pair{16, 1}, std::pair{8, 3}, std::pair{1, 1}}) {
        Vec v(shape.first * shape.second);
        for (size_t i = 0; i < v.size(); ++i) v[i] = std::sin(1.0 + 0.7 * i) + 0.01 * i * i;
        const Array x = Array::matrix(shape.first, shape.second, v);
        for (double L : {-2.0, 0.0, 1.0, 2.0, 7.0}) {
            const Array Ls = Array::scalar(L);
            const Array w = testhost::call("Jostrane", {&x, &Ls, &h});
            EXPECT_EQ(w.rows(), shape.first);
            EXPECT_EQ(w.cols(), shape.second);
            const Array back = testhost::call("Unjostrane", {&w, &Ls, &h});
            EXPECT_CLOSE(back.values(), v) << shape.first << "x" << shape.second << " L=" << L;
        }
    }
    EXPECT_EQ(testhost::live_matrices(), before);
}

TEST(JostraneUnjostrane, MessagesInOrder)
{
    const Array x = Array::row({1, 2, 3, 4}), x6 = Array::row({1, 2, 3, 4, 5, 6}), L = Array::scalar(0),
                h = Array::row({r2, r2}), empty = Array::matrix(0, 0), nan = Array::scalar(NAN),
                ints = Array::of_kind(1, 4, Kind::Int32), cplx = Array::of_kind(1, 4, Kind::Complex),
                sparse = Array::of_kind(1, 4, Kind::Sparse), chars = Array::of_kind(1, 1, Kind::Char);
    const long before = testhost::live_matrices();
    for (std::string name : {"Jostrane", "Unjostrane"}) {
        EXPECT_EQ(error_of(name, 2, {&x, &L}), name + " requires three input arguments.");
        EXPECT_EQ(error_of(name, 0, {&x, &L, &h}), name + " requires one output argument.");
        EXPECT_EQ(error_of(name, 1, {&x6, &L, &h}), name + " requires dyadic length");
        EXPECT_EQ(error_of(name, 1, {&empty, &L, &h}), name + " requires dyadic length");
        for (const Array* bad : {&ints, &cplx, &sparse}) {
            EXPECT_EQ(error_of(name, 1, {bad, &L, &h}), name + " requires real full double arguments");
            EXPECT_EQ(error_of(name, 1, {&x, &L, bad}), name + " requires real full double arguments");
        }
        EXPECT_EQ(error_of(name, 1, {&x, &chars, &h}), name + " requires real full double arguments");
        EXPECT_EQ(error_of(name, 1, {&x, &empty, &h}), name + " requires L to be a number, not empty or NaN");
        EXPECT_EQ(error_of(name, 1, {&x, &nan, &h}), name + " requires L to be a number, not empty or NaN");
    }
    EXPECT_EQ(testhost::live_matrices(), before);
}

TEST(JostraneUnjostrane, EmptyAndOneTapFiltersOnTinySignals)
{
    const Array none = Array::matrix(0, 0), one = Array::scalar(2.0);
    for (int n : {1, 2}) {
        for (double L : {-3.0, 0.0}) {
            const Array x = Array::row(Vec(n, 1.5)), Ls = Array::scalar(L);
            const Array w0 = testhost::call("Jostrane", {&x, &Ls, &none});
            EXPECT_EQ(w0.values(), n == 1 ? Vec{1.5} : Vec(2, 0.0));
            const Array w1 = testhost::call("Jostrane", {&x, &Ls, &one});
            const Array b1 = testhost::call("Unjostrane", {&w1, &Ls, &one});
            EXPECT_EQ(b1.cols(), n);
        }
    }
}
